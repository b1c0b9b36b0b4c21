#include <QtTest>
#include <limits>

#include "platform/ErrorEjecucion.h"
#include "platform/Formato.h"
#include "support/ErrorLanzado.h"

namespace {

// Runs `accion` under a German default locale and puts the old default back.
template <typename F>
QString conIdiomaAleman(F accion) {
    const QLocale antes;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString texto = accion();
    QLocale::setDefault(antes);
    return texto;
}

}  // namespace

class TstFormato : public QObject {
    Q_OBJECT
private slots:
    void numero_data() {
        QTest::addColumn<double>("valor");
        QTest::addColumn<QString>("patron");
        QTest::addColumn<QString>("texto");
        const auto f = [](double v, const char* patron, const char* texto) {
            QTest::addRow("%s de %g", patron, v) << v << QString(patron) << QString(texto);
        };
        f(0.0, "######", "");
        f(0.4, "######", "");
        f(2.5, "######", "3");  // halves go up, not to even
        f(12345678.0, "######", "12345678");
        f(0.0, "##0.00", "0.00");
        f(1.005, "##0.00", "1.01");
        f(0.995, "##0.00", "1.00");
        f(99999.999, "##0.00", "100000.00");
        f(-3.5, "##0.00", "-3.50");
        f(-0.001, "##0.00", "0.00");
        f(417.3, "0000", "0417");
        f(999.6, "0000", "1000");
        f(0.5, "0000", "0001");
        f(5.0, "#.##", "5.");
        f(0.5, "#.##", ".5");
        f(2.0, "0.0#", "2.0");
        f(2.126, "0.0#", "2.13");
        f(1e-300, "0.00", "0.00");
        f(1e20, "#", "100000000000000000000");
        f(std::numeric_limits<double>::quiet_NaN(), "0", "NaN");
    }
    void numero() {
        QFETCH(double, valor);
        QFETCH(QString, patron);
        QFETCH(QString, texto);
        QCOMPARE(platform::formatoNumero(valor, patron), texto);
    }

    void numeroSeparadorEIdioma() {
        QCOMPARE(platform::formatoNumero(3.14159, QStringLiteral("##0.00"), u','),
                 QStringLiteral("3,14"));
        QCOMPARE(conIdiomaAleman([] { return platform::formatoNumero(1234.5, "##0.00"); }),
                 QStringLiteral("1234.50"));
    }

    void patronNoValido() {
        for (const char* patron : {"0.0.0", "##x", "#,##0"}) {
            QCOMPARE(prueba::errorLanzado([&] { platform::formatoNumero(1.0, patron); }).numero(),
                     platform::kErrorArgumento);
        }
    }

    void fecha_data() {
        QTest::addColumn<QDateTime>("valor");
        QTest::addColumn<QString>("patron");
        QTest::addColumn<QString>("texto");
        const auto f = [](const QDateTime& v, const char* patron, const char* texto) {
            QTest::newRow(patron) << v << QString(patron) << QString(texto);
        };
        const QDateTime marzo13(QDate(2007, 3, 13), QTime(14, 5, 9));
        const QDateTime enero(QDate(2009, 1, 2), QTime(7, 8, 9));
        f(marzo13, "dd/mm/yy", "13/03/07");
        f(marzo13, "mm/dd/yy hh:nn:ss", "03/13/07 14:05:09");
        f(marzo13, "yyyy-mm-dd hh:nn:ss", "2007-03-13 14:05:09");
        f(enero, "d/m/yyyy h:n:s", "2/1/2009 7:8:9");
        f(enero, "DD/MM/YYYY", "02/01/2009");
        f(enero, "[dd] (mm)", "[02] (01)");
        f(QDateTime(QDate(2000, 12, 31), QTime(0, 0)), "yy hh:nn:ss", "00 00:00:00");
        f(QDateTime(), "dd-mm-yy", "");
    }
    void fecha() {
        QFETCH(QDateTime, valor);
        QFETCH(QString, patron);
        QFETCH(QString, texto);
        QCOMPARE(platform::formatoFecha(valor, patron), texto);
    }

    void fechaIgnoraElIdioma() {
        const auto formatea = [] {
            return platform::formatoFecha(QDate(2007, 3, 13), QStringLiteral("yyyy/mm/dd hh:nn"));
        };
        QCOMPARE(conIdiomaAleman(formatea), QStringLiteral("2007/03/13 00:00"));
    }
};

QTEST_GUILESS_MAIN(TstFormato)
#include "tst_Formato.moc"
