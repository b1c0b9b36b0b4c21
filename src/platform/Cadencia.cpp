#include "platform/Cadencia.h"

#include "platform/Reloj.h"

namespace platform {

bool Cadencia::toca() {
    const qint64 ahora = reloj().monotonoMs();
    if (!primera_ && ahora - ultimaMs_ < intervaloMs_) {
        return false;
    }
    primera_ = false;
    ultimaMs_ = ahora;
    return true;
}

}  // namespace platform
