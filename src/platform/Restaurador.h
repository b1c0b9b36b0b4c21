#pragma once

#include <QString>
#include <functional>
#include <memory>

// The restoring side of the compression component, for bytes that arrive piece by piece (blocks
// of the repository, a file read in buffers): one zstd frame in, the restored bytes handed on as
// soon as they are decoded, never the whole file in memory.
namespace platform {

class Restaurador {
public:
    // Receives each run of restored bytes, in order.
    using Salida = std::function<void(const char* datos, qsizetype tam)>;

    // origen names the compressed data in the error texts.
    Restaurador(const QString& origen, Salida salida);
    ~Restaurador();
    Restaurador(const Restaurador&) = delete;
    Restaurador& operator=(const Restaurador&) = delete;

    // Decodes the next piece of the frame; throws ErrorEjecucion (Compresion::kDatosDanados) on
    // data that is not zstd or that follows the end of the frame.
    void agrega(const char* datos, qsizetype tam);
    // Throws ErrorEjecucion (Compresion::kDatosDanados) unless the whole frame has arrived.
    void termina() const;

private:
    struct Estado;
    std::unique_ptr<Estado> estado_;
};

}  // namespace platform
