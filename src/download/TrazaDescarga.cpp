#include "download/TrazaDescarga.h"

#include <QDebug>
#include <exception>

#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"

namespace TrazaDescarga {

QString texto(const QString& fichero, qint64 bytes, qint64 ms, const QString& resultado) {
    return QStringLiteral("corvinal: %1 %2 bytes %3 ms %4 (equipo %5)")
        .arg(fichero)
        .arg(bytes)
        .arg(ms)
        .arg(resultado, modTolvane1::obtieneSemilla());
}

QString error(const QString& motivo) {
    return QStringLiteral("error: ") + QString(motivo).replace(u'\r', u' ').replace(u'\n', u' ');
}

void anota(aConexion& conexion, const QString& texto) {
    try {
        conexion.suceso(texto);
    } catch (const std::exception& e) {
        qDebug("No se pudo anotar el suceso \"%s\": %s", qPrintable(texto), e.what());
    }
}

}  // namespace TrazaDescarga
