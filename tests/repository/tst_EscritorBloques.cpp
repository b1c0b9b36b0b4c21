#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"
#include "repository/EscritorBloques.h"
#include "repository/FormatoRepositorio.h"
#include "support/CarpetaSoloLectura.h"
#include "support/FicherosPrueba.h"

using formatoRepositorio::kTamBloque;
using prueba::escribe;
using prueba::lee;

namespace {

struct Bloque {
    qint64 n;
    QByteArray datos;
};
using Bloques = QVector<Bloque>;

// Feeds the blocks and finishes; the error number, or nothing when all went well.
std::optional<qint32> vuelca(const QString& destino, qint32 nBloques, const Bloques& bloques) {
    try {
        EscritorBloques escritor(destino, nBloques);
        for (const Bloque& b : bloques) {
            escritor.agrega(b.n, b.datos);
        }
        escritor.termina();
    } catch (const platform::ErrorEjecucion& e) {
        return e.numero();
    }
    return std::nullopt;
}

}  // namespace

// Whole files, and the missing and surplus blocks a damaged row gives, are the repository
// tests' round trips and damaged downloads; these are the cases no stored file reaches.
class TstEscritorBloques : public QObject {
    Q_OBJECT
private slots:
    void cuentaBloques() {
        const std::pair<qint64, qint32> casos[] = {
            {0, 0}, {1, 1}, {10240, 1}, {10241, 2}, {qint64(4096) * 1024 * 1024, 419431}};
        for (const auto& [bytes, bloques] : casos) {
            QCOMPARE(formatoRepositorio::nBloques(bytes), bloques);
        }
    }

    // Blocks that do not match the row fail before the target is touched, leaving no
    // temporary file.
    void bloquesIncoherentes() {
        const QByteArray lleno(kTamBloque, 'a');
        const std::pair<qint32, Bloques> casos[] = {
            {3, {{1, lleno}, {1, lleno}, {2, lleno}}},
            {3, {{2, lleno}, {1, lleno}, {3, "x"}}},
            {1, {{0, lleno}, {1, "x"}}},
            {0, {{1, "x"}}},
            {2, {{1, "corto"}, {2, "x"}}},
            {2, {{1, lleno}, {2, ""}}},
            {1, {{1, lleno + "z"}}},
            {2, {}},
        };
        for (const auto& [nBloques, bloques] : casos) {
            QTemporaryDir dir;
            const QString destino = dir.filePath("f.exe");
            escribe(destino, "versión anterior");
            QCOMPARE(vuelca(destino, nBloques, bloques), EscritorBloques::kBloquesIncoherentes);
            QCOMPARE(lee(destino), QByteArray("versión anterior"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"f.exe"});
        }
    }

    void carpetaSoloLectura() {
        QTemporaryDir dir;
        QDir().mkdir(dir.filePath("ro"));
        escribe(dir.filePath("ro/f"), "viejo");
        CarpetaSoloLectura soloLectura(dir.filePath("ro"));
        if (!soloLectura.efectiva()) {
            QSKIP("this system cannot make a folder read-only for this user");
        }
        QCOMPARE(vuelca(dir.filePath("ro/f"), 1, Bloques{{1, "nuevo"}}),
                 platform::kPermisoDenegado);
        QCOMPARE(lee(dir.filePath("ro/f")), QByteArray("viejo"));
    }
};

QTEST_GUILESS_MAIN(TstEscritorBloques)
#include "tst_EscritorBloques.moc"
