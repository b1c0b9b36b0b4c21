#pragma once

#include <functional>

#include "platform/ErrorEjecucion.h"

namespace prueba {

// The error `accion` raises, so that a test compares its number and text in one line; number 0
// and the text "no error raised" when it raises none.
inline platform::ErrorEjecucion errorLanzado(const std::function<void()>& accion) {
    try {
        accion();
    } catch (const platform::ErrorEjecucion& e) {
        return e;
    }
    return platform::ErrorEjecucion(0, QStringLiteral("no error raised"));
}

}  // namespace prueba
