#include "download/TextosDescarga.h"

#include <QStringList>

#include "platform/Formato.h"
#include "platform/Numero.h"

namespace TextosDescarga {

QString nombreMotor(qint32 tipoConexion) {
    static const QStringList kNombres = {QStringLiteral("MS Access"), QStringLiteral("SQL Server"),
                                         QStringLiteral("MySQL"), QStringLiteral("ORACLE")};
    return kNombres.value(tipoConexion);
}

QString textoConexion(qint32 tipoConexion, const QString& servidor, qint32 puerto,
                      const QString& baseDatos, const QString& sid) {
    QString texto = QStringLiteral("Conexion: ") + nombreMotor(tipoConexion) +
                    QStringLiteral(" Servidor: ") + servidor + QStringLiteral(", ") +
                    QString::number(puerto) + QStringLiteral(". BDD: ") + baseDatos;
    if (!sid.isEmpty()) {
        texto += QStringLiteral(" SID:") + sid;
    }
    return texto;
}

QString textoTiempoQueda(qint32 restanteMs) {
    qint64 dias = 0;
    qint64 horas = 0;
    qint64 minutos = 0;
    qint64 segundos = 0;
    if (restanteMs > 1000) {
        segundos = static_cast<qint64>(platform::redondeaPar(restanteMs / 1000.0));
        // Strict comparisons: a full minute stays "60 s.", a full hour "60 m.", a day "24 H.".
        if (segundos > 60) {
            minutos = segundos / 60;
            segundos %= 60;
        }
        if (minutos > 60) {
            horas = minutos / 60;
            minutos %= 60;
        }
        if (horas > 24) {
            dias = horas / 24;
            horas %= 24;
        }
    }
    QString texto;
    if (dias > 0) {
        texto = QString::number(dias) + QStringLiteral(" Días ");
    }
    if (horas > 0) {
        texto += QStringLiteral(" ") + QString::number(horas) + QStringLiteral(" H. ");
    }
    if (minutos > 0) {
        texto += QStringLiteral(" ") + QString::number(minutos) + QStringLiteral(" m. ");
    }
    if (segundos > 0) {
        texto += QStringLiteral(" ") + QString::number(segundos) + QStringLiteral(" s. ");
    }
    return texto;
}

QString textoVelocidad(qint32 bytesPorSegundo, QChar separador) {
    return platform::formatoNumero(bytesPorSegundo / 1024.0, QStringLiteral("##0.00"), separador) +
           QStringLiteral(" Kb./s");
}

}  // namespace TextosDescarga
