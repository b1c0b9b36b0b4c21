#pragma once

#include <QString>

#include "dataaccess/Motor.h"

class aConexion;

// Where a database is and who logs into it, as a launch record, the central directory or the
// publishing tool names it: one value from where it is read to the connection that uses it.
struct DatosConexion {
    // Engine code as records store it; a code no engine has stays as given, for its message.
    qint32 tipoConexion = codigoDe(Motor::SqlServer);
    // Host of the server; for the file database, the folder of the database file.
    QString servidor;
    QString baseDatos;
    QString login;
    // In clear.
    QString password;
    qint32 puerto = 0;
    QString provider;
    QString sid;

    // What the connection text takes besides the data.
    struct Forma {
        // SQL Server over the TCP/IP network library.
        bool red = false;
        // SQL Server with an encrypted link.
        bool encriptada = false;
        // ODBC driver name for MySQL; empty means "mySQL".
        QString driverMySql;
        // Folder of a file database, ending in a separator.
        QString carpetaFichero;
    };

    // The engine of tipoConexion.
    Motor motor() const { return motorDe(tipoConexion); }
    // The connection text of these data as they stand (no default port; the SQL Server
    // provider defaults to "sqloledb.1"); empty for an unknown engine.
    QString textoConexion(const Forma& forma) const;
    // Gives conexion these settings, the file database's folder taken from servidor; an empty
    // provider leaves the one the engine brings.
    void aplicaA(aConexion& conexion) const;
};
