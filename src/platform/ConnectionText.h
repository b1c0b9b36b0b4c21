#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <utility>

namespace platform {

// Where a connection text leads on this platform.
struct DestinoConexion {
    enum class Motor { Sqlite, Odbc };
    Motor motor = Motor::Sqlite;
    QString ficheroSqlite;  // Motor::Sqlite: the database file
    QString textoOdbc;      // Motor::Odbc: the text for SQLDriverConnect
    QString controlador;    // Motor::Odbc: the driver name the text asks for (no braces)
};

// The ODBC drivers a translation may choose from.
struct ControladoresOdbc {
    QString sqlServer;       // CORVINAL_ODBC_SQLSERVER; empty = the FreeTDS driver
    QString oracle;          // CORVINAL_ODBC_ORACLE; empty = no Oracle driver configured
    QStringList instalados;  // names the driver manager lists
};

// The key=value pairs of a connection text in order: keys trimmed, values unquoted ("..",
// '..' and {..} with their doubled closing character).
QVector<std::pair<QString, QString>> paresConexion(const QString& texto);

// Translates a connection text: "Provider=Microsoft.Jet.OLEDB.4.0" opens the SQLite file of
// "Data Source"; SQL Server providers (sqloledb, SQLOLEDB.1, SQLNCLI*, MSOLEDBSQL*) become an
// ODBC text for the SQL Server driver; "Driver=..." texts go to ODBC unchanged;
// "Provider=OraOLEDB.Oracle" becomes an ODBC text for the Oracle driver. Throws ErrorEjecucion
// (3706) naming the provider or driver when it is unknown, not configured or not installed.
DestinoConexion traduceConexion(const QString& texto, const ControladoresOdbc& controladores);

// The drivers of this system: the environment variables and the driver manager's list.
ControladoresOdbc controladoresDelSistema();

}  // namespace platform
