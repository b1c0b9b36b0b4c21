#include "support/AbreMotor.h"

#include <QTest>

#include "platform/Connection.h"
#include "support/MotoresPrueba.h"

namespace prueba {

bool abreMotorFila(platform::Connection& con, const QString& carpeta, qint32 opciones) {
    QFETCH(QString, motor);
    const MotorPrueba m = motorPrueba(motor, carpeta);
    if (m.textoConexion.isEmpty()) {
        if (m.obligatorio) {
            QTest::qFail(qPrintable(m.motivo), __FILE__, __LINE__);
        } else {
            QTest::qSkip(qPrintable(m.motivo), __FILE__, __LINE__);
        }
        return false;
    }
    con.open(m.textoConexion, opciones);
    return true;
}

}  // namespace prueba
