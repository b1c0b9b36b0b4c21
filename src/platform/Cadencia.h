#pragma once

#include <QtGlobal>

// A limit on how often something is redrawn, on the monotonic clock in force (platform/Reloj.h),
// so that a test moves time instead of sleeping.
namespace platform {

class Cadencia {
public:
    explicit Cadencia(qint64 intervaloMs) : intervaloMs_(intervaloMs) {}

    // True the first time and whenever intervaloMs have passed since the last true.
    bool toca();

private:
    qint64 intervaloMs_;
    qint64 ultimaMs_ = 0;
    bool primera_ = true;
};

}  // namespace platform
