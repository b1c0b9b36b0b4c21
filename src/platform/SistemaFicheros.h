#pragma once

#include <QtGlobal>

// What the operating system tells about files beyond what Qt covers; every system-specific call
// of the program lives here.
namespace platform {

// The identifier of the file system behind an open file descriptor, 0 when the system gives
// none.
quint64 identificadorSistemaFicheros(int descriptor);
// Asks the system to start writing bytes [desde, hasta) of the open file to disk without
// waiting, so that the flush that ends a large write finds little left to do; does nothing
// where the system has no such request.
void empiezaVolcado(int descriptor, qint64 desde, qint64 hasta);
// The standard input is a terminal (someone may answer a question typed there).
bool entradaEsTerminal();
// The standard error is a terminal (a progress line redrawn in place can be seen).
bool errorEsTerminal();

}  // namespace platform
