#pragma once

#include <QTime>

#include "platform/Instalado.h"

// The clocks the waits read, behind one replaceable object so that a test can move time.
namespace platform {

class Reloj {
public:
    virtual ~Reloj() = default;
    // Milliseconds on a clock that only moves forward (unaffected by midnight or clock changes).
    virtual qint64 monotonoMs() const;
    // The local time of day.
    virtual QTime horaDelDia() const;
};

// The clock in force.
const Reloj& reloj();
// Installs another clock (not owned); nullptr restores the system's. Returns the one that was
// installed (nullptr for the system's).
const Reloj* estableceReloj(const Reloj* otro);
// A clock installed for the lifetime of the guard.
using RelojInstalado = Instalado<const Reloj*, &estableceReloj>;

// Seconds since midnight of the clock in force, with the milliseconds as decimals.
double segundosDesdeMedianoche();

}  // namespace platform
