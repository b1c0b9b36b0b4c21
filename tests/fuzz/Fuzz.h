#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken property stops the fuzzer like a crash, so that it keeps and shrinks the input.
#define EXIGE(condicion) ((condicion) ? void() : fuzz::falla(#condicion, __FILE__, __LINE__))

namespace fuzz {

[[noreturn]] inline void falla(const char* condicion, const char* fichero, int linea) {
    std::fprintf(stderr, "%s:%d: no se cumple: %s\n", fichero, linea, condicion);
    std::abort();
}

inline QString utf8(const uint8_t* datos, size_t n) {
    return QString::fromUtf8(reinterpret_cast<const char*>(datos), qsizetype(n));
}

// Every unit of the input's byte pairs, lone surrogates and NUL included.
inline QString utf16(const uint8_t* datos, size_t n) {
    QString texto;
    for (size_t i = 0; i + 1 < n; i += 2) {
        texto += QChar(char16_t(datos[i] | datos[i + 1] << 8));
    }
    return texto;
}

// The input as text, one field a line: seeds stay readable and every field can hold anything
// but a line feed.
inline QStringList campos(const uint8_t* datos, size_t n) {
    return utf8(datos, n).split(u'\n');
}

}  // namespace fuzz
