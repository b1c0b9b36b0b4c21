#include "support/ErrorLanzado.h"

namespace prueba {

platform::ErrorEjecucion errorLanzado(const std::function<void()>& accion) {
    try {
        accion();
    } catch (const platform::ErrorEjecucion& e) {
        return e;
    }
    return platform::ErrorEjecucion(0, QStringLiteral("no error raised"));
}

}  // namespace prueba
