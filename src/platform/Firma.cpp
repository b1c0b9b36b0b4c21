#include "platform/Firma.h"

#include <sodium.h>

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"

namespace platform {

namespace {

const QString kOrigen = QStringLiteral("Firma");

void iniciaBiblioteca() {
    // sodium_init answers 1 when an earlier call already started it.
    if (sodium_init() < 0) {
        throw ErrorEjecucion(kErrorArgumento,
                             QStringLiteral("No se pudo iniciar la biblioteca de firmas."),
                             kOrigen);
    }
}

// The bytes of hexadecimal text of exactly `bytes` bytes; nothing otherwise, so that a key or
// signature of the wrong length never reaches the library.
std::optional<QByteArray> deHex(const QString& texto, qsizetype bytes) {
    const QString limpio = texto.trimmed().toLower();
    if (limpio.size() != 2 * bytes) {
        return std::nullopt;
    }
    for (const QChar c : limpio) {
        if (!c.isDigit() && !(c >= u'a' && c <= u'f')) {
            return std::nullopt;
        }
    }
    return QByteArray::fromHex(limpio.toLatin1());
}

QString aHex(const unsigned char* datos, qsizetype bytes) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(datos), bytes).toHex());
}

const unsigned char* bytesDe(const QByteArray& datos) {
    return reinterpret_cast<const unsigned char*>(datos.constData());
}

}  // namespace

ParClaves generaClaves() {
    iniciaBiblioteca();
    unsigned char publica[crypto_sign_PUBLICKEYBYTES];
    unsigned char secreta[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publica, secreta);
    ParClaves par{aHex(publica, sizeof publica), aHex(secreta, sizeof secreta)};
    sodium_memzero(secreta, sizeof secreta);
    return par;
}

QString firma(const QByteArray& mensaje, const QString& secreta) {
    iniciaBiblioteca();
    const std::optional<QByteArray> clave = deHex(secreta, crypto_sign_SECRETKEYBYTES);
    if (!clave) {
        throw ErrorEjecucion(kErrorArgumento, QStringLiteral("La clave secreta no es válida."),
                             kOrigen);
    }
    unsigned char resultado[crypto_sign_BYTES];
    crypto_sign_detached(resultado, nullptr, bytesDe(mensaje), mensaje.size(), bytesDe(*clave));
    return aHex(resultado, sizeof resultado);
}

std::optional<QString> clavePublicaDe(const QString& secreta) {
    iniciaBiblioteca();
    const std::optional<QByteArray> clave = deHex(secreta, crypto_sign_SECRETKEYBYTES);
    if (!clave) {
        return std::nullopt;
    }
    unsigned char publica[crypto_sign_PUBLICKEYBYTES];
    crypto_sign_ed25519_sk_to_pk(publica, bytesDe(*clave));
    return aHex(publica, sizeof publica);
}

bool verifica(const QByteArray& mensaje, const QString& firmaHex, const QString& publica) {
    iniciaBiblioteca();
    const std::optional<QByteArray> f = deHex(firmaHex, crypto_sign_BYTES);
    const std::optional<QByteArray> clave = deHex(publica, crypto_sign_PUBLICKEYBYTES);
    if (!f || !clave) {
        return false;
    }
    return crypto_sign_verify_detached(bytesDe(*f), bytesDe(mensaje), mensaje.size(),
                                       bytesDe(*clave)) == 0;
}

bool esClavePublica(const QString& texto) {
    return deHex(texto, crypto_sign_PUBLICKEYBYTES).has_value();
}

}  // namespace platform
