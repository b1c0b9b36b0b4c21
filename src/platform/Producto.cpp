#include "platform/Producto.h"

namespace platform {

QString nombreProducto() {
    return QStringLiteral(CORVINAL_PRODUCTO);
}

QString tituloProducto() {
    return QStringLiteral("%1 v%2.%3.%4")
        .arg(nombreProducto())
        .arg(CORVINAL_VERSION_MAYOR)
        .arg(CORVINAL_VERSION_MENOR)
        .arg(CORVINAL_VERSION_REVISION);
}

}  // namespace platform
