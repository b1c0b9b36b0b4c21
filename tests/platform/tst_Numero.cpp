#include <QtTest>
#include <limits>

#include "platform/Numero.h"

class TstNumero : public QObject {
    Q_OBJECT
private slots:
    void redondeaPar_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("esperado");
        const double casos[][2] = {
            {2.5, 2.0},        {3.5, 4.0},   {-2.5, -2.0},
            {-3.5, -4.0},      {0.5, 0.0},   {2.4999, 2.0},
            {2.5001, 3.0},     {-2.6, -3.0}, {9007199254740991.0, 9007199254740991.0},
            {86399.5, 86400.0}};
        for (const auto& [x, esperado] : casos) {
            QTest::addRow("%.4f", x) << x << esperado;
        }
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
        const auto f = [](const char* texto, bool numerico, double valor) {
            QTest::addRow("'%s'", texto) << QString(texto) << numerico << valor;
        };
        f("\t1433 ", true, 1433.0);
        f("-12", true, -12.0);
        f("+7", true, 7.0);
        f(".5", true, 0.5);
        f("5.", true, 5.0);
        f("007", true, 7.0);
        for (const char* no :
             {"", "   ", ".", "-", "12a", "1.2.3", "1,5", "1e5", "&H10", "1 2", "- 2", "--2"}) {
            f(no, false, 0.0);
        }
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
        const auto f = [](const char* texto, bool valido, qint64 valor) {
            QTest::addRow("'%s'", texto) << QString(texto) << valido << valor;
        };
        f(" 1433 ", true, 1433);
        f("32767", true, 32767);
        f("32768", false, 0);
        f("-32768", true, -32768);
        f("-32769", false, 0);
        f("2.5", true, 2);
        f("32767.5", false, 0);
        f("x", false, 0);
        f("99999999999999999999999", false, 0);
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
        const auto f = [](double x, const char* texto) {
            QTest::newRow(texto) << x << QString(texto);
        };
        f(3.0, "3");
        f(-0.25, "-0.25");
        f(-0.0, "0");
        f(1.0 / 3.0, "0.3333333333333333");
        f(123456789012345.0, "123456789012345");
        f(1e20, "1e+20");
        f(1e-7, "1e-07");
        f(0.000125, "0.000125");
        f(std::numeric_limits<double>::quiet_NaN(), "NaN");
        f(std::numeric_limits<double>::infinity(), "Infinity");
    }
    void textoDecimal() {
        QFETCH(double, x);
        QFETCH(QString, texto);
        QCOMPARE(platform::textoDecimal(x), texto);
    }

    void textoDecimalVuelveAlMismoValor() {
        const QLocale antes;
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        const auto restaura = qScopeGuard([&] { QLocale::setDefault(antes); });
        for (const double v :
             {0.1 + 0.2, 2.0 / 3.0, 1e-6, 999999999999999.9, -1234.5678, 1.5,
              std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()}) {
            const QString texto = platform::textoDecimal(v);
            QVERIFY2(!texto.contains(u','), qPrintable(texto));
            QCOMPARE(texto.toDouble(), v);
        }
    }
};

QTEST_GUILESS_MAIN(TstNumero)
#include "tst_Numero.moc"
