#pragma once

#include "platform/Instalado.h"

namespace platform {

// What ending the program does; a test installs its own to observe the end instead of dying.
using Terminacion = void (*)();

// Ends the program at once, with no close handling of any window (through the installed hook).
void terminaPrograma();
// Installs another way to end the program (nullptr restores leaving the process); returns the
// one that was in force.
Terminacion estableceTerminacion(Terminacion otra);
// A way to end the program installed for the lifetime of the guard.
using TerminacionInstalada = Instalado<Terminacion, &estableceTerminacion>;

}  // namespace platform
