#include <QtTest>

#include "platform/Cp1252.h"
#include "platform/ErrorEjecucion.h"

class TstCp1252 : public QObject {
    Q_OBJECT
private slots:
    void caracterDeCadaCodigo_data() {
        QTest::addColumn<int>("codigo");
        QTest::addColumn<int>("unicode");
        QTest::newRow("nulo") << 0x00 << 0x0000;
        QTest::newRow("A") << 0x41 << 0x0041;
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("81 sin definir") << 0x81 << 0x0081;
        QTest::newRow("comilla baja") << 0x82 << 0x201A;
        QTest::newRow("8D sin definir") << 0x8D << 0x008D;
        QTest::newRow("Z caron") << 0x8E << 0x017D;
        QTest::newRow("8F sin definir") << 0x8F << 0x008F;
        QTest::newRow("90 sin definir") << 0x90 << 0x0090;
        QTest::newRow("raya") << 0x97 << 0x2014;
        QTest::newRow("marca") << 0x99 << 0x2122;
        QTest::newRow("9D sin definir") << 0x9D << 0x009D;
        QTest::newRow("Y dieresis") << 0x9F << 0x0178;
        QTest::newRow("espacio duro") << 0xA0 << 0x00A0;
        QTest::newRow("e aguda") << 0xE9 << 0x00E9;
        QTest::newRow("enye") << 0xF1 << 0x00F1;
        QTest::newRow("y dieresis") << 0xFF << 0x00FF;
    }
    void caracterDeCadaCodigo() {
        QFETCH(int, codigo);
        QFETCH(int, unicode);
        QCOMPARE(platform::caracterCodigo(codigo).unicode(), unicode);
        QCOMPARE(platform::codigoCaracter(QChar(char16_t(unicode))), codigo);
        const QByteArray byte(1, char(codigo));
        QCOMPARE(platform::deCp1252(byte), QString(QChar(char16_t(unicode))));
        QCOMPARE(platform::aCp1252(QString(QChar(char16_t(unicode)))), byte);
    }

    void losDoscientosCincuentaYSeisCodigosVuelven() {
        QByteArray todos;
        for (int c = 0; c < 256; ++c) {
            todos.append(char(c));
        }
        const QString texto = platform::deCp1252(todos);
        QCOMPARE(texto.size(), 256);
        QCOMPARE(QSet<QChar>(texto.begin(), texto.end()).size(), 256);
        QCOMPARE(platform::aCp1252(texto), todos);
        for (int c = 0; c < 256; ++c) {
            QCOMPARE(platform::codigoCaracter(platform::caracterCodigo(c)), c);
        }
    }

    void caracterAjenoEsInterrogacion_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("control 80") << QString(QChar(char16_t(0x80))) << QByteArray("?");
        QTest::newRow("control 9E") << QString(QChar(char16_t(0x9E))) << QByteArray("?");
        QTest::newRow("A macron") << QStringLiteral("x\u0100y") << QByteArray("x?y");
        QTest::newRow("ideograma") << QStringLiteral("\u4E2D") << QByteArray("?");
        QTest::newRow("fuera del plano") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
        QTest::newRow("sustituto suelto") << QString(QChar(char16_t(0xD800))) << QByteArray("?");
        QTest::newRow("sustituto bajo suelto")
            << QString(QChar(char16_t(0xDC00))) + u'z' << QByteArray("?z");
        QTest::newRow("vacio") << QString() << QByteArray();
    }
    void caracterAjenoEsInterrogacion() {
        QFETCH(QString, texto);
        QFETCH(QByteArray, bytes);
        QCOMPARE(platform::aCp1252(texto), bytes);
    }

    void codigoFueraDeRangoEsError_data() {
        QTest::addColumn<int>("codigo");
        QTest::newRow("-1") << -1;
        QTest::newRow("256") << 256;
        QTest::newRow("0x20AC") << 0x20AC;
    }
    void codigoFueraDeRangoEsError() {
        QFETCH(int, codigo);
        try {
            platform::caracterCodigo(codigo);
            QFAIL("no error");
        } catch (const platform::ErrorEjecucion& e) {
            QCOMPARE(e.numero(), 5);
        }
    }
};

QTEST_GUILESS_MAIN(TstCp1252)
#include "tst_Cp1252.moc"
