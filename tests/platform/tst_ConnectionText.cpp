#include <QTest>

#include "platform/ConnectionText.h"
#include "platform/DialectoSqlite.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"

using platform::ControladoresOdbc;
using platform::DestinoConexion;

class TstConnectionText : public QObject {
    Q_OBJECT

private:
    static ControladoresOdbc sistema() {
        ControladoresOdbc c;
        c.instalados = {QStringLiteral("FreeTDS"), QStringLiteral("MariaDB Unicode"),
                        QStringLiteral("mySQL")};
        return c;
    }

private slots:
    void traduce() {
        const std::pair<QString, QStringList> casos[] = {
            {"Password=\"a;b\"\"c\";User ID='x y'", {"Password", "a;b\"c", "User ID", "x y"}},
            {"Driver={mySQL};Pwd={p;}}w};Stmt=;", {"Driver", "mySQL", "Pwd", "p;}w", "Stmt", ""}},
            {";;basura;Server= h ;", {"Server", "h"}},
        };
        for (const auto& [texto, esperado] : casos) {
            QStringList obtenido;
            for (const auto& [k, v] : platform::paresConexion(texto)) {
                obtenido << k << v;
            }
            QCOMPARE(obtenido, esperado);
        }
        // A file database is answered by its path, the servers by their ODBC text, in the forms
        // aConexion builds (an instance and port pair, Oracle's service description). The texts
        // the test engines open with (a Jet path, a MySQL ODBC text) are every engine test's.
        const struct {
            const char *texto, *esperado, *sqlServer = nullptr, *oracle = nullptr;
        } traducciones[] = {
            {"provider = microsoft.jet.oledb.4.0 ;DATA SOURCE=\"/d/x y.mdb\"", "/d/x y.mdb"},
            {"Provider=sqloledb.1;Network Library=DBMSSOCN;Data Source=srv\\inst,1433;Initial "
             "Catalog=fob;User ID=sa;Password=x",
             "Driver={FreeTDS};Server=srv\\inst;Port=1433;Database=fob;UID=sa;PWD=x"},
            {"Provider=SQLOLEDB;Data Source=srv,1500;Initial Catalog=fob;User ID=sa;Password=p;w;"
             "Encrypt=yes",
             "Driver={FreeTDS};Server=srv;Port=1500;Database=fob;UID=sa;PWD=p;Encryption=require"},
            {"Provider=SQLNCLI11;Data Source=srv\\inst,1433;Initial Catalog=fob;User ID=sa;"
             "Password={a;b}",
             "Driver={MariaDB Unicode};Server=srv\\inst,1433;Database=fob;UID=sa;PWD={a;b}",
             "MariaDB Unicode"},
            {"Provider=MSOLEDBSQL;Server=srv;Database=fob;UID=u;PWD=",
             "Driver={FreeTDS};Server=srv;Database=fob;UID=u;PWD="},
            {"Provider=SQLOLEDB;Data Source=srv;User ID={'u};Password={\"p}",
             "Driver={FreeTDS};Server=srv;UID={'u};PWD={\"p}"},
            {"Provider=OraOLEDB.Oracle;Data Source=(DESCRIPTION=(ADDRESS_LIST=(ADDRESS=(PROTOCOL="
             "TCP)(HOST=h)(PORT=1521)))(CONNECT_DATA=(SERVER=DEDICATED)(SERVICE_NAME=s)));User "
             "Id=u;Password=p;",
             "Driver={mySQL};DBQ={(DESCRIPTION=(ADDRESS_LIST=(ADDRESS=(PROTOCOL=TCP)(HOST=h)"
             "(PORT=1521)))(CONNECT_DATA=(SERVER=DEDICATED)(SERVICE_NAME=s)))};UID=u;PWD=p",
             nullptr, "mySQL"},
            {"Provider=OraOLEDB.Oracle;Data Source=h;User Id=u;Password=p",
             "Driver={mySQL};DBQ=h;UID=u;PWD=p", nullptr, "{mySQL}"},
        };
        for (const auto& c : traducciones) {
            ControladoresOdbc controladores = sistema();
            controladores.sqlServer = QString::fromUtf8(c.sqlServer);
            controladores.oracle = QString::fromUtf8(c.oracle);
            const DestinoConexion d = platform::traduceConexion(c.texto, controladores);
            const bool esSqlite = c.esperado[0] == '/';
            QCOMPARE(d.motor == DestinoConexion::Motor::Sqlite, esSqlite);
            QCOMPARE(esSqlite ? d.ficheroSqlite : d.textoOdbc, QString(c.esperado));
        }
        // Bad input is refused with an error that names what is wrong.
        const auto rechazado = [](const QString& texto, const QString& sqlServer,
                                  const QString& nombrado) {
            ControladoresOdbc c = sistema();
            c.sqlServer = sqlServer;
            const auto e = prueba::errorLanzado([&] { platform::traduceConexion(texto, c); });
            QCOMPARE(e.numero(), platform::kErrorProveedor);
            QVERIFY2(e.descripcion().contains(nombrado), qPrintable(e.descripcion()));
        };
        rechazado("Provider=MSDAORA.1;Data Source=x", {}, "MSDAORA.1");
        rechazado("Driver={MySQL ODBC 8.0 Driver};Server=h", {}, "MySQL ODBC 8.0 Driver");
        rechazado("Provider=sqloledb.1;Data Source=h", "ODBC Driver 18", "ODBC Driver 18");
        rechazado("Provider=OraOLEDB.Oracle;Data Source=h", {}, "CORVINAL_ODBC_ORACLE");
        rechazado("Provider=Microsoft.Jet.OLEDB.4.0;", {}, "Data Source");
        rechazado({}, {}, "proveedor");
    }

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
            {"d=#1/2/03#'x', 'y'#1/2/03#", "d='2003-01-02' 'x', 'y' '2003-01-02'"},
        };
        for (const auto& [entrada, salida] : casos) {
            QCOMPARE(platform::adaptaSqlite(entrada), QString(salida));
        }
    }
};

QTEST_GUILESS_MAIN(TstConnectionText)
#include "tst_ConnectionText.moc"
