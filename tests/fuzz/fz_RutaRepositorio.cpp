// Repository paths and stored names: a name accepted as safe stays one segment right under the
// destination, with separators of either kind, and a path's folders and name come apart and
// together again.
//
// Input: UTF-16 units, a path or a stored name.
#include <QDir>
#include <algorithm>

#include "Fuzz.h"
#include "repository/FormatoRepositorio.h"
#include "repository/RutaRepositorio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using namespace rutaRepositorio;
    const QString texto = fuzz::utf16(datos, n);
    const QString barras = QString(texto).replace(u'\\', u'/');

    const QStringList carpetas = segmentos(texto);
    EXIGE(segmentos(carpetas.join(u'\\')) == carpetas);
    EXIGE(std::none_of(carpetas.begin(), carpetas.end(), [](const QString& c) {
        return c.isEmpty() || c.contains(u'/') || c.contains(u'\\');
    }));
    const auto [carpeta, nombre] = separaNombre(texto);
    EXIGE(!nombre.contains(u'/') &&
          carpeta + u'/' + nombre == (barras.contains(u'/') ? barras : u'/' + barras));

    if (esNombreSeguro(texto)) {
        const QString destino = QStringLiteral("/srv/destino/") + texto;
        EXIGE(QDir::cleanPath(destino) == destino);
        EXIGE(texto != u"." && texto != u".." && !texto.contains(u'/') && !texto.contains(u'\\'));
        EXIGE(!(texto.size() >= 2 && texto[1] == u':' && texto[0].isLetter()));
        EXIGE(std::none_of(texto.begin(), texto.end(), [](QChar c) {
            return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0);
        }));
    }
    EXIGE(!esNombrePublicable(texto) ||
          (esNombreSeguro(texto) && !texto.endsWith(formatoRepositorio::kSufijoSubida)));
    return 0;
}
