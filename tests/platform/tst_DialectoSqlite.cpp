#include <QTest>

#include "platform/DialectoSqlite.h"

class TstDialectoSqlite : public QObject {
    Q_OBJECT

private slots:
    void adapta_data() {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("salida");
        QTest::newRow("fecha") << QStringLiteral("SELECT * FROM t WHERE f>=#03/13/07#")
                               << QStringLiteral("SELECT * FROM t WHERE f>='2007-03-13'");
        QTest::newRow("fecha y hora") << QStringLiteral("UPDATE t SET f=#12/31/99 23:05:09#")
                                      << QStringLiteral("UPDATE t SET f='1999-12-31 23:05:09'");
        QTest::newRow("anio de cuatro cifras sin ceros")
            << QStringLiteral("f=#3/4/2031 1:02:03#") << QStringLiteral("f='2031-03-04 01:02:03'");
        QTest::newRow("concatenacion") << QStringLiteral("SELECT a & ' ' & b FROM t")
                                       << QStringLiteral("SELECT a || ' ' || b FROM t");
        QTest::newRow("dentro de textos no")
            << QStringLiteral("SELECT 'R&D #01/02/03#', \"a&b\", [x&y] & c")
            << QStringLiteral("SELECT 'R&D #01/02/03#', \"a&b\", [x&y] || c");
        QTest::newRow("comilla doblada") << QStringLiteral("SELECT 'it''s & #01/02/03#' & x")
                                         << QStringLiteral("SELECT 'it''s & #01/02/03#' || x");
        QTest::newRow("almohadilla que no es fecha")
            << QStringLiteral("SELECT '#' & n FROM t WHERE c='#' AND d=#1/2/30#")
            << QStringLiteral("SELECT '#' || n FROM t WHERE c='#' AND d='1930-01-02'");
        QTest::newRow("texto sin cerrar")
            << QStringLiteral("SELECT 'a & b") << QStringLiteral("SELECT 'a & b");
        QTest::newRow("sin cambios") << QStringLiteral("SELECT now(), iif(a is null,0,a) FROM t")
                                     << QStringLiteral("SELECT now(), iif(a is null,0,a) FROM t");
    }
    void adapta() {
        QFETCH(QString, entrada);
        QFETCH(QString, salida);
        QCOMPARE(platform::adaptaSqlite(entrada), salida);
    }
};

QTEST_GUILESS_MAIN(TstDialectoSqlite)
#include "tst_DialectoSqlite.moc"
