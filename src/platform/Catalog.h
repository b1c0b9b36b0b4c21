#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace platform {

class Connection;

// One column as the catalogue describes it, in the data-access type codes the toolkit reads.
struct CatalogColumn {
    // Attribute bits, as the data-definition library reports them.
    static constexpr qint32 kFija = 1;        // adColFixed
    static constexpr qint32 kAdmiteNulo = 2;  // adColNullable

    QString name;
    qint32 type = 0;         // 2 smallint, 3 int, 5 double, 7 date, 200 varchar, 205 long binary...
    qint32 definedSize = 0;  // characters of text, bytes of fixed types, 0 when unbounded
    quint8 precision = 0;
    quint8 numericScale = 0;
    qint32 attributes = 0;
};

// One index: its name, whether it is the primary key, whether it is unique, its columns.
struct CatalogIndex {
    QString name;
    bool primaryKey = false;
    bool unique = false;
    QStringList columns;
};

// One table with its type ("TABLE", "VIEW", "SYSTEM TABLE"), columns and indexes.
struct CatalogTable {
    QString name;
    QString type;
    QVector<CatalogColumn> columns;
    QVector<CatalogIndex> indexes;

    // The column called nombre (case-insensitive); error 3265 when there is none.
    const CatalogColumn& column(const QString& nombre) const;
    // The index called nombre (case-insensitive); error 3265 when there is none.
    const CatalogIndex& index(const QString& nombre) const;
};

// The schema of the database behind an open connection, read from the engine's own catalogue:
// SQLite's sqlite_master and pragmas (column types as the connection's own recordsets report
// them), or the information_schema views of MySQL/MariaDB and SQL Server (columns only). Every
// name goes into the catalogue queries as a quoted literal.
class Catalog {
public:
    enum class Motor { Sqlite, MySql, SqlServer };

    // A catalogue of the database that con (open) reaches, speaking the dialect of motor.
    Catalog(Connection* con, Motor motor);

    // Every table and view with its type, in name order (columns and indexes not read).
    QVector<CatalogTable> tables();
    // The table called nombre with its columns (in column order) and indexes; error 3265 when
    // the catalogue has no such table. A failing catalogue query raises the engine's error.
    CatalogTable table(const QString& nombre);

private:
    QString literal(const QString& texto) const;
    void leeSqlite(CatalogTable& tabla);
    void leeIndicesSqlite(CatalogTable& tabla);
    void leeInformationSchema(CatalogTable& tabla);
    void leeIndicesMySql(CatalogTable& tabla);
    QString filtroEsquema() const;

    Connection* con_;
    Motor motor_;
};

}  // namespace platform
