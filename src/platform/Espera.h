#pragma once

#include <QtGlobal>
#include <functional>

// Yielding to the event loop and waiting without spinning the processor: timers, windows and
// connection events keep running while the caller waits.
namespace platform {

// Processes the events that are pending now, once, and returns.
void cede();
// Returns after ms milliseconds, the event loop running meanwhile (sleeps when the program has
// no application object); ms <= 0 only yields once.
void esperaMs(qint64 ms);
// The same in seconds, decimals allowed.
void esperaSegundos(double segundos);
// Runs the event loop until hecho() is true or msMaximo milliseconds have passed on the
// monotonic clock of reloj(), looking every msPaso milliseconds; returns hecho() at the end.
bool esperaCondicion(const std::function<bool()>& hecho, qint64 msMaximo, int msPaso = 50);

}  // namespace platform
