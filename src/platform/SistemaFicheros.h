#pragma once

#include <QtGlobal>

// What the operating system tells about files beyond what Qt covers; every system-specific call
// of the program lives here.
namespace platform {

// The identifier of the file system behind an open file descriptor, 0 when the system gives
// none.
quint64 identificadorSistemaFicheros(int descriptor);
// The standard input is a terminal (someone may answer a question typed there).
bool entradaEsTerminal();
// The standard error is a terminal (a progress line redrawn in place can be seen).
bool errorEsTerminal();

}  // namespace platform
