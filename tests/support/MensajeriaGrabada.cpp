#include "support/MensajeriaGrabada.h"

#include <QStringList>

QStringList MensajeriaGrabada::textos(Clase clase) const {
    QStringList encontrados;
    for (const Registro& registro : registros) {
        if (registro.clase == clase) {
            encontrados << registro.texto;
        }
    }
    return encontrados;
}

bool MensajeriaGrabada::pregunta(const QString& texto) {
    registros.append({Clase::Pregunta, texto, {}, {}, 0, false, nullptr});
    return respuestas.isEmpty() ? respuestaPorDefecto : respuestas.dequeue();
}

void MensajeriaGrabada::muestraMensaje(const QString& texto, const QString& titulo,
                                       const QString& tipo, qint16 segundos) {
    registros.append({Clase::Mensaje, texto, titulo, tipo, segundos, false, nullptr});
}

void MensajeriaGrabada::mensajeSistema(const QString& texto, QWidget* ventana, bool abandonar,
                                       qint32 tiempo) {
    registros.append({Clase::Sistema, texto, {}, {}, tiempo, abandonar, ventana});
}
