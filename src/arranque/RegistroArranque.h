#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "dataaccess/DatosConexion.h"
#include "dataaccess/Motor.h"

// The launch record: the one line, from the command line or corvinal.ini, that names the
// database to connect to, the file to download and what to do afterwards.
//
// "[tipo,provider,sid[,...]|]servidor,baseDatos,login,Password,puerto[,carpeta[,carpetaLocal
// [,fichero[,modo[,espera]]]]]"
struct RegistroArranque {
    // Main field positions.
    enum Campo : int {
        kServidor = 0,
        kBaseDatos,
        kLogin,
        kPassword,
        kPuerto,
        kCarpeta,
        kCarpetaLocal,
        kFichero,
        kModo,
        kEspera
    };

    // False when the record cannot be used; motivo then says why.
    bool valido = false;
    // Why the record cannot be used, in the user's words; empty when it can.
    QString motivo;
    // Connection type of the prefix, Motor::SqlServer without prefix; 0 (the file database)
    // stays 0.
    qint16 tipo = codigoDe(Motor::SqlServer);
    QString provider;
    QString sid;
    // The main section split at ",", every field as it stands.
    QStringList campos;
    // Field 4 as a number (0 ... 32767).
    qint32 puerto = 0;
    // Field 9 as seconds, when the record has ten or more fields.
    std::optional<double> espera;

    // Parses a record. It is invalid with fewer than five main fields, or when the type, the
    // port or the wait is not a number, or the type lies outside 16 bits, or the port outside
    // 0 ... 32767.
    static RegistroArranque analiza(const QString& registro);
    // The connection data of a valid record, the password as the record holds it.
    DatosConexion datosConexion() const;

    // The line the entry procedure writes: the type framed by blanks, provider, sid, "|", then
    // servidor, baseDatos, login, the stored form of the clear password, puerto and, when given,
    // the three effective download fields carpeta, carpetaLocal and fichero.
    static QString lineaArranque(qint32 tipo, const QString& provider, const QString& sid,
                                 const QString& servidor, const QString& baseDatos,
                                 const QString& login, const QString& password,
                                 const QString& puerto,
                                 const QStringList& descarga = QStringList());
    // The line the set-up window writes: bare type, provider, sid, ",|", the fields with the
    // password in hex form, and ",,," + aplicacion when aplicacion is not empty.
    static QString lineaVentanaConfiguracion(qint32 tipo, const QString& provider,
                                             const QString& sid, const QString& servidor,
                                             const QString& baseDatos, const QString& login,
                                             const QString& password, const QString& puerto,
                                             const QString& aplicacion);
    // The stored form of a clear password: the raw encoded form, or its hex form when the raw
    // one would not read back whole (it holds ",", a line break, or only hex digits).
    static QString passwordGuardada(const QString& clara);

    // The path of corvinal.ini in the launcher's folder.
    static QString rutaFichero(const QString& carpetaLanzador);
    // The record in a corvinal.ini: its lines joined without separator, Windows-1252; nothing
    // when the file is missing, cannot be read or is not text (it holds a NUL byte).
    static std::optional<QString> leeFichero(const QString& ruta);
    // Replaces the file with linea and CR LF in Windows-1252 (characters outside it become
    // "?"); the old file stays whole when the write fails. True when written.
    static bool escribeFichero(const QString& ruta, const QString& linea);
};
