#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/Compresion.h"
#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"
#include "platform/Stream.h"
#include "support/CarpetaSoloLectura.h"
#include "support/ErrorLanzado.h"
#include "support/FicherosPrueba.h"

using platform::Compresion;
using platform::ErrorEjecucion;
using platform::Stream;
using prueba::escribe;
using prueba::lee;

namespace {

// Restores `comprimido` over `salida`; the error number, 0 when nothing failed.
qint32 restaura(const QString& comprimido, const QString& salida) {
    Compresion c;
    c.setFicheroComprimido(comprimido);
    c.setFicheroSalida(salida);
    return prueba::errorLanzado([&] { c.restaura(); }).numero();
}

}  // namespace

class TstCompresion : public QObject {
    Q_OBJECT
private slots:
    // The form on disk is plain zstd: the standard tool reads ours and we read its. Round trips
    // on the block sizes, and over a longer older output, are the repository tests' downloads.
    void formatoZstdEstandar() {
        if (QStandardPaths::findExecutable("zstd").isEmpty()) {
            QSKIP("the zstd tool is not installed");
        }
        QTemporaryDir dir;
        const QByteArray datos = prueba::aleatorios(300000, 7) + QByteArray(200000, 'x');
        escribe(dir.filePath("a"), datos);
        Compresion::comprime(dir.filePath("a"), dir.filePath("a.jzp"));
        QCOMPARE(
            QProcess::execute("zstd", {"-q", "-d", dir.filePath("a.jzp"), "-o", dir.filePath("b")}),
            0);
        QCOMPARE(lee(dir.filePath("b")), datos);
        QCOMPARE(QProcess::execute("zstd", {"-q", dir.filePath("b"), "-o", dir.filePath("b.jzp")}),
                 0);
        QCOMPARE(restaura(dir.filePath("b.jzp"), dir.filePath("c")), 0);
        QCOMPARE(lee(dir.filePath("c")), datos);
    }

    // Bad input fails clearly and leaves the previous output whole and no temporary file.
    void entradaDefectuosa() {
        QTemporaryDir dir;
        escribe(dir.filePath("orig"), prueba::aleatorios(400000, 7));
        Compresion::comprime(dir.filePath("orig"), dir.filePath("bueno.jzp"));
        const QByteArray bueno = lee(dir.filePath("bueno.jzp"));
        QByteArray cambiado = bueno;
        cambiado[bueno.size() / 2] = char(bueno[bueno.size() / 2] ^ 0x55);
        for (const QByteArray& jzp :
             {cambiado, bueno.chopped(100), bueno + "basura", QByteArray(""),
              QByteArray("MZ no comprimido").repeated(50), QByteArray()}) {
            QTemporaryDir otra;
            if (!jzp.isNull()) {
                escribe(otra.filePath("f.jzp"), jzp);
            }
            escribe(otra.filePath("f"), "versión anterior");
            const QStringList antes = QDir(otra.path()).entryList(QDir::Files);
            QCOMPARE(
                restaura(otra.filePath("f.jzp"), otra.filePath("f")),
                jzp.isNull() ? qint32(platform::kFicheroNoEncontrado) : Compresion::kDatosDanados);
            QCOMPARE(lee(otra.filePath("f")), QByteArray("versión anterior"));
            QCOMPARE(QDir(otra.path()).entryList(QDir::Files), antes);
        }
        const ErrorEjecucion e = prueba::errorLanzado(
            [&] { Compresion::comprime(dir.filePath("no-existe"), dir.filePath("x.jzp")); });
        QCOMPARE(e.numero(), platform::kFicheroNoEncontrado);
        QVERIFY(e.descripcion().contains("no-existe"));
        QVERIFY(!QFile::exists(dir.filePath("x.jzp")));

        QDir().mkdir(dir.filePath("ro"));
        escribe(dir.filePath("ro/f"), "viejo");
        CarpetaSoloLectura soloLectura(dir.filePath("ro"));
        if (!soloLectura.efectiva()) {
            QSKIP("this system cannot make a folder read-only for this user");
        }
        QCOMPARE(restaura(dir.filePath("bueno.jzp"), dir.filePath("ro/f")),
                 int(platform::kPermisoDenegado));
        QCOMPARE(lee(dir.filePath("ro/f")), QByteArray("viejo"));
        QCOMPARE(QDir(dir.filePath("ro")).entryList(QDir::Files), QStringList{"f"});
    }

    // What the image loaders use of a stream, whose round trips save and load new files: a closed
    // one refuses work; option 1 refuses an existing file, option 2 replaces it whole; a refused
    // save or load leaves the file and the stream as they were.
    void guardaYCarga() {
        QTemporaryDir carpeta;
        const QString ruta = carpeta.filePath("f.bin");
        escribe(ruta, "viejo contenido largo");
        Stream s;
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.write("x"));
        s.open();
        s.write("corto");
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.saveToFile(ruta, Stream::kCrearSiNoExiste));
        QCOMPARE(lee(ruta), QByteArray("viejo contenido largo"));
        s.saveToFile(ruta, Stream::kSobrescribir);
        QCOMPARE(lee(ruta), QByteArray("corto"));
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion,
                                 s.saveToFile(carpeta.filePath("no/x.bin"), Stream::kSobrescribir));
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.loadFromFile(carpeta.filePath("falta.bin")));
        s.saveToFile(carpeta.filePath("otro.bin"));
        QCOMPARE(lee(carpeta.filePath("otro.bin")), QByteArray("corto"));
        s.close();
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.read());
    }
};

QTEST_GUILESS_MAIN(TstCompresion)
#include "tst_Compresion.moc"
