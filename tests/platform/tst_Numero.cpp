#include <QtTest>
#include <limits>

#include "platform/Numero.h"

class TstNumero : public QObject {
    Q_OBJECT
private slots:
    void redondeaPar_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("esperado");
        QTest::newRow("2.5") << 2.5 << 2.0;
        QTest::newRow("3.5") << 3.5 << 4.0;
        QTest::newRow("-2.5") << -2.5 << -2.0;
        QTest::newRow("-3.5") << -3.5 << -4.0;
        QTest::newRow("0.5") << 0.5 << 0.0;
        QTest::newRow("1.5") << 1.5 << 2.0;
        QTest::newRow("-0.5") << -0.5 << 0.0;
        QTest::newRow("2.4999") << 2.4999 << 2.0;
        QTest::newRow("2.5001") << 2.5001 << 3.0;
        QTest::newRow("-2.6") << -2.6 << -3.0;
        QTest::newRow("7") << 7.0 << 7.0;
        QTest::newRow("grande impar") << 9007199254740991.0 << 9007199254740991.0;
        QTest::newRow("86399.5") << 86399.5 << 86400.0;
    }
    void redondeaPar() {
        QFETCH(double, x);
        QFETCH(double, esperado);
        QCOMPARE(platform::redondeaPar(x), esperado);
    }

    void esNumerico_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("numerico");
        QTest::addColumn<double>("valor");
        QTest::newRow("entero") << "1433" << true << 1433.0;
        QTest::newRow("blancos") << "  1 " << true << 1.0;
        QTest::newRow("tabulador") << "\t3\t" << true << 3.0;
        QTest::newRow("negativo") << "-12" << true << -12.0;
        QTest::newRow("mas") << "+7" << true << 7.0;
        QTest::newRow("decimales") << "2.75" << true << 2.75;
        QTest::newRow("punto delante") << ".5" << true << 0.5;
        QTest::newRow("punto detras") << "5." << true << 5.0;
        QTest::newRow("ceros") << "007" << true << 7.0;
        QTest::newRow("vacio") << "" << false << 0.0;
        QTest::newRow("blanco") << "   " << false << 0.0;
        QTest::newRow("punto solo") << "." << false << 0.0;
        QTest::newRow("signo solo") << "-" << false << 0.0;
        QTest::newRow("letras") << "abc" << false << 0.0;
        QTest::newRow("mezcla") << "12a" << false << 0.0;
        QTest::newRow("dos puntos") << "1.2.3" << false << 0.0;
        QTest::newRow("coma") << "1,5" << false << 0.0;
        QTest::newRow("exponente") << "1e5" << false << 0.0;
        QTest::newRow("hexadecimal") << "&H10" << false << 0.0;
        QTest::newRow("blanco dentro") << "1 2" << false << 0.0;
        QTest::newRow("signo y blanco") << "- 2" << false << 0.0;
        QTest::newRow("dos signos") << "--2" << false << 0.0;
        QTest::newRow("cifra arabe") << QStringLiteral("\u0661") << false << 0.0;
    }
    void esNumerico() {
        QFETCH(QString, texto);
        QFETCH(bool, numerico);
        QFETCH(double, valor);
        QCOMPARE(platform::esNumerico(texto), numerico);
        const std::optional<double> leido = platform::valorNumerico(texto);
        QCOMPARE(leido.has_value(), numerico);
        if (numerico) {
            QCOMPARE(*leido, valor);
        }
    }

    void enteroNumerico_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::addColumn<qint64>("valor");
        QTest::newRow("puerto") << " 1433 " << true << qint64(1433);
        QTest::newRow("maximo") << "32767" << true << qint64(32767);
        QTest::newRow("excede") << "32768" << false << qint64(0);
        QTest::newRow("minimo") << "-32768" << true << qint64(-32768);
        QTest::newRow("bajo minimo") << "-32769" << false << qint64(0);
        QTest::newRow("medio par") << "2.5" << true << qint64(2);
        QTest::newRow("redondea al limite") << "32767.5" << false << qint64(0);
        QTest::newRow("no numero") << "x" << false << qint64(0);
        QTest::newRow("enorme") << "99999999999999999999999" << false << qint64(0);
    }
    void enteroNumerico() {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QFETCH(qint64, valor);
        const std::optional<qint64> leido = platform::enteroNumerico(texto, -32768, 32767);
        QCOMPARE(leido.has_value(), valido);
        if (valido) {
            QCOMPARE(*leido, valor);
        }
    }

    void textoDecimal_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<QString>("texto");
        QTest::newRow("uno y medio") << 1.5 << "1.5";
        QTest::newRow("tres") << 3.0 << "3";
        QTest::newRow("negativo") << -0.25 << "-0.25";
        QTest::newRow("decima") << 0.1 << "0.1";
        QTest::newRow("cero") << 0.0 << "0";
        QTest::newRow("menos cero") << -0.0 << "0";
        QTest::newRow("tercio") << 1.0 / 3.0 << "0.3333333333333333";
        QTest::newRow("grande") << 123456789012345.0 << "123456789012345";
        QTest::newRow("exponente") << 1e20 << "1e+20";
        QTest::newRow("diminuto") << 1e-7 << "1e-07";
        QTest::newRow("pequeno") << 0.000125 << "0.000125";
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "NaN";
        QTest::newRow("infinito") << std::numeric_limits<double>::infinity() << "Infinity";
    }
    void textoDecimal() {
        QFETCH(double, x);
        QFETCH(QString, texto);
        QCOMPARE(platform::textoDecimal(x), texto);
    }

    void textoDecimalVuelveAlMismoValor() {
        const double valores[] = {0.1 + 0.2,
                                  2.0 / 3.0,
                                  1e-6,
                                  999999999999999.9,
                                  -1234.5678,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::denorm_min()};
        for (const double v : valores) {
            const QString texto = platform::textoDecimal(v);
            QVERIFY2(!texto.contains(u','), qPrintable(texto));
            QCOMPARE(texto.toDouble(), v);
        }
    }

    void textoDecimalIgnoraElIdioma() {
        const QLocale antes;
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        const QString texto = platform::textoDecimal(1.5);
        QLocale::setDefault(antes);
        QCOMPARE(texto, QStringLiteral("1.5"));
    }
};

QTEST_GUILESS_MAIN(TstNumero)
#include "tst_Numero.moc"
