#pragma once

#include <QString>
#include <optional>

#include "arranque/RegistroArranque.h"

class fBajandoFichero;

// The launcher's entry procedure: it takes the launch record, stores it, starts the download
// window and, when the record asks for it, waits for the download and then restarts the
// application or installs a component.
namespace modCorvinal {

// What the entry procedure does outside the program; a test puts its own in place.
class Sistema {
public:
    virtual ~Sistema() = default;
    // Shows the set-up window modally, filled from previo (a record read from corvinal.ini,
    // password encoded) when given, writing corvinal.ini in carpetaLanzador when the user
    // accepts; true when accepted.
    virtual bool configura(const QString& carpetaLanzador,
                           const std::optional<RegistroArranque>& previo);
    // Starts the program at ruta in a normal window, without waiting; true when it started.
    virtual bool iniciaPrograma(const QString& ruta);
    // Runs the registration tool on ruta in a hidden window, without waiting; true when it
    // started.
    virtual bool registraComponente(const QString& ruta);
    // The Windows folder ("Systemroot"); empty when the system has none.
    virtual QString carpetaWindows() const;
};

// How long the procedure waits for a download it has to act on.
inline constexpr qint64 kEsperaDescargaMs = qint64{240} * 1000;
// How often that wait looks at the window: the restart follows a download by at most this.
inline constexpr int kPasoEsperaMs = 10;
// The restart notice and the seconds it stays open.
inline constexpr char kAvisoReinicio[] = "En unos segundos volverá a iniciarse la aplicación.";
inline constexpr qint16 kSegundosAviso = 3;

// Runs the start-up for the command line (the program's arguments joined by single blanks),
// with corvinal.ini in carpetaLanzador. Returns with the download window working on its own
// (records of fewer than nine fields); every other road ends the program with its status
// (salida::Codigo), after saying why when the record cannot be used.
void Main(const QString& lineaOrdenes, const QString& carpetaLanzador, Sistema& sistema);

// The download window of the current run; nullptr before one was created.
fBajandoFichero* ventanaDescarga();

}  // namespace modCorvinal
