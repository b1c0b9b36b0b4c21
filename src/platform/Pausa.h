#pragma once

namespace platform {

// Waits milisegundos while the event loop keeps delivering events; never spins the CPU.
void pausa(int milisegundos);

}  // namespace platform
