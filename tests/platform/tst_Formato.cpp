#include <QtTest>
#include <limits>

#include "platform/ErrorEjecucion.h"
#include "platform/Formato.h"

class TstFormato : public QObject {
    Q_OBJECT
private slots:
    void numero_data() {
        QTest::addColumn<double>("valor");
        QTest::addColumn<QString>("patron");
        QTest::addColumn<QString>("texto");
        QTest::newRow("###### de 0 no escribe nada") << 0.0 << "######"
                                                     << "";
        QTest::newRow("###### de 1234") << 1234.0 << "######"
                                        << "1234";
        QTest::newRow("###### redondea") << 12.5 << "######"
                                         << "13";
        QTest::newRow("###### no redondea abajo a par") << 2.5 << "######"
                                                        << "3";
        QTest::newRow("###### de 0.4") << 0.4 << "######"
                                       << "";
        QTest::newRow("###### desborda") << 12345678.0 << "######"
                                         << "12345678";
        QTest::newRow("####### de 7") << 7.0 << "#######"
                                      << "7";
        QTest::newRow("##0.00 de 0") << 0.0 << "##0.00"
                                     << "0.00";
        QTest::newRow("##0.00 de 12.345") << 12.345 << "##0.00"
                                          << "12.35";
        QTest::newRow("##0.00 de 1.005") << 1.005 << "##0.00"
                                         << "1.01";
        QTest::newRow("##0.00 de 0.994") << 0.994 << "##0.00"
                                         << "0.99";
        QTest::newRow("##0.00 de 0.995") << 0.995 << "##0.00"
                                         << "1.00";
        QTest::newRow("##0.00 de 99999.999") << 99999.999 << "##0.00"
                                             << "100000.00";
        QTest::newRow("##0.00 de 0.001") << 0.001 << "##0.00"
                                         << "0.00";
        QTest::newRow("##0.00 negativo") << -3.5 << "##0.00"
                                         << "-3.50";
        QTest::newRow("##0.00 negativo a cero") << -0.001 << "##0.00"
                                                << "0.00";
        QTest::newRow("0000 de 417.3") << 417.3 << "0000"
                                       << "0417";
        QTest::newRow("0000 de 0") << 0.0 << "0000"
                                   << "0000";
        QTest::newRow("0000 de 999.6") << 999.6 << "0000"
                                       << "1000";
        QTest::newRow("0000 de 999.4") << 999.4 << "0000"
                                       << "0999";
        QTest::newRow("0000 de 0.5") << 0.5 << "0000"
                                     << "0001";
        QTest::newRow("#.## de 5") << 5.0 << "#.##"
                                   << "5.";
        QTest::newRow("#.## de 0.5") << 0.5 << "#.##"
                                     << ".5";
        QTest::newRow("0.0# de 2.1") << 2.1 << "0.0#"
                                     << "2.1";
        QTest::newRow("0.0# de 2.126") << 2.126 << "0.0#"
                                       << "2.13";
        QTest::newRow("0.0# de 2") << 2.0 << "0.0#"
                                   << "2.0";
        QTest::newRow("diminuto") << 1e-300 << "0.00"
                                  << "0.00";
        QTest::newRow("enorme") << 1e20 << "#"
                                << "100000000000000000000";
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "0"
                             << "NaN";
    }
    void numero() {
        QFETCH(double, valor);
        QFETCH(QString, patron);
        QFETCH(QString, texto);
        QCOMPARE(platform::formatoNumero(valor, patron), texto);
    }

    void numeroConOtroSeparador() {
        QCOMPARE(platform::formatoNumero(3.14159, QStringLiteral("##0.00"), u','),
                 QStringLiteral("3,14"));
    }

    void numeroIgnoraElIdioma() {
        const QLocale antes;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString texto = platform::formatoNumero(1234.5, QStringLiteral("##0.00"));
        QLocale::setDefault(antes);
        QCOMPARE(texto, QStringLiteral("1234.50"));
    }

    void patronNoValido_data() {
        QTest::addColumn<QString>("patron");
        QTest::newRow("dos puntos") << "0.0.0";
        QTest::newRow("letra") << "##x";
        QTest::newRow("miles") << "#,##0";
    }
    void patronNoValido() {
        QFETCH(QString, patron);
        try {
            platform::formatoNumero(1.0, patron);
            QFAIL("no error");
        } catch (const platform::ErrorEjecucion& e) {
            QCOMPARE(e.numero(), 5);
        }
    }

    void fecha_data() {
        QTest::addColumn<QDateTime>("valor");
        QTest::addColumn<QString>("patron");
        QTest::addColumn<QString>("texto");
        const QDateTime marzo3(QDate(2007, 3, 3), QTime(0, 0));
        const QDateTime marzo13(QDate(2007, 3, 13), QTime(14, 5, 9));
        const QDateTime enero(QDate(2009, 1, 2), QTime(7, 8, 9));
        QTest::newRow("mm/dd/yy") << marzo3 << "mm/dd/yy"
                                  << "03/03/07";
        QTest::newRow("dd/mm/yy") << marzo13 << "dd/mm/yy"
                                  << "13/03/07";
        QTest::newRow("mm/dd/yy us") << marzo13 << "mm/dd/yy"
                                     << "03/13/07";
        QTest::newRow("yyyy-mm-dd") << marzo13 << "yyyy-mm-dd"
                                    << "2007-03-13";
        QTest::newRow("yyyy/mm/dd") << marzo13 << "yyyy/mm/dd"
                                    << "2007/03/13";
        QTest::newRow("mm/dd/yy hh:nn:ss") << marzo13 << "mm/dd/yy hh:nn:ss"
                                           << "03/13/07 14:05:09";
        QTest::newRow("yyyy-mm-dd hh:nn:ss") << marzo13 << "yyyy-mm-dd hh:nn:ss"
                                             << "2007-03-13 14:05:09";
        QTest::newRow("dd-mm-yy") << enero << "dd-mm-yy"
                                  << "02-01-09";
        QTest::newRow("sin ceros") << enero << "d/m/yyyy h:n:s"
                                   << "2/1/2009 7:8:9";
        QTest::newRow("mayusculas") << enero << "DD/MM/YYYY"
                                    << "02/01/2009";
        QTest::newRow("literales") << enero << "[dd] (mm)"
                                   << "[02] (01)";
        QTest::newRow("medianoche") << QDateTime(QDate(2000, 12, 31), QTime(0, 0)) << "yy hh:nn:ss"
                                    << "00 00:00:00";
        QTest::newRow("no valida") << QDateTime() << "dd/mm/yy"
                                   << "";
    }
    void fecha() {
        QFETCH(QDateTime, valor);
        QFETCH(QString, patron);
        QFETCH(QString, texto);
        QCOMPARE(platform::formatoFecha(valor, patron), texto);
    }

    void fechaIgnoraElIdioma() {
        const QLocale antes;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString texto =
            platform::formatoFecha(QDate(2007, 3, 13), QStringLiteral("yyyy/mm/dd hh:nn"));
        QLocale::setDefault(antes);
        QCOMPARE(texto, QStringLiteral("2007/03/13 00:00"));
    }
};

QTEST_GUILESS_MAIN(TstFormato)
#include "tst_Formato.moc"
