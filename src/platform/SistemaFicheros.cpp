#include "platform/SistemaFicheros.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace platform {

quint64 identificadorSistemaFicheros(int descriptor) {
    struct statfs sf {};
    if (fstatfs(descriptor, &sf) == 0) {
        const quint64 alto = static_cast<quint32>(sf.f_fsid.__val[0]);
        const quint64 bajo = static_cast<quint32>(sf.f_fsid.__val[1]);
        if ((alto << 32 | bajo) != 0) {
            return alto << 32 | bajo;
        }
    }
    // Some file systems (overlays, memory) report no identifier: their device number is one.
    struct stat st {};
    return fstat(descriptor, &st) == 0 ? static_cast<quint64>(st.st_dev) : 0;
}

void empiezaVolcado(int descriptor, qint64 desde, qint64 hasta) {
    // Only a hint: a failure leaves the bytes to the final flush.
    ::sync_file_range(descriptor, desde, hasta - desde, SYNC_FILE_RANGE_WRITE);
}

bool entradaEsTerminal() {
    return ::isatty(STDIN_FILENO) != 0;
}

bool errorEsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

}  // namespace platform
