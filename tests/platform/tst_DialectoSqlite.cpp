#include <QTest>

#include "platform/DialectoSqlite.h"

class TstDialectoSqlite : public QObject {
    Q_OBJECT

private slots:
    void adapta() {
        const std::pair<const char*, const char*> casos[] = {
            {"f>=#03/13/07#", "f>='2007-03-13'"},
            {"f=#12/31/99 23:05:09#", "f='1999-12-31 23:05:09'"},
            {"f=#3/4/2031 1:02:03#", "f='2031-03-04 01:02:03'"},
            {"SELECT a & ' ' & b FROM t", "SELECT a || ' ' || b FROM t"},
            {"'R&D #01/02/03#', \"a&b\", [x&y] & c", "'R&D #01/02/03#', \"a&b\", [x&y] || c"},
            {"'it''s & #01/02/03#' & x", "'it''s & #01/02/03#' || x"},
            {"'#' & n WHERE c='#' AND d=#1/2/30#", "'#' || n WHERE c='#' AND d='1930-01-02'"},
            {"SELECT 'a & b", "SELECT 'a & b"},
        };
        for (const auto& [entrada, salida] : casos) {
            QCOMPARE(platform::adaptaSqlite(entrada), QString(salida));
        }
    }
};

QTEST_GUILESS_MAIN(TstDialectoSqlite)
#include "tst_DialectoSqlite.moc"
