#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Ed25519 signatures (libsodium) for the releases a publisher signs and the launcher checks.
// Keys and signatures travel as text: lower-case hexadecimal, so they fit a text column, a line
// of a key file and a CMake list alike.
namespace platform {

// A key pair as text: the public key (64 hex digits) and the secret key (128 hex digits).
struct ParClaves {
    QString publica;
    QString secreta;
};

// A new random key pair; throws ErrorEjecucion when the library cannot start.
ParClaves generaClaves();
// The signature (128 hex digits) of mensaje by the secret key `secreta`; throws ErrorEjecucion
// when secreta is not a secret key.
QString firma(const QByteArray& mensaje, const QString& secreta);
// The public key that belongs to the secret key `secreta`; nothing when it is not one.
std::optional<QString> clavePublicaDe(const QString& secreta);
// firmaHex is the signature of mensaje by the public key `publica`; false on any malformed
// argument.
bool verifica(const QByteArray& mensaje, const QString& firmaHex, const QString& publica);
// texto (trimmed) is a well-formed public key.
bool esClavePublica(const QString& texto);

}  // namespace platform
