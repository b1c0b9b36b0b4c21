#include <QtTest>

#include "platform/Ruta.h"

class TstRuta : public QObject {
    Q_OBJECT
private slots:
    void uneRuta_data() {
        QTest::addColumn<QString>("carpeta");
        QTest::addColumn<QString>("ruta");
        // clang-format off
        QTest::newRow("sin separador")       << "/f7"     << "/f7/x.exe";
        QTest::newRow("con barra")           << "/f7/"    << "/f7/x.exe";
        QTest::newRow("con barra invertida") << "C:\\f7\\" << "C:\\f7\\x.exe";
        QTest::newRow("raíz")                << "/"       << "/x.exe";
        // clang-format on
    }
    void uneRuta() {
        QFETCH(QString, carpeta);
        QFETCH(QString, ruta);
        QCOMPARE(platform::uneRuta(carpeta, QStringLiteral("x.exe")), ruta);
    }
};

QTEST_GUILESS_MAIN(TstRuta)
#include "tst_Ruta.moc"
