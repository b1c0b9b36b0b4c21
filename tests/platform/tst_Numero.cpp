#include <QtTest>
#include <limits>

#include "platform/Numero.h"

class TstNumero : public QObject {
    Q_OBJECT
private slots:
    void redondeaPar() {
        const double casos[][2] = {
            {2.5, 2.0},   {3.5, 4.0},         {-2.5, -2.0},
            {0.5, 0.0},   {2.4999, 2.0},      {2.5001, 3.0},
            {-2.6, -3.0}, {86399.5, 86400.0}, {9007199254740991.0, 9007199254740991.0}};
        for (const auto& [x, esperado] : casos) {
            QCOMPARE(platform::redondeaPar(x), esperado);
        }
    }

    void esNumerico() {
        const std::pair<QString, double> numericos[] = {{"\t1433 ", 1433.0}, {"-12", -12.0},
                                                        {"+7", 7.0},         {".5", 0.5},
                                                        {"5.", 5.0},         {"007", 7.0}};
        for (const auto& [texto, valor] : numericos) {
            QVERIFY2(platform::esNumerico(texto), qPrintable(texto));
            QCOMPARE(platform::valorNumerico(texto), std::optional<double>(valor));
        }
        for (const QString no : {"", "   ", ".", "-", "12a", "1.2.3", "1,5", "1e5", "&H10", "1 2",
                                 "- 2", "--2", "\u0661"}) {
            QVERIFY2(!platform::esNumerico(no), qPrintable(no));
            QVERIFY(!platform::valorNumerico(no));
        }
    }

    void enteroNumerico() {
        const std::pair<const char*, std::optional<qint64>> casos[] = {
            {" 1433 ", 1433},   {"32767", 32767}, {"32768", {}},
            {"-32768", -32768}, {"-32769", {}},   {"2.5", 2},
            {"32767.5", {}},    {"x", {}},        {"99999999999999999999999", {}}};
        for (const auto& [texto, valor] : casos) {
            QCOMPARE(platform::enteroNumerico(texto, -32768, 32767), valor);
        }
    }

    void textoDecimal() {
        const std::pair<double, const char*> casos[] = {
            {3.0, "3"},
            {-0.25, "-0.25"},
            {-0.0, "0"},
            {1.0 / 3.0, "0.3333333333333333"},
            {123456789012345.0, "123456789012345"},
            {1e20, "1e+20"},
            {1e-7, "1e-07"},
            {0.000125, "0.000125"},
            {std::numeric_limits<double>::quiet_NaN(), "NaN"},
            {std::numeric_limits<double>::infinity(), "Infinity"}};
        for (const auto& [x, texto] : casos) {
            QCOMPARE(platform::textoDecimal(x), QString(texto));
        }
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
