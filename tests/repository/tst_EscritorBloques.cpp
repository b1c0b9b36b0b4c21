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
using prueba::aleatorios;
using prueba::escribe;
using prueba::lee;

namespace {

struct Bloque {
    qint64 n;
    QByteArray datos;
};
using Bloques = QVector<Bloque>;

// The blocks of `datos` as the format stores them.
Bloques trocea(const QByteArray& datos) {
    Bloques bloques;
    for (qsizetype i = 0; i < datos.size(); i += kTamBloque) {
        bloques.append({qint64(bloques.size() + 1), datos.mid(i, kTamBloque)});
    }
    return bloques;
}

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

Q_DECLARE_METATYPE(Bloques)

class TstEscritorBloques : public QObject {
    Q_OBJECT
private slots:
    void cuentaBloques_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<qint32>("bloques");
        QTest::newRow("0") << qint64(0) << 0;
        QTest::newRow("1") << qint64(1) << 1;
        QTest::newRow("10240") << qint64(10240) << 1;
        QTest::newRow("10241") << qint64(10241) << 2;
        QTest::newRow("5 000 000") << qint64(5000000) << 489;
        QTest::newRow("4 GiB") << qint64(1) * 4096 * 1024 * 1024 << 419431;
    }
    void cuentaBloques() {
        QFETCH(qint64, bytes);
        QFETCH(qint32, bloques);
        QCOMPARE(formatoRepositorio::nBloques(bytes), bloques);
    }

    void escribeElFicheroEntero_data() {
        QTest::addColumn<QByteArray>("datos");
        for (int n : {0, 1, 10240, 10241, 5000000}) {
            QTest::addRow("%d bytes", n) << aleatorios(n);
        }
    }
    void escribeElFicheroEntero() {
        QFETCH(QByteArray, datos);
        QTemporaryDir dir;
        const QString destino = dir.filePath("f.exe");
        escribe(destino, "versión anterior");
        const Bloques bloques = trocea(datos);
        QCOMPARE(vuelca(destino, formatoRepositorio::nBloques(datos.size()), bloques),
                 std::nullopt);
        QCOMPARE(lee(destino), datos);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"f.exe"});
    }

    // Blocks that do not match the row fail before the target is touched, leaving no
    // temporary file.
    void bloquesIncoherentes_data() {
        QTest::addColumn<qint32>("nBloques");
        QTest::addColumn<Bloques>("bloques");
        const QByteArray lleno(kTamBloque, 'a');
        QTest::newRow("falta el segundo") << 3 << Bloques{{1, lleno}, {3, lleno}};
        QTest::newRow("falta el último") << 3 << Bloques{{1, lleno}, {2, lleno}};
        QTest::newRow("repetido") << 3 << Bloques{{1, lleno}, {1, lleno}, {2, lleno}};
        QTest::newRow("desordenado") << 3 << Bloques{{2, lleno}, {1, lleno}, {3, "x"}};
        QTest::newRow("bloque cero") << 1 << Bloques{{0, lleno}, {1, "x"}};
        QTest::newRow("sobra uno") << 2 << Bloques{{1, lleno}, {2, "x"}, {3, "y"}};
        QTest::newRow("bloques en fichero vacío") << 0 << Bloques{{1, "x"}};
        QTest::newRow("intermedio corto") << 2 << Bloques{{1, "corto"}, {2, "x"}};
        QTest::newRow("último vacío") << 2 << Bloques{{1, lleno}, {2, ""}};
        QTest::newRow("último largo") << 1 << Bloques{{1, lleno + "z"}};
        QTest::newRow("ninguno") << 2 << Bloques{};
    }
    void bloquesIncoherentes() {
        QFETCH(qint32, nBloques);
        QFETCH(Bloques, bloques);
        QTemporaryDir dir;
        const QString destino = dir.filePath("f.exe");
        escribe(destino, "versión anterior");
        QCOMPARE(vuelca(destino, nBloques, bloques), EscritorBloques::kBloquesIncoherentes);
        QCOMPARE(lee(destino), QByteArray("versión anterior"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"f.exe"});
    }

    void abandonadoNoDejaNada() {
        QTemporaryDir dir;
        {
            EscritorBloques escritor(dir.filePath("f"), 2);
            escritor.agrega(1, QByteArray(kTamBloque, 'a'));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{});
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
