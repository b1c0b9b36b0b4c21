#include "platform/Cp1252.h"

#include <array>

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"

namespace platform {

namespace {

// Characters of the codes 0x80 ... 0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> kAltos = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80 - 87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88 - 8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90 - 97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98 - 9F
};

constexpr int kDesconocido = '?';

}  // namespace

int codigoCaracter(QChar caracter) {
    const char16_t u = caracter.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        return u;
    }
    for (std::size_t i = 0; i < kAltos.size(); ++i) {
        if (kAltos[i] == u) {
            return 0x80 + static_cast<int>(i);
        }
    }
    return kDesconocido;
}

QChar caracterCodigo(int codigo) {
    if (codigo < 0 || codigo > 255) {
        throw ErrorEjecucion(kErrorArgumento,
                             QStringLiteral("Llamada a procedimiento o argumento no válidos"),
                             QStringLiteral("caracterCodigo"));
    }
    if (codigo >= 0x80 && codigo < 0xA0) {
        return QChar(kAltos[static_cast<std::size_t>(codigo - 0x80)]);
    }
    return QChar(static_cast<char16_t>(codigo));
}

QByteArray aCp1252(const QString& texto) {
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        // A character beyond the 16-bit plane is one character written with two units.
        if (c.isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate()) {
            ++i;
            bytes.append(static_cast<char>(kDesconocido));
            continue;
        }
        bytes.append(static_cast<char>(codigoCaracter(c)));
    }
    return bytes;
}

QString deCp1252(const QByteArray& bytes) {
    QString texto;
    texto.reserve(bytes.size());
    for (const char b : bytes) {
        texto.append(caracterCodigo(static_cast<unsigned char>(b)));
    }
    return texto;
}

}  // namespace platform
