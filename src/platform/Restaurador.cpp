#include "platform/Restaurador.h"

#include <zstd.h>

#include <QByteArray>

#include "platform/Compresion.h"
#include "platform/ErrorEjecucion.h"

namespace platform {

namespace {

struct LiberaDCtx {
    void operator()(ZSTD_DCtx* c) const { ZSTD_freeDCtx(c); }
};

}  // namespace

struct Restaurador::Estado {
    QString origen;
    Salida salida;
    std::unique_ptr<ZSTD_DCtx, LiberaDCtx> dctx{ZSTD_createDCtx()};
    QByteArray buffer{qsizetype(ZSTD_DStreamOutSize()), Qt::Uninitialized};
    // Non-zero until the frame has been decoded and flushed.
    size_t pendiente = 1;

    [[noreturn]] void fallaDatos(const QString& detalle) const {
        throw ErrorEjecucion(Compresion::kDatosDanados,
                             QStringLiteral("El fichero comprimido ") + origen +
                                 QStringLiteral(" está dañado: ") + detalle,
                             QStringLiteral("Compresion"));
    }
};

Restaurador::Restaurador(const QString& origen, Salida salida)
    : estado_(std::make_unique<Estado>()) {
    estado_->origen = origen;
    estado_->salida = std::move(salida);
}

Restaurador::~Restaurador() = default;

void Restaurador::agrega(const char* datos, qsizetype tam) {
    Estado& e = *estado_;
    ZSTD_inBuffer in{datos, size_t(tam), 0};
    bool salidaLlena = false;
    // A full output buffer may hide more output behind it, even once the input is used up.
    while (in.pos < in.size || (salidaLlena && e.pendiente != 0)) {
        if (e.pendiente == 0) {
            e.fallaDatos(QStringLiteral("datos tras el final"));
        }
        ZSTD_outBuffer out{e.buffer.data(), size_t(e.buffer.size()), 0};
        e.pendiente = ZSTD_decompressStream(e.dctx.get(), &out, &in);
        if (ZSTD_isError(e.pendiente)) {
            e.fallaDatos(QString::fromLatin1(ZSTD_getErrorName(e.pendiente)));
        }
        if (out.pos > 0) {
            e.salida(e.buffer.constData(), qsizetype(out.pos));
        }
        salidaLlena = out.pos == out.size;
    }
}

void Restaurador::termina() const {
    if (estado_->pendiente != 0) {
        throw ErrorEjecucion(Compresion::kDatosDanados,
                             QStringLiteral("El fichero comprimido ") + estado_->origen +
                                 QStringLiteral(" está incompleto."),
                             QStringLiteral("Compresion"));
    }
}

}  // namespace platform
