#pragma once

#include <QString>
#include <optional>

#include "arranque/RegistroArranque.h"
#include "dataaccess/DatosConexion.h"

namespace modCorvinal {

// What the entry procedure is to do with the record it was given: the download window's
// settings, the arguments of its bajaFichero, the line to store and the step after the download.
struct PlanArranque {
    // Neither a command line nor corvinal.ini: the set-up window must supply the record.
    bool necesitaVentanaConfiguracion = false;
    // A record was found and can be used; when false nothing is written or started.
    bool valido = false;
    // Why the record cannot be used; empty when it can or when the set-up window is needed.
    QString motivo;
    // The record as parsed.
    RegistroArranque registro;

    // Download window settings.
    QString carpeta;
    QString carpetaLocal;
    QString fichero;
    bool modoIndependiente = true;

    // The database to download from, password in clear.
    DatosConexion conexion;

    // The line to store in corvinal.ini (without the line end).
    QString lineaFichero;

    // Field 8, when the record has nine or more fields: "E", "I" or anything else.
    std::optional<QString> modo;
    // Field 9 in seconds, when the record has ten or more fields.
    std::optional<double> espera;
    // Fields 6 and 7 exactly as they stand in the record (empty when absent), for the restart
    // or the registration after the download.
    QString carpetaLocalRegistro;
    QString ficheroRegistro;
};

// The file downloaded when the record names none.
inline constexpr char kFicheroPorDefecto[] = "fob7.exe";

// Plans a start from the command line text and the content of corvinal.ini (nothing when the
// file does not exist). The command line is the record when it is not blank; otherwise the
// file is, and the password is decoded whenever it came from the file.
PlanArranque planificaArranque(const QString& lineaOrdenes,
                               const std::optional<QString>& contenidoFichero,
                               const QString& carpetaLanzador);

}  // namespace modCorvinal
