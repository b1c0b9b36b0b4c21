#include "platform/Compresion.h"

#include <zstd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <memory>

#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"
#include "platform/Restaurador.h"

namespace platform {

namespace {

const QString kOrigen = QStringLiteral("Compresion");

struct LiberaCCtx {
    void operator()(ZSTD_CCtx* c) const { ZSTD_freeCCtx(c); }
};

[[noreturn]] void falla(qint32 numero, const QString& descripcion) {
    throw ErrorEjecucion(numero, descripcion, kOrigen);
}

void abreEntrada(QFile& entrada) {
    if (!entrada.open(QIODevice::ReadOnly)) {
        throw errorLectura(entrada, kOrigen);
    }
}

[[noreturn]] void fallaSalida(const QSaveFile& salida) {
    throw errorEscritura(salida, kOrigen);
}

void abreSalida(QSaveFile& salida) {
    if (!salida.open(QIODevice::WriteOnly)) {
        fallaSalida(salida);
    }
}

void escribe(QSaveFile& salida, const char* datos, size_t tam) {
    if (tam > 0 && salida.write(datos, qint64(tam)) != qint64(tam)) {
        fallaSalida(salida);
    }
}

void confirma(QSaveFile& salida) {
    if (!salida.commit()) {
        fallaSalida(salida);
    }
}

qint64 lee(QFile& entrada, QByteArray& buffer) {
    const qint64 n = entrada.read(buffer.data(), buffer.size());
    if (n < 0) {
        falla(kErrorAccesoFichero, QStringLiteral("No se pudo leer el fichero: ") +
                                       entrada.fileName() + QStringLiteral(" (") +
                                       entrada.errorString() + QStringLiteral(")"));
    }
    return n;
}

}  // namespace

void Compresion::restaura() const {
    QFile entrada(ficheroComprimido_);
    abreEntrada(entrada);
    QSaveFile salida(ficheroSalida_);
    abreSalida(salida);
    Restaurador restaurador(ficheroComprimido_, [&salida](const char* datos, qsizetype tam) {
        escribe(salida, datos, size_t(tam));
    });
    QByteArray bufEntrada(qsizetype(ZSTD_DStreamInSize()), Qt::Uninitialized);
    for (qint64 n = lee(entrada, bufEntrada); n > 0; n = lee(entrada, bufEntrada)) {
        restaurador.agrega(bufEntrada.constData(), qsizetype(n));
    }
    restaurador.termina();
    confirma(salida);
}

void Compresion::comprime(const QString& origen, const QString& destino, int nivel) {
    QFile entrada(origen);
    abreEntrada(entrada);
    QSaveFile salida(destino);
    abreSalida(salida);
    std::unique_ptr<ZSTD_CCtx, LiberaCCtx> cctx(ZSTD_createCCtx());
    ZSTD_CCtx_setParameter(cctx.get(), ZSTD_c_compressionLevel, nivel);
    ZSTD_CCtx_setParameter(cctx.get(), ZSTD_c_checksumFlag, 1);
    ZSTD_CCtx_setPledgedSrcSize(cctx.get(), static_cast<unsigned long long>(entrada.size()));
    QByteArray bufEntrada(qsizetype(ZSTD_CStreamInSize()), Qt::Uninitialized);
    QByteArray bufSalida(qsizetype(ZSTD_CStreamOutSize()), Qt::Uninitialized);
    bool terminado = false;
    while (!terminado) {
        const qint64 n = lee(entrada, bufEntrada);
        const ZSTD_EndDirective modo = n == 0 ? ZSTD_e_end : ZSTD_e_continue;
        ZSTD_inBuffer in{bufEntrada.constData(), size_t(n), 0};
        bool vaciado = false;
        while (!vaciado) {
            ZSTD_outBuffer out{bufSalida.data(), size_t(bufSalida.size()), 0};
            const size_t resto = ZSTD_compressStream2(cctx.get(), &out, &in, modo);
            if (ZSTD_isError(resto)) {
                falla(kErrorAccesoFichero, QStringLiteral("No se pudo comprimir el fichero ") +
                                               origen + QStringLiteral(": ") +
                                               QString::fromLatin1(ZSTD_getErrorName(resto)));
            }
            escribe(salida, bufSalida.constData(), out.pos);
            vaciado = modo == ZSTD_e_end ? resto == 0 : in.pos == in.size;
        }
        terminado = modo == ZSTD_e_end;
    }
    confirma(salida);
}

}  // namespace platform
