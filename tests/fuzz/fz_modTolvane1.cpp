// The password codec of corvinal.ini. Any text decodes without harm; a text of codes 1 to 255
// comes back from its hex form always, and from its raw form unless that looks hexadecimal.
//
// Input: "C" and bytes read as Windows-1252, the text to encode; otherwise UTF-16 units, the
// text to decode.
#include <algorithm>

#include "Fuzz.h"
#include "comun/modTolvane1.h"
#include "platform/Cp1252.h"

namespace {

bool pareceHexadecimal(const QString& t) {
    return std::all_of(t.begin(), t.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
    });
}

// Every character of the code page, and not NUL, whose code the codec cannot tell from 255.
bool enDominio(const QString& t) {
    return std::all_of(t.begin(), t.end(), [](QChar c) {
        const int codigo = platform::codigoCaracter(c);
        return codigo > 0 && (codigo != '?' || c == u'?');
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using namespace modTolvane1;
    if (n > 0 && datos[0] == 'C') {
        const QString texto =
            platform::deCp1252(QByteArray(reinterpret_cast<const char*>(datos) + 1, n - 1));
        EXIGE(permutaBloques(permutaBloques(texto)) == texto);
        const QString crudo = codifica(texto);
        EXIGE(crudo.size() == texto.size() && aHexadecimal(crudo).size() == 2 * texto.size());
        if (!enDominio(texto)) {
            return 0;
        }
        EXIGE(enDominio(crudo));
        EXIGE(decodifica(aHexadecimal(crudo)) == texto);
        EXIGE(pareceHexadecimal(crudo) || decodifica(crudo) == texto);
        return 0;
    }
    const QString texto = fuzz::utf16(datos, n);
    const QString claro = decodifica(texto);
    const bool hexadecimal = pareceHexadecimal(texto);
    EXIGE(claro.size() == (hexadecimal ? (texto.size() + 1) / 2 : texto.size()));
    // A decoded text encodes back to what was decoded, in the same form.
    if (!hexadecimal && enDominio(texto)) {
        EXIGE(codifica(claro) == texto);
    }
    if (hexadecimal && texto.size() % 2 == 0 && enDominio(deHexadecimal(texto))) {
        EXIGE(aHexadecimal(codifica(claro)) == texto);
    }
    return 0;
}
