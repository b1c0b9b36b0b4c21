#include <QtTest>
#include <limits>

#include "platform/ErrorEjecucion.h"
#include "platform/Formato.h"
#include "support/ErrorLanzado.h"

class TstFormato : public QObject {
    Q_OBJECT
private slots:
    void numero() {
        const struct {
            double valor;
            const char *patron, *texto;
        } casos[] = {
            {0.0, "######", ""},
            {0.4, "######", ""},
            {2.5, "######", "3"},  // halves go up, not to even
            {12345678.0, "######", "12345678"},
            {0.0, "##0.00", "0.00"},
            {1.005, "##0.00", "1.01"},
            {0.995, "##0.00", "1.00"},
            {99999.999, "##0.00", "100000.00"},
            {-3.5, "##0.00", "-3.50"},
            {-0.001, "##0.00", "0.00"},
            {417.3, "0000", "0417"},
            {999.6, "0000", "1000"},
            {0.5, "0000", "0001"},
            {5.0, "#.##", "5."},
            {0.5, "#.##", ".5"},
            {2.0, "0.0#", "2.0"},
            {2.126, "0.0#", "2.13"},
            {1e-300, "0.00", "0.00"},
            {1e20, "#", "100000000000000000000"},
            {std::numeric_limits<double>::quiet_NaN(), "0", "NaN"},
        };
        for (const auto& c : casos) {
            QCOMPARE(platform::formatoNumero(c.valor, c.patron), QString(c.texto));
        }
        QCOMPARE(platform::formatoNumero(3.14159, QStringLiteral("##0.00"), u','),
                 QStringLiteral("3,14"));
        for (const char* patron : {"0.0.0", "##x", "#,##0"}) {
            QCOMPARE(prueba::errorLanzado([&] { platform::formatoNumero(1.0, patron); }).numero(),
                     platform::kErrorArgumento);
        }
    }

    void fecha() {
        const QDateTime marzo13(QDate(2007, 3, 13), QTime(14, 5, 9));
        const QDateTime enero(QDate(2009, 1, 2), QTime(7, 8, 9));
        const struct {
            QDateTime valor;
            const char *patron, *texto;
        } casos[] = {
            {marzo13, "dd/mm/yy", "13/03/07"},
            {marzo13, "mm/dd/yy hh:nn:ss", "03/13/07 14:05:09"},
            {enero, "d/m/yyyy h:n:s", "2/1/2009 7:8:9"},
            {enero, "DD/MM/YYYY", "02/01/2009"},
            {enero, "[dd] (mm)", "[02] (01)"},
            {QDateTime(QDate(2000, 12, 31), QTime(0, 0)), "yy hh:nn:ss", "00 00:00:00"},
            {QDateTime(), "dd-mm-yy", ""},
        };
        for (const auto& c : casos) {
            QCOMPARE(platform::formatoFecha(c.valor, c.patron), QString(c.texto));
        }
    }

    void ignoraElIdioma() {
        const QLocale antes;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto restaura = qScopeGuard([&] { QLocale::setDefault(antes); });
        QCOMPARE(platform::formatoNumero(1234.5, "##0.00"), QStringLiteral("1234.50"));
        QCOMPARE(platform::formatoFecha(QDate(2007, 3, 13), QStringLiteral("yyyy-mm-dd hh:nn")),
                 QStringLiteral("2007-03-13 00:00"));
    }
};

QTEST_GUILESS_MAIN(TstFormato)
#include "tst_Formato.moc"
