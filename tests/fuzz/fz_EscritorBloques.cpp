// The block writer given blocks in any order and of any size: a bad block is refused with its
// error, the target stays as it was until every block is in, and then holds exactly the blocks.
//
// Input: the declared block count, whether the target exists already, then one step a pair of
// bytes: what to do (append, require, finish; with a size class) and how far the block number
// lies from the next one.
#include <QDir>
#include <QTemporaryDir>

#include "Fuzz.h"
#include "platform/ErrorEjecucion.h"
#include "repository/EscritorBloques.h"
#include "repository/FormatoRepositorio.h"

namespace {

constexpr qint32 kTam = formatoRepositorio::kTamBloque;

QByteArray contenido(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no existe)");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    static const QTemporaryDir carpeta(QDir::tempPath() + QStringLiteral("/fz_EscritorBloques"));
    const QString destino = carpeta.filePath(QStringLiteral("destino"));
    QFile::remove(destino);
    if (n < 2) {
        return 0;
    }
    const qint32 nBloques = datos[0] % 8;
    if (datos[1] & 1) {
        QFile f(destino);
        EXIGE(f.open(QIODevice::WriteOnly) && f.write("anterior") == 8);
    }
    const QByteArray antes = contenido(destino);
    const auto soloElDestino = [&](int ficheros) {
        EXIGE(QDir(carpeta.path()).entryList(QDir::Files | QDir::Hidden).size() == ficheros);
    };
    QByteArray escrito;
    qint32 recibidos = 0;
    {
        EscritorBloques escritor(destino, nBloques);
        for (size_t i = 2; i + 1 < n; i += 2) {
            const int paso = datos[i] & 3;
            const qint64 numero = recibidos + 1 + qint8(datos[i + 1]) / 32;
            static constexpr int kTamanos[] = {kTam, kTam, kTam, 1, 0, kTam + 1, 5000, kTam - 1};
            const QByteArray bloque(kTamanos[datos[i] >> 2 & 7], char('A' + numero % 26));
            const bool ultimo = numero == nBloques;
            const bool vale =
                numero == recibidos + 1 && numero <= nBloques &&
                (ultimo ? bloque.size() >= 1 && bloque.size() <= kTam : bloque.size() == kTam);
            const bool completo = recibidos == nBloques;
            try {
                if (paso <= 1) {
                    escritor.agrega(numero, bloque);
                    EXIGE(vale);
                    escrito += bloque;
                    ++recibidos;
                } else if (paso == 2) {
                    escritor.exigeHasta(numero);
                    EXIGE(recibidos >= qMin(numero, qint64(nBloques)));
                } else {
                    escritor.termina();
                    EXIGE(completo);
                    EXIGE(contenido(destino) == escrito);
                    soloElDestino(1);
                    return 0;
                }
            } catch (const platform::ErrorEjecucion& e) {
                EXIGE(e.numero() == EscritorBloques::kBloquesIncoherentes);
                EXIGE(paso <= 1   ? !vale
                      : paso == 2 ? recibidos < qMin(numero, qint64(nBloques))
                                  : !completo);
            }
            // Until every block is in, the target stays as it was.
            EXIGE(escritor.recibidos() == recibidos && contenido(destino) == antes);
        }
    }
    // An abandoned writer leaves the target as it was and no file of its own.
    EXIGE(contenido(destino) == antes);
    soloElDestino(datos[1] & 1);
    return 0;
}
