#include "platform/Sha256.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

namespace {

// Large enough to keep the hash busy, small enough that a caller that yields between pieces
// stays responsive.
constexpr qint64 kPieza = 1 << 20;

// "size modification-ms fingerprint": what makes a remembered fingerprint still the file's.
QByteArray claveRecuerdo(const QFileInfo& info) {
    return QByteArray::number(info.size()) + ' ' +
           QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + ' ';
}

void recuerda(const QString& ruta, const QByteArray& linea) {
    QSaveFile f(rutaRecuerdo(ruta));
    if (f.open(QIODevice::WriteOnly) && f.write(linea) == linea.size()) {
        f.commit();
    }
}

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

QString rutaRecuerdo(const QString& ruta) {
    const QFileInfo info(ruta);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".sha256");
}

std::optional<QString> sha256Recordado(const QString& ruta, const std::function<bool()>& sigue) {
    const QFileInfo info(ruta);
    const QByteArray clave = claveRecuerdo(info);
    QFile recordado(rutaRecuerdo(ruta));
    if (recordado.open(QIODevice::ReadOnly)) {
        const QByteArray linea = recordado.read(200);
        if (linea.size() == clave.size() + 64 && linea.startsWith(clave)) {
            return QString::fromLatin1(linea.mid(clave.size()));
        }
    }
    std::optional<QString> sha256 = sha256Fichero(ruta, sigue);
    // The file may have changed while it was read: then its new time does not match next time.
    if (sha256) {
        recuerda(ruta, clave + sha256->toLatin1());
    }
    return sha256;
}

}  // namespace platform
