#include "repository/RutaRepositorio.h"

#include <algorithm>

#include "repository/FormatoRepositorio.h"

namespace rutaRepositorio {

QStringList segmentos(const QString& ruta) {
    return QString(ruta).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
}

std::pair<QString, QString> separaNombre(const QString& ruta) {
    const QString r = QString(ruta).replace(u'\\', u'/');
    const qsizetype corte = r.lastIndexOf(u'/');
    return {corte < 0 ? QString() : r.left(corte), r.mid(corte + 1)};
}

bool esNombreSeguro(const QString& nombre) {
    if (nombre.isEmpty() || nombre == u"." || nombre == u"..") {
        return false;
    }
    const bool unidad = nombre.size() >= 2 && nombre.at(0).isLetter() && nombre.at(1) == u':';
    const bool separaOControla = std::any_of(nombre.begin(), nombre.end(), [](QChar c) {
        return c == u'/' || c == u'\\' || c.category() == QChar::Other_Control;
    });
    return !unidad && !separaOControla;
}

bool esNombrePublicable(const QString& nombre) {
    return esNombreSeguro(nombre) && !nombre.endsWith(formatoRepositorio::kSufijoSubida);
}

QString textoNombreNoValido(const QString& nombre) {
    return QStringLiteral("Nombre no válido en el repositorio: ") + nombre;
}

}  // namespace rutaRepositorio
