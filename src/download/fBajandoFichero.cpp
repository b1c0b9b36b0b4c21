#include "download/fBajandoFichero.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QStyle>
#include <QTimer>

#include "arranque/Salida.h"
#include "comun/modTolvane1.h"
#include "download/Eco.h"
#include "download/TextosDescarga.h"
#include "download/TrabajoDescarga.h"
#include "platform/Espera.h"
#include "platform/Producto.h"
#include "platform/Twips.h"
#include "repository/cCorvinal.h"

using platform::aPixeles;

namespace {

const QString kVentana = QStringLiteral("fBajandoFichero");

// Measures of the window and its controls, in twips.
constexpr int kAncho = 5700;
constexpr int kAlto = 2700;
constexpr int kMargen = 120;
constexpr int kLadoLogo = 720;
constexpr int kIzquierda = kMargen + kLadoLogo + 180;
constexpr int kAnchoTexto = kAncho - kIzquierda - kMargen;
constexpr int kAltoLinea = 285;

// The version as the window shows it: "v" + major + "." + minor + "." + revision.
QString textoVersion() {
    return platform::tituloProducto().mid(platform::nombreProducto().size()).trimmed();
}

}  // namespace

fBajandoFichero::fBajandoFichero(QWidget* padre)
    : QWidget(padre),
      Label1_(new QLabel(QStringLiteral("Software de Actualización remota."), this)),
      iLogo_(new QLabel(this)),
      eVersion_(new QLabel(this)),
      eEstado_(new QLabel(this)),
      cuadro_(new QFrame(this)),
      eProgreso_(new QLabel(cuadro_)),
      eTiempoQueda_(new QLabel(this)),
      eVelocidad_(new QLabel(this)),
      timEmpezar_(new QTimer(this)),
      trabajo_(std::make_unique<TrabajoDescarga>()) {
    setObjectName(kVentana);
    setWindowTitle(QStringLiteral("Espere..."));
    Label1_->setObjectName(QStringLiteral("Label1"));
    iLogo_->setObjectName(QStringLiteral("iLogo"));
    eVersion_->setObjectName(QStringLiteral("eVersion"));
    eEstado_->setObjectName(QStringLiteral("eEstado"));
    cuadro_->setObjectName(QStringLiteral("cuadro"));
    eProgreso_->setObjectName(QStringLiteral("eProgreso"));
    eTiempoQueda_->setObjectName(QStringLiteral("eTiempoQueda"));
    eVelocidad_->setObjectName(QStringLiteral("eVelocidad"));
    timEmpezar_->setObjectName(QStringLiteral("timEmpezar"));
    timEmpezar_->setInterval(1000);

    eVersion_->setText(textoVersion());
    eVersion_->setVisible(false);
    colocaControles();

    connect(timEmpezar_, &QTimer::timeout, this, &fBajandoFichero::timEmpezar_Timer);
    connect(trabajo_.get(), &TrabajoDescarga::estado, this, &fBajandoFichero::cor_estado);
    connect(&cor(), &cCorvinal::progreso, this, &fBajandoFichero::cor_progreso);
}

fBajandoFichero::~fBajandoFichero() = default;

void fBajandoFichero::colocaControles() {
    setFixedSize(aPixeles(kAncho), aPixeles(kAlto));
    int arriba = kMargen;
    Label1_->setGeometry(aPixeles(kIzquierda), aPixeles(arriba), aPixeles(kAnchoTexto),
                         aPixeles(kAltoLinea));
    iLogo_->setGeometry(aPixeles(kMargen), aPixeles(kMargen), aPixeles(kLadoLogo),
                        aPixeles(kLadoLogo));
    iLogo_->setPixmap(
        QApplication::style()->standardIcon(QStyle::SP_ArrowDown).pixmap(aPixeles(kLadoLogo)));
    arriba += kAltoLinea;
    eVersion_->setGeometry(aPixeles(kIzquierda), aPixeles(arriba), aPixeles(kAnchoTexto),
                           aPixeles(kAltoLinea));
    arriba += kAltoLinea + 60;
    eEstado_->setGeometry(aPixeles(kIzquierda), aPixeles(arriba), aPixeles(kAnchoTexto),
                          aPixeles(3 * kAltoLinea));
    eEstado_->setWordWrap(true);
    eEstado_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    arriba += 3 * kAltoLinea + 60;
    cuadro_->setGeometry(aPixeles(kMargen), aPixeles(arriba), aPixeles(kAncho - 2 * kMargen),
                         aPixeles(kAltoLinea));
    cuadro_->setFrameShape(QFrame::Box);
    eProgreso_->setGeometry(0, 0, 0, cuadro_->height());
    eProgreso_->setAutoFillBackground(true);
    QPalette barra = eProgreso_->palette();
    barra.setColor(QPalette::Window, QColor(0, 0, 128));
    eProgreso_->setPalette(barra);
    arriba += kAltoLinea + 60;
    const int mitad = (kAncho - 2 * kMargen) / 2;
    eTiempoQueda_->setGeometry(aPixeles(kMargen), aPixeles(arriba), aPixeles(mitad),
                               aPixeles(kAltoLinea));
    eVelocidad_->setGeometry(aPixeles(kMargen + mitad), aPixeles(arriba), aPixeles(mitad),
                             aPixeles(kAltoLinea));
    eVelocidad_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void fBajandoFichero::setModoIndependiente(bool b) {
    modoIndependiente_ = b;
    if (b) {
        eVersion_->setText(textoVersion());
        eVersion_->setVisible(true);
    }
}

void fBajandoFichero::bajaFichero(const DatosConexion& datos) {
    datos_ = datos;
    timEmpezar_->start();
}

void fBajandoFichero::bajaFichero(qint32 tipoConexion, const QString& servidor,
                                  const QString& baseDatos, const QString& login,
                                  const QString& Password, qint32 puerto, const QString& provider,
                                  const QString& sid) {
    bajaFichero(
        DatosConexion{tipoConexion, servidor, baseDatos, login, Password, puerto, provider, sid});
}

cCorvinal& fBajandoFichero::cor() {
    return trabajo_->cor();
}

void fBajandoFichero::cor_mensaje(const QString& m) {
    eEstado_->setText(m);
    Eco::escribe(kVentana, eEstado_->objectName(), m);
}

void fBajandoFichero::muestraEstado(const QString& texto, bool error) {
    QPalette paleta = eEstado_->palette();
    paleta.setColor(QPalette::WindowText, error ? QColor(255, 0, 0) : QColor(0, 0, 0));
    eEstado_->setPalette(paleta);
    eEstado_->setText(texto);
    Eco::escribe(kVentana, eEstado_->objectName() + (error ? QStringLiteral(" (rojo)") : QString()),
                 texto);
}

void fBajandoFichero::espera(double segundos) {
    platform::esperaSegundos(segundos);
}

void fBajandoFichero::timEmpezar_Timer() {
    // A tick that falls inside the sequence's own waits must not start it again.
    if (empezado_) {
        return;
    }
    empezado_ = true;
    timEmpezar_->stop();
    trabajo_->setDatos(datos_);
    trabajo_->setFichero(fichero_);
    trabajo_->setCarpeta(carpeta_);
    trabajo_->setCarpetaLocal(carpetaLocal_);
    const TrabajoDescarga::Resultado resultado = trabajo_->ejecuta();
    // A window the user closed before the download began ends the run: nothing is fetched
    // behind it, and nothing is started after it.
    if (resultado == TrabajoDescarga::Resultado::kAbandonado) {
        return;
    }
    ficheroDescargado_ = resultado == TrabajoDescarga::Resultado::kHecho;
    espera(ficheroDescargado_ ? kPausaExito : kPausaFallo);
    close();
}

void fBajandoFichero::cor_estado(const QString& mensaje, bool error) {
    muestraEstado(mensaje, error);
}

void fBajandoFichero::cor_progreso(float fraccion, qint32 restante, qint32 velocidad) {
    // Every block reports, thousands a second; drawing each would cost more than reading it.
    // The end is always drawn.
    if (fraccion >= 1 || refresco_.toca()) {
        muestraProgreso(fraccion, restante, velocidad);
    }
    // The user may close the window here, during a download.
    platform::cede();
}

void fBajandoFichero::muestraProgreso(float fraccion, qint32 restante, qint32 velocidad) {
    const int ancho = cuadro_->width();
    eProgreso_->resize(fraccion < 1 ? static_cast<int>(ancho * fraccion) : ancho,
                       eProgreso_->height());
    eTiempoQueda_->setText(TextosDescarga::textoTiempoQueda(restante));
    eVelocidad_->setText(
        TextosDescarga::textoVelocidad(velocidad, QLocale().decimalPoint().front()));
    const int decima = static_cast<int>(fraccion * 10);
    if (decima != decimaEcoProgreso_) {
        decimaEcoProgreso_ = decima;
        Eco::escribe(kVentana, QStringLiteral("progreso"),
                     QStringLiteral("%1% ").arg(qMin(decima * 10, 100)) + eTiempoQueda_->text() +
                         QStringLiteral(" ") + eVelocidad_->text());
    }
}

void fBajandoFichero::cor_ficheroBajado(const QString& fichero, bool comprimido) {
    trabajo_->restaura(fichero, comprimido);
}

void fBajandoFichero::closeEvent(QCloseEvent* evento) {
    if (cor().descargando()) {
        if (!modTolvane1::pregunta(
                QStringLiteral("Existe una descarga en curso. ¿Desea cancelarla?"))) {
            evento->ignore();
            return;
        }
        // The user asked for the download to stop: it must not go on behind a closed window.
        cor().cancelar();
    }
    if (modoIndependiente_) {
        salida::termina(ficheroDescargado_ ? salida::kHecho : salida::kFallo);
    }
    timEmpezar_->stop();
    evento->accept();
    if (!cerrada_) {
        cerrada_ = true;
        trabajo_->abandona();
        emit cierre();
    }
}
