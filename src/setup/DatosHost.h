#pragma once

#include <QString>

#include "dataaccess/Motor.h"
struct RegistroArranque;

// What the set-up window holds, apart from its controls: the settings each connection type
// brings, the check of the typed data and the line it stores in corvinal.ini.
struct DatosHost {
    // List positions of the connection types (the type numbers of the record).
    enum Tipo : int {
        kNinguno = -1,
        kMsAccess = codigoDe(Motor::Fichero),
        kSqlServer = codigoDe(Motor::SqlServer),
        kMySql = codigoDe(Motor::MySql),
        kOracle = codigoDe(Motor::Oracle)
    };

    // What choosing a type does to the other boxes.
    struct AjustesTipo {
        QString puerto;
        bool puertoVisible = false;
        bool oracleVisible = false;
        QString provider;
    };
    // The settings of a list position; nothing changes for a position outside 0 ... 3.
    static AjustesTipo ajustesTipo(int tipo);
    // What a record read from corvinal.ini (password encoded) holds, as the boxes show it;
    // whatever could not be read stays empty, and a type outside 0 ... 3 chooses none.
    static DatosHost deRegistro(const RegistroArranque& registro);

    int tipo = kNinguno;
    bool servidorLocal = true;
    QString tServidorLocal;
    QString tServidorRemoto;
    QString baseDatos;
    QString login;
    QString password;
    QString password2;
    QString puerto;
    QString provider;
    QString sid;
    QString aplicacion;

    // Every failed check, each message followed by a carriage return, in the window's order,
    // then each field the record cannot carry (a "," or "|" in a field, a character outside
    // Windows-1252 in any); empty when the data can be stored.
    QString informe() const;
    // The server box in use, as typed.
    QString servidor() const;
    // The port as stored: "0" for MS Access, which uses none; the box as typed otherwise.
    QString puertoGuardado() const;
    // The line stored in corvinal.ini, password in hex form.
    QString lineaFichero() const;
};
