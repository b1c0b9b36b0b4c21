#include <QTemporaryDir>
#include <QTest>

#include "platform/Catalog.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"
#include "support/MotoresPrueba.h"

using platform::Catalog;
using platform::CatalogTable;

// The keys and indexes read from SQLite's pragmas and from MariaDB's information_schema. Tables,
// views, columns, their sizes and nulls are the toolkit's schema tests' cases, read through this.
class TstCatalog : public QObject {
    Q_OBJECT

private:
    QTemporaryDir carpeta_;

private slots:
    void tabla_data() { prueba::filasMotores(); }
    void tabla() {
        platform::Connection con;
        if (!prueba::abreMotorFila(con, carpeta_.path())) {
            return;
        }
        const bool sqlite = con.motor() == u"sqlite";
        con.execute("DROP TABLE IF EXISTS tCat");
        con.execute("DROP TABLE IF EXISTS tFila");
        con.execute(
            "CREATE TABLE tCat (b int NOT NULL, a int NOT NULL, nombre varchar(30), "
            "PRIMARY KEY (b,a))");
        con.execute("CREATE UNIQUE INDEX ixCat ON tCat (nombre, a)");
        con.execute("CREATE INDEX ixCat2 ON tCat (a)");
        Catalog catalogo(&con, sqlite ? Catalog::Motor::Sqlite : Catalog::Motor::MySql);
        const CatalogTable t = catalogo.table("tCat");
        QStringList claves;
        for (const platform::CatalogIndex& i : t.indexes) {
            if (i.primaryKey) {
                claves << i.columns.join(u'+');
            }
        }
        // Key order, not column order.
        QCOMPARE(claves, QStringList{"b+a"});
        QVERIFY(t.index("ixCat").unique);
        QCOMPARE(t.index("ixCat").columns, (QStringList{"nombre", "a"}));
        QVERIFY(!t.index("ixCat2").unique);
        QVERIFY(!t.index("ixCat2").primaryKey);
        QCOMPARE(prueba::errorLanzado([&] { t.column("falta"); }).numero(), 3265);

        // A single "integer" key is SQLite's row id and has no index of its own.
        con.execute("CREATE TABLE tFila (cod integer NOT NULL, PRIMARY KEY (cod))");
        const CatalogTable fila = catalogo.table(sqlite ? "TFILA" : "tFila");
        QCOMPARE(fila.name, QStringLiteral("tFila"));
        QCOMPARE(fila.indexes.size(), 1);
        QVERIFY(fila.indexes.at(0).primaryKey);
        QCOMPARE(fila.indexes.at(0).columns, QStringList{"cod"});
    }
};

QTEST_MAIN(TstCatalog)
#include "tst_Catalog.moc"
