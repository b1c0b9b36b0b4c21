#include "platform/Sha256.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>

namespace platform {

namespace {

// Large enough to keep the hash busy, small enough that a caller that yields between pieces
// stays responsive.
constexpr qint64 kPieza = 1 << 20;

}  // namespace

std::optional<QString> sha256Fichero(const QString& ruta, const std::function<bool()>& sigue) {
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray pieza(kPieza, Qt::Uninitialized);
    for (;;) {
        const qint64 n = fichero.read(pieza.data(), kPieza);
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        hash.addData(QByteArrayView(pieza.constData(), n));
        if (sigue && !sigue()) {
            return std::nullopt;
        }
    }
    return QString::fromLatin1(hash.result().toHex());
}

}  // namespace platform
