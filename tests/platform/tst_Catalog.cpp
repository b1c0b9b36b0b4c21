#include <QTemporaryDir>
#include <QTest>

#include "platform/Catalog.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"
#include "support/MotoresPrueba.h"

using platform::Catalog;
using platform::CatalogColumn;
using platform::CatalogTable;

// The catalogue read from SQLite's pragmas and from MariaDB's information_schema.
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
        const bool mySql = con.motor() != u"sqlite";
        con.execute(QStringLiteral("DROP VIEW IF EXISTS vCat"));
        con.execute(QStringLiteral("DROP TABLE IF EXISTS tCat"));
        con.execute(
            QStringLiteral("CREATE TABLE tCat (b int NOT NULL, a int NOT NULL, nombre varchar(30), "
                           "PRIMARY KEY (b,a))"));
        con.execute(QStringLiteral("CREATE UNIQUE INDEX ixCat ON tCat (nombre, a)"));
        con.execute(QStringLiteral("CREATE INDEX ixCat2 ON tCat (a)"));
        con.execute(QStringLiteral("CREATE VIEW vCat AS SELECT a FROM tCat"));

        Catalog catalogo(&con, mySql ? Catalog::Motor::MySql : Catalog::Motor::Sqlite);
        const CatalogTable t = catalogo.table(QStringLiteral("tCat"));
        QCOMPARE(t.type, QStringLiteral("TABLE"));
        QCOMPARE(t.columns.size(), 3);
        QCOMPARE(t.columns.at(0).name, QStringLiteral("b"));
        QCOMPARE(t.column(QStringLiteral("NOMBRE")).definedSize, 30);
        QCOMPARE(t.column(QStringLiteral("nombre")).attributes & CatalogColumn::kAdmiteNulo,
                 CatalogColumn::kAdmiteNulo);
        QCOMPARE(t.column(QStringLiteral("a")).attributes & CatalogColumn::kAdmiteNulo, 0);
        QCOMPARE(t.column(QStringLiteral("a")).type, 3);

        int claves = 0;
        for (const platform::CatalogIndex& i : t.indexes) {
            if (i.primaryKey) {
                ++claves;
                // Key order, not column order.
                QCOMPARE(i.columns, (QStringList{"b", "a"}));
            }
        }
        QCOMPARE(claves, 1);
        QVERIFY(t.index(QStringLiteral("ixCat")).unique);
        QCOMPARE(t.index(QStringLiteral("ixCat")).columns, (QStringList{"nombre", "a"}));
        QVERIFY(!t.index(QStringLiteral("ixCat2")).unique);
        QVERIFY(!t.index(QStringLiteral("ixCat2")).primaryKey);

        QCOMPARE(prueba::errorLanzado([&] { t.column(QStringLiteral("falta")); }).numero(), 3265);
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion,
                                 catalogo.table(QStringLiteral("tNoHay")));
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion,
                                 catalogo.table(QStringLiteral("t'Cat\\")));

        QString tipoVista;
        bool conTabla = false;
        for (const CatalogTable& otra : catalogo.tables()) {
            conTabla = conTabla || otra.name == u"tCat";
            if (otra.name == u"vCat") {
                tipoVista = otra.type;
            }
        }
        QVERIFY(conTabla);
        QCOMPARE(tipoVista, QStringLiteral("VIEW"));
        con.execute(QStringLiteral("DROP VIEW vCat"));
        con.execute(QStringLiteral("DROP TABLE tCat"));
    }

    // A single "integer" key is SQLite's row id and has no index of its own.
    void claveDeFilaSqlite() {
        const prueba::MotorPrueba m =
            prueba::motorPrueba(QStringLiteral("sqlite"), carpeta_.path());
        if (!prueba::disponible(m)) {
            return;
        }
        platform::Connection con;
        con.open(m.textoConexion);
        con.execute(QStringLiteral("CREATE TABLE tFila (cod integer NOT NULL, PRIMARY KEY (cod))"));
        const CatalogTable t = Catalog(&con, Catalog::Motor::Sqlite).table(QStringLiteral("TFILA"));
        QCOMPARE(t.name, QStringLiteral("tFila"));
        QCOMPARE(t.indexes.size(), 1);
        QVERIFY(t.indexes.at(0).primaryKey);
        QCOMPARE(t.indexes.at(0).columns, QStringList{"cod"});
    }
};

QTEST_MAIN(TstCatalog)
#include "tst_Catalog.moc"
