#include "platform/Ruta.h"

namespace platform {

QString conSeparador(const QString& carpeta) {
    if (carpeta.endsWith(u'/') || carpeta.endsWith(u'\\')) {
        return carpeta;
    }
    return carpeta + u'/';
}

QString uneRuta(const QString& carpeta, const QString& nombre) {
    return conSeparador(carpeta) + nombre;
}

}  // namespace platform
