#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "dataaccess/DatosConexion.h"
#include "platform/Cadencia.h"

class QFrame;
class QLabel;
class QTimer;
class TrabajoDescarga;
class cCorvinal;

// The small window "Espere..." that runs the launcher's download (TrabajoDescarga) and shows
// its status, progress, remaining time and speed.
class fBajandoFichero : public QWidget {
    Q_OBJECT
public:
    // Pause after a successful download and after a failure, in seconds.
    static constexpr double kPausaExito = 1;
    static constexpr double kPausaFallo = 5;
    // The bar and its texts are redrawn at most this often (20 times a second).
    static constexpr qint64 kRefrescoMs = 50;

    explicit fBajandoFichero(QWidget* padre = nullptr);
    ~fBajandoFichero() override;

    // The file to fetch, the repository folder it lies in and the local folder it goes to.
    const QString& fichero() const { return fichero_; }
    void setFichero(const QString& valor) { fichero_ = valor; }
    const QString& carpeta() const { return carpeta_; }
    void setCarpeta(const QString& valor) { carpeta_ = valor; }
    const QString& carpetaLocal() const { return carpetaLocal_; }
    void setCarpetaLocal(const QString& valor) { carpetaLocal_ = valor; }
    // True: the window carries the run to its end and ends the program when it closes; it
    // then also shows the version.
    void setModoIndependiente(bool b);

    // Stores the connection data and starts the one-second timer that does the work; returns
    // at once.
    void bajaFichero(const DatosConexion& datos);
    // bajaFichero with the data given one by one.
    void bajaFichero(qint32 tipoConexion, const QString& servidor, const QString& baseDatos,
                     const QString& login, const QString& Password, qint32 puerto,
                     const QString& provider = QString(), const QString& sid = QString());
    // The file was fetched (and restored) successfully; never goes back to false.
    bool ficheroDescargado() const { return ficheroDescargado_; }
    // The window has closed.
    bool cerrada() const { return cerrada_; }
    // Puts m on the status line.
    void cor_mensaje(const QString& m);

    // The repository object the window's download drives.
    cCorvinal& cor();

    // The work of the timer: the download, then a pause to read its end, then closing. Runs
    // once.
    void timEmpezar_Timer();
    // Status line from the repository: red when error.
    void cor_estado(const QString& mensaje, bool error);
    // Bar, remaining time and speed from the repository's progress, redrawn at most every
    // kRefrescoMs on the clock in force but always at the end; yields to the event loop on
    // every call.
    void cor_progreso(float fraccion, qint32 restante, qint32 velocidad);
    // Restores a file that was stored compressed and deletes its ".jzp" form.
    void cor_ficheroBajado(const QString& fichero, bool comprimido);

signals:
    // The window closed (its run is over, whatever the outcome).
    void cierre();

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    void colocaControles();
    void muestraProgreso(float fraccion, qint32 restante, qint32 velocidad);
    void muestraEstado(const QString& texto, bool error);
    void espera(double segundos);

    QLabel* Label1_;
    QLabel* iLogo_;
    QLabel* eVersion_;
    QLabel* eEstado_;
    QFrame* cuadro_;
    QLabel* eProgreso_;
    QLabel* eTiempoQueda_;
    QLabel* eVelocidad_;
    QTimer* timEmpezar_;
    std::unique_ptr<TrabajoDescarga> trabajo_;

    QString fichero_;
    QString carpeta_;
    QString carpetaLocal_;
    DatosConexion datos_;
    bool modoIndependiente_ = false;
    bool ficheroDescargado_ = false;
    bool empezado_ = false;
    bool cerrada_ = false;
    int decimaEcoProgreso_ = -1;
    platform::Cadencia refresco_{kRefrescoMs};
};
