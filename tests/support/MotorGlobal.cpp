#include "support/MotorGlobal.h"

#include <QTest>

#include "dataaccess/aConexion.h"

namespace prueba {

MotorPrueba motorGlobal(const QString& carpeta) {
    QFETCH_GLOBAL(QString, motor);
    return motorPrueba(motor, carpeta);
}

std::unique_ptr<aConexion> conectaMotor(const MotorPrueba& motor) {
    auto c = std::make_unique<aConexion>();
    c->setTipoConexion(motor.nombre == u"mariadb" ? 2 : 0);
    c->setCadenaConexion(motor.textoConexion);
    c->conecta(true);
    return c;
}

}  // namespace prueba
