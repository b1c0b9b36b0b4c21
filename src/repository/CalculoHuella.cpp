#include "repository/CalculoHuella.h"

#include <QFile>

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"
#include "platform/Restaurador.h"

namespace {

const QString kOrigen = QStringLiteral("CalculoHuella");
// Bytes read at a time from a file of stored content.
constexpr qint64 kPieza = 1 << 20;
// Bytes handed to the hashing thread at a time: a thread start is small beside hashing them.
constexpr qint64 kLote = 1 << 20;

}  // namespace

CalculoHuella::CalculoHuella(bool comprimido)
    : lotes_([this](const QByteArray& lote) { procesa(lote); }, kLote) {
    if (comprimido) {
        restaurador_ = std::make_unique<platform::Restaurador>(
            QStringLiteral("guardado"),
            [this](const char* datos, qsizetype tam) { agregaColocado(datos, tam); });
    }
}

CalculoHuella::~CalculoHuella() = default;

void CalculoHuella::agrega(const QByteArray& guardado) {
    lotes_.agrega(guardado);
}

void CalculoHuella::procesa(const QByteArray& guardado) {
    guardado_.addData(guardado);
    if (!restaurador_) {
        // Stored as placed: one hash serves both.
        longitud_ += guardado.size();
        return;
    }
    if (danado_) {
        return;
    }
    try {
        restaurador_->agrega(guardado.constData(), guardado.size());
    } catch (const platform::ErrorEjecucion&) {
        // The repository stores whatever it is given; such a file simply has no fingerprint.
        danado_ = true;
    }
}

std::optional<Huella> CalculoHuella::termina() {
    lotes_.termina();
    try {
        if (restaurador_ && !danado_) {
            restaurador_->termina();
        }
    } catch (const platform::ErrorEjecucion&) {
        danado_ = true;
    }
    if (danado_) {
        return std::nullopt;
    }
    Huella h;
    h.longitud = longitud_;
    h.sha256Guardado = QString::fromLatin1(guardado_.result().toHex());
    h.sha256 = restaurador_ ? QString::fromLatin1(colocado_.result().toHex()) : h.sha256Guardado;
    return h;
}

std::optional<Huella> CalculoHuella::deFichero(const QString& ruta, bool comprimido) {
    QFile guardado(ruta);
    if (!guardado.open(QIODevice::ReadOnly)) {
        throw platform::errorLectura(guardado, kOrigen);
    }
    CalculoHuella calculo(comprimido);
    while (!guardado.atEnd()) {
        const QByteArray pieza = guardado.read(kPieza);
        // A short read would fingerprint a different file.
        if (pieza.isEmpty()) {
            throw platform::ErrorEjecucion(platform::kErrorAccesoFichero,
                                           QStringLiteral("No se pudo leer el fichero: ") + ruta +
                                               QStringLiteral(" (") + guardado.errorString() + u')',
                                           kOrigen);
        }
        calculo.agrega(pieza);
    }
    return calculo.termina();
}

void CalculoHuella::agregaColocado(const char* datos, qsizetype tam) {
    colocado_.addData(QByteArrayView(datos, tam));
    longitud_ += tam;
}
