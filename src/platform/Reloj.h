#pragma once

#include <QTime>

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
// Installs another clock (not owned); nullptr restores the system's.
void estableceReloj(const Reloj* otro);

// Seconds since midnight of the clock in force, with the milliseconds as decimals.
double segundosDesdeMedianoche();

}  // namespace platform
