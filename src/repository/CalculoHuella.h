#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <memory>
#include <optional>

#include "platform/RelevoLotes.h"
#include "repository/TablaHuellas.h"

namespace platform {
class Restaurador;
}

// Works out the fingerprint of a stored file from its stored bytes as they pass, in order,
// without keeping them: the SHA-256 of those bytes and, of the file they place on disk (what
// restoring them gives, when stored compressed), its length and SHA-256. The hashing runs on a
// thread of its own, a batch of bytes at a time, so that an upload hashes while the server
// stores.
class CalculoHuella {
public:
    explicit CalculoHuella(bool comprimido);
    ~CalculoHuella();
    CalculoHuella(const CalculoHuella&) = delete;
    CalculoHuella& operator=(const CalculoHuella&) = delete;

    // The next stored bytes.
    void agrega(const QByteArray& guardado);
    // The fingerprint, its fechaUm left for the caller; nothing when a compressed content does
    // not restore whole, since no download could place it either.
    std::optional<Huella> termina();

    // The same for stored content kept whole in the file at ruta; throws ErrorEjecucion when
    // it cannot be read.
    static std::optional<Huella> deFichero(const QString& ruta, bool comprimido);

private:
    void procesa(const QByteArray& guardado);
    void agregaColocado(const char* datos, qsizetype tam);

    QCryptographicHash guardado_{QCryptographicHash::Sha256};
    QCryptographicHash colocado_{QCryptographicHash::Sha256};
    qint64 longitud_ = 0;
    std::unique_ptr<platform::Restaurador> restaurador_;
    bool danado_ = false;
    // Last, so that the hashing thread ends before the members it works on.
    platform::RelevoLotes lotes_;
};
