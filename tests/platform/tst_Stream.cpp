#include <QTemporaryDir>
#include <QTest>

#include "platform/ErrorEjecucion.h"
#include "platform/Stream.h"
#include "support/FicherosPrueba.h"

using platform::ErrorEjecucion;
using platform::Stream;

class TstStream : public QObject {
    Q_OBJECT

private slots:
    void escribeLeeYPosiciona() {
        Stream s;
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.write("x"));
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.size());
        s.open();
        s.write("abcdef");
        QCOMPARE(s.size(), 6);
        QVERIFY(s.eos());
        s.setPosition(2);
        QCOMPARE(s.read(3), QByteArray("cde"));
        QCOMPARE(s.position(), 5);
        QCOMPARE(s.read(10), QByteArray("f"));
        QCOMPARE(s.read(), QByteArray());
        s.setPosition(1);
        s.write("XYZ");
        s.setPosition(0);
        QCOMPARE(s.read(), QByteArray("aXYZef"));
        s.setPosition(4);
        s.setEOS();
        QCOMPARE(s.size(), 4);
        s.setPosition(0);
        s.write("0123456");
        QCOMPARE(s.size(), 7);
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.setPosition(8));
        s.open();
        QCOMPARE(s.size(), 0);
        s.close();
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.read());
    }

    // Option 1 creates only, option 2 overwrites; a refused save leaves the old file.
    void guardaYCarga() {
        const QByteArray datos = prueba::aleatorios(70000);
        for (const auto& [existe, opcion] :
             {std::pair{false, 1}, std::pair{true, 1}, std::pair{true, 2}}) {
            QTemporaryDir carpeta;
            const QString ruta = carpeta.filePath("f.bin");
            if (existe) {
                prueba::escribe(ruta, "viejo contenido largo");
            }
            Stream s;
            s.open();
            s.write(datos);
            if (existe && opcion == 1) {
                QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.saveToFile(ruta, opcion));
                QCOMPARE(prueba::lee(ruta), QByteArray("viejo contenido largo"));
                continue;
            }
            s.saveToFile(ruta, opcion);
            Stream leido;
            leido.open();
            leido.loadFromFile(ruta);
            QCOMPARE(leido.size(), datos.size());
            QCOMPARE(leido.position(), 0);
            QCOMPARE(leido.read(), datos);
        }
        // A file that cannot be had fails and leaves the stream as it was.
        QTemporaryDir carpeta;
        Stream s;
        s.open();
        s.write("x");
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.saveToFile(carpeta.filePath("no/x.bin"), 2));
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, s.loadFromFile(carpeta.filePath("falta.bin")));
        QCOMPARE(s.read(), QByteArray());
        s.setPosition(0);
        QCOMPARE(s.read(), QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(TstStream)
#include "tst_Stream.moc"
