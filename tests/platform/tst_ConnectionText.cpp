#include <QTest>

#include "platform/ConnectionText.h"
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
    void pares_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QStringList>("esperado");  // key, value, key, value...
        QTest::newRow("jet con espacio")
            << QStringLiteral(
                   "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=/a/b.mdb;Persist Security "
                   "Info=False")
            << QStringList{"Provider", "Microsoft.Jet.OLEDB.4.0", "Data Source",
                           "/a/b.mdb", "Persist Security Info",   "False"};
        QTest::newRow("comillas") << QStringLiteral("Password=\"a;b\"\"c\";User ID='x y'")
                                  << QStringList{"Password", "a;b\"c", "User ID", "x y"};
        QTest::newRow("llaves") << QStringLiteral("Driver={mySQL};Pwd={p;}}w};Stmt=;")
                                << QStringList{"Driver", "mySQL", "Pwd", "p;}w", "Stmt", ""};
        QTest::newRow("trozos sin igual")
            << QStringLiteral(";;basura;Server= h ;") << QStringList{"Server", "h"};
    }
    void pares() {
        QFETCH(QString, texto);
        QFETCH(QStringList, esperado);
        QStringList obtenido;
        for (const auto& [k, v] : platform::paresConexion(texto)) {
            obtenido << k << v;
        }
        QCOMPARE(obtenido, esperado);
    }

    void traduce_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("sqlServer");
        QTest::addColumn<QString>("oracle");
        QTest::addColumn<bool>("esSqlite");
        QTest::addColumn<QString>("esperado");
        // A file database is answered by its path, the servers by their ODBC text.
        const auto f = [](const char* fila, const char* texto, const char* esperado,
                          const char* sqlServer = nullptr, const char* oracle = nullptr) {
            QTest::newRow(fila) << QString::fromUtf8(texto) << QString::fromUtf8(sqlServer)
                                << QString::fromUtf8(oracle) << (esperado[0] == '/')
                                << QString::fromUtf8(esperado);
        };
        f("jet",
          "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=/datos/app.mdb;Persist Security "
          "Info=False",
          "/datos/app.mdb");
        f("jet minusculas y comillas",
          "provider = microsoft.jet.oledb.4.0 ;DATA SOURCE=\"/d/x y.mdb\"", "/d/x y.mdb");
        f("sqloledb remoto",
          "Provider=sqloledb.1;Network Library=DBMSSOCN;Data Source=srv,1433;Initial Catalog=fob;"
          "User ID=sa;Password=x",
          "Driver={FreeTDS};Server=srv;Port=1433;Database=fob;UID=sa;PWD=x");
        f("sqloledb cifrado",
          "Provider=SQLOLEDB;Data Source=srv,1500;Initial Catalog=fob;User ID=sa;Password=p;w;"
          "Encrypt=yes",
          "Driver={FreeTDS};Server=srv;Port=1500;Database=fob;UID=sa;PWD=p;Encryption=require");
        f("sqlncli con otro controlador",
          "Provider=SQLNCLI11;Data Source=srv\\inst,1433;Initial Catalog=fob;User ID=sa;"
          "Password={a;b}",
          "Driver={MariaDB Unicode};Server=srv\\inst,1433;Database=fob;UID=sa;PWD={a;b}",
          "MariaDB Unicode");
        f("msoledbsql sin puerto", "Provider=MSOLEDBSQL;Server=srv;Database=fob;UID=u;PWD=",
          "Driver={FreeTDS};Server=srv;Database=fob;UID=u;PWD=");
        const char* const odbc =
            "Driver={mySQL};Server=h;Port=3306;Option=149512;Stmt=;Database=d;Uid=u;Pwd=p;Option=3";
        f("odbc tal cual", odbc, odbc);
        f("oracle con servicio",
          "Provider=OraOLEDB.Oracle;Data Source=(DESCRIPTION=(ADDRESS_LIST=(ADDRESS=(PROTOCOL=TCP)"
          "(HOST=h)(PORT=1521)))(CONNECT_DATA=(SERVER=DEDICATED)(SERVICE_NAME=s)));User Id=u;"
          "Password=p;",
          "Driver={mySQL};DBQ={(DESCRIPTION=(ADDRESS_LIST=(ADDRESS=(PROTOCOL=TCP)(HOST=h)"
          "(PORT=1521)))(CONNECT_DATA=(SERVER=DEDICATED)(SERVICE_NAME=s)))};UID=u;PWD=p",
          nullptr, "mySQL");
        f("oracle sin servicio", "Provider=OraOLEDB.Oracle;Data Source=h;User Id=u;Password=p",
          "Driver={mySQL};DBQ=h;UID=u;PWD=p", nullptr, "{mySQL}");
    }
    void traduce() {
        QFETCH(QString, texto);
        QFETCH(QString, sqlServer);
        QFETCH(QString, oracle);
        QFETCH(bool, esSqlite);
        QFETCH(QString, esperado);
        ControladoresOdbc c = sistema();
        c.sqlServer = sqlServer;
        c.oracle = oracle;
        const DestinoConexion d = platform::traduceConexion(texto, c);
        QCOMPARE(d.motor == DestinoConexion::Motor::Sqlite, esSqlite);
        QCOMPARE(esSqlite ? d.ficheroSqlite : d.textoOdbc, esperado);
    }

    // Bad input is refused with an error that names what is wrong.
    void rechaza() {
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
};

QTEST_GUILESS_MAIN(TstConnectionText)
#include "tst_ConnectionText.moc"
