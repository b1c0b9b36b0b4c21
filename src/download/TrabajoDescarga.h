#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "dataaccess/DatosConexion.h"

class aConexion;
class cCorvinal;

// The launcher's download without its window: connects to the database, downloads one file of
// its repository into a local folder and restores it when it was stored compressed, telling
// through estado what a window shows on its status line.
class TrabajoDescarga : public QObject {
    Q_OBJECT
public:
    // How a run ended.
    enum class Resultado {
        // The file is in its local folder, restored when it was stored compressed.
        kHecho,
        // Something failed; estado said what, in red.
        kFallo,
        // abandona() came before the download began: nothing was fetched.
        kAbandonado,
    };

    explicit TrabajoDescarga(QObject* padre = nullptr);
    ~TrabajoDescarga() override;

    // The database, the file, the repository folder it lies in and the local folder it goes to.
    void setDatos(const DatosConexion& datos) { datos_ = datos; }
    void setFichero(const QString& valor) { fichero_ = valor; }
    void setCarpeta(const QString& valor) { carpeta_ = valor; }
    void setCarpetaLocal(const QString& valor) { carpetaLocal_ = valor; }

    // The repository object the work drives: its progreso and its cancelar() are the window's.
    cCorvinal& cor() { return *cor_; }
    // The run stops at its next step before the download begins; one under way goes on.
    void abandona() { abandonado_ = true; }

    // Says whom it connects to, waits a second for it to be read, connects, downloads and
    // restores. Runs the event loop while it waits.
    Resultado ejecuta();
    // Restores fichero from the compressed form a download left beside it when comprimido;
    // a failure is said through estado (and, for a program in use, in a message), marks the
    // run failed and leaves the old file and the compressed form as they were.
    void restaura(const QString& fichero, bool comprimido);

signals:
    // A status line; error marks a failure.
    void estado(const QString& texto, bool error);

private:
    bool conecta();
    Resultado descarga();
    // What the run came to, as the trace says it.
    QString resultadoTraza(Resultado r) const;

    // Set by the repository's events of the current download.
    bool alDia_ = false;
    bool firmaRechazada_ = false;
    QString ultimoError_;

    std::unique_ptr<cCorvinal> cor_;
    std::unique_ptr<aConexion> conexion_;
    DatosConexion datos_;
    QString fichero_;
    QString carpeta_;
    QString carpetaLocal_;
    bool abandonado_ = false;
    bool restauracionFallida_ = false;
};
