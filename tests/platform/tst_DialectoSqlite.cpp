#include <QTest>

#include "platform/DialectoSqlite.h"

class TstDialectoSqlite : public QObject {
    Q_OBJECT

private slots:
    void adapta_data() {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("salida");
        const auto f = [](const char* n, const char* entrada, const char* salida) {
            QTest::newRow(n) << QString(entrada) << QString(salida);
        };
        f("fecha", "f>=#03/13/07#", "f>='2007-03-13'");
        f("fecha y hora", "f=#12/31/99 23:05:09#", "f='1999-12-31 23:05:09'");
        f("cuatro cifras sin ceros", "f=#3/4/2031 1:02:03#", "f='2031-03-04 01:02:03'");
        f("concatenacion", "SELECT a & ' ' & b FROM t", "SELECT a || ' ' || b FROM t");
        f("dentro de textos no", "'R&D #01/02/03#', \"a&b\", [x&y] & c",
          "'R&D #01/02/03#', \"a&b\", [x&y] || c");
        f("comilla doblada", "'it''s & #01/02/03#' & x", "'it''s & #01/02/03#' || x");
        f("almohadilla que no es fecha", "'#' & n WHERE c='#' AND d=#1/2/30#",
          "'#' || n WHERE c='#' AND d='1930-01-02'");
        f("texto sin cerrar", "SELECT 'a & b", "SELECT 'a & b");
    }
    void adapta() {
        QFETCH(QString, entrada);
        QFETCH(QString, salida);
        QCOMPARE(platform::adaptaSqlite(entrada), salida);
    }
};

QTEST_GUILESS_MAIN(TstDialectoSqlite)
#include "tst_DialectoSqlite.moc"
