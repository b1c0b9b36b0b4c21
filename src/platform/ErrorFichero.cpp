#include "platform/ErrorFichero.h"

#include <QFileDevice>
#include <QFileInfo>

namespace platform {

namespace {

QString detalle(const QFileDevice& fichero) {
    return fichero.fileName() + QStringLiteral(" (") + fichero.errorString() + QStringLiteral(")");
}

}  // namespace

ErrorEjecucion errorEscritura(const QFileDevice& fichero, const QString& origen) {
    const QFileInfo info(fichero.fileName());
    const bool sinPermiso =
        !QFileInfo(info.absolutePath()).isWritable() || (info.exists() && !info.isWritable());
    return ErrorEjecucion(sinPermiso ? kPermisoDenegado : kErrorAccesoFichero,
                          QStringLiteral("No se pudo escribir el fichero: ") + detalle(fichero),
                          origen);
}

ErrorEjecucion errorLectura(const QFileDevice& fichero, const QString& origen) {
    if (!QFileInfo::exists(fichero.fileName())) {
        return ErrorEjecucion(kFicheroNoEncontrado,
                              QStringLiteral("No se encontró el fichero: ") + fichero.fileName(),
                              origen);
    }
    return ErrorEjecucion(kPermisoDenegado,
                          QStringLiteral("No se pudo leer el fichero: ") + detalle(fichero),
                          origen);
}

}  // namespace platform
