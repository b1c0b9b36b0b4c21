#pragma once

// How a run of the launcher ended, told by its exit status to the program or script that
// started it.
namespace salida {

enum Codigo : int {
    // The file was downloaded and started or registered as the record asked.
    kHecho = 0,
    // The download, the restore, the start or the registration failed.
    kFallo = 1,
    // There was no usable record: it was invalid, or the set-up window was cancelled.
    kSinRegistro = 2,
};

// Records codigo and ends the program at once (through platform::terminaPrograma).
void termina(Codigo codigo);
// The status recorded by the last termina(); kHecho before any.
Codigo codigo();
// Leaves the process with codigo(): the way to end the program that the launcher installs.
void saleDelProceso();

}  // namespace salida
