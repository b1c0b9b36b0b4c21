#pragma once

namespace platform {

// What ending the program does; a test installs its own to observe the end instead of dying.
using Terminacion = void (*)();

// Ends the program at once, with no close handling of any window (through the installed hook).
void terminaPrograma();
// Installs another way to end the program (nullptr restores leaving the process); returns the
// one that was in force.
Terminacion estableceTerminacion(Terminacion otra);

}  // namespace platform
