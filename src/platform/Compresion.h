#pragma once

#include <QString>

namespace platform {

// The compression component of the repository: a ".jzp" file is one zstd frame holding the
// whole of another file. Both directions stream through small buffers, never the whole file,
// and write through a temporary file beside the output, so a failure leaves the output path as
// it was and no partial file behind.
class Compresion {
public:
    // Error number of a compressed file that is not one whole, intact frame (missing and
    // unwritable files carry the numbers of platform/ErrorFichero.h).
    static constexpr qint32 kDatosDanados = 32100;

    // Path of the compressed file that restaura() reads.
    void setFicheroComprimido(const QString& ruta) { ficheroComprimido_ = ruta; }
    const QString& ficheroComprimido() const { return ficheroComprimido_; }
    // Path of the file that restaura() writes.
    void setFicheroSalida(const QString& ruta) { ficheroSalida_ = ruta; }
    const QString& ficheroSalida() const { return ficheroSalida_; }

    // Restores ficheroComprimido() into ficheroSalida(); throws ErrorEjecucion on a missing,
    // unreadable, corrupt or truncated input or an output that cannot be written.
    void restaura() const;

    // Compresses origen into destino as one frame with a checksum; throws ErrorEjecucion on
    // failure, leaving destino as it was.
    static void comprime(const QString& origen, const QString& destino, int nivel = 9);

private:
    QString ficheroComprimido_;
    QString ficheroSalida_;
};

}  // namespace platform
