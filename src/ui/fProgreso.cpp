#include "ui/fProgreso.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <cmath>
#include <limits>

#include "platform/Espera.h"
#include "platform/Reloj.h"
#include "platform/Twips.h"
#include "ui/ArrastrePorTitulo.h"

using platform::aPixeles;

namespace {

// Measures, in twips.
constexpr int kMargen = 120;
constexpr int kAltoLinea = 300;
constexpr int kAnchoBoton = 1095;
constexpr int kAltoBoton = 345;
constexpr int kHolguraBarra = 30;
constexpr int kSeparacionPantallaX = 200;
constexpr int kSeparacionPantallaY = 1200;
constexpr int kSeparacionPadreX = 1200;
constexpr int kSeparacionPadreY = 500;
constexpr int kMostrarSegundosDesde = 6;

QLabel* etiqueta(QWidget* padre, const char* nombre, const QString& texto = QString()) {
    auto* label = new QLabel(texto, padre);
    label->setObjectName(QString::fromLatin1(nombre));
    return label;
}

QFrame* rectangulo(QWidget* padre, const char* nombre) {
    auto* marco = new QFrame(padre);
    marco->setObjectName(QString::fromLatin1(nombre));
    marco->setFrameShape(QFrame::Box);
    marco->setAttribute(Qt::WA_TransparentForMouseEvents);
    return marco;
}

void pinta(QLabel* label, const QColor& color) {
    QPalette paleta = label->palette();
    paleta.setColor(QPalette::Window, color);
    label->setPalette(paleta);
    label->setAutoFillBackground(true);
}

}  // namespace

fProgreso::fProgreso(QWidget* padre)
    : QWidget(padre, Qt::Window | Qt::FramelessWindowHint),
      eCaption_(etiqueta(this, "eCaption")),
      eBarraFondo_(etiqueta(this, "eBarraFondo")),
      eBarra_(etiqueta(this, "eBarra")),
      eProgreso_(etiqueta(this, "eProgreso", QStringLiteral("Progreso"))),
      eTiempoRestante_(etiqueta(this, "eTiempoRestante", QStringLiteral("Tiempo Restante"))),
      bCancelar_(new QPushButton(QStringLiteral("Cancelar"), this)),
      borde_(rectangulo(this, "borde")),
      shape1_(rectangulo(this, "Shape1")) {
    setObjectName(QStringLiteral("fProgreso"));
    setWindowTitle(QStringLiteral("Progreso"));
    bCancelar_->setObjectName(QStringLiteral("bCancelar"));
    eCaption_->setAutoFillBackground(true);
    eCaption_->setBackgroundRole(QPalette::Highlight);
    eCaption_->setForegroundRole(QPalette::HighlightedText);
    pinta(eBarraFondo_, Qt::white);
    pinta(eBarra_, QColor(0, 0, 160));
    new ui::ArrastrePorTitulo(eCaption_, this);
    connect(bCancelar_, &QPushButton::clicked, this, &fProgreso::cancela);
    resize(aPixeles(kAncho), aPixeles(kAlto));
    colocaControles();
}

void fProgreso::presentaBarra(QWidget* fPadre) {
    cancelado_ = false;
    terminado_ = false;
    padre_ = fPadre;
    coloca(fPadre);
}

void fProgreso::activaBarra(const QString& titulo, qint32 maximo, QWidget* fPadre, qint32 wh) {
    presentaBarra(fPadre);
    if (wh > 0) {
        // Only a window of this program can hold another: look it up by its handle.
        for (QWidget* ventana : QApplication::topLevelWidgets()) {
            if (ventana != this && ventana->internalWinId() == WId(wh)) {
                coloca(ventana);
                break;
            }
        }
    }
    iniciaContador(titulo, maximo);
}

void fProgreso::iniciaContador(const QString& titulo, qint32 maximo) {
    show();
    maximo_ = maximo;
    contador_ = 0;
    ancho_ = 0;
    eCaption_->setText(titulo + QLatin1Char(' '));
    const float fondo = float(platform::aTwips(eBarraFondo_->width()) - kHolguraBarra);
    paso_ = maximo > 0 ? fondo / float(maximo) : 0;
    dibujaBarra();
    inicioMs_ = platform::reloj().monotonoMs();
}

void fProgreso::incrementaBarra(const QVariant& texto, float incremento) {
    if (!texto.isNull()) {
        eProgreso_->setText(texto.toString());
    }
    ++contador_;
    ancho_ = paso_ * incremento + ancho_;
    dibujaBarra();
    const qint64 transcurridos = (platform::reloj().monotonoMs() - inicioMs_) / 1000;
    const qint32 segundos =
        segundosRestantes(qint32(qMin<qint64>(transcurridos, std::numeric_limits<qint32>::max())),
                          ancho_, paso_, maximo_);
    eTiempoRestante_->setText(textoTiempoRestante(segundos));
    if (maximo_ <= contador_) {
        terminado_ = true;
    }
    platform::cede();
}

void fProgreso::descarga() {
    cancelado_ = true;
    close();
}

qint32 fProgreso::segundosRestantes(qint32 transcurridos, float ancho, float paso, qint32 maximo) {
    if (paso == 0 || maximo == 0 || ancho == 0) {
        return transcurridos;
    }
    const double hecho = double(ancho) / double(paso) / double(maximo) * 100.0;
    const double restantes = double(transcurridos) * 100.0 / hecho - double(transcurridos);
    if (!std::isfinite(restantes)) {
        return 0;
    }
    const double limite = std::numeric_limits<qint32>::max();
    return qint32(std::lround(qBound(-limite, restantes, limite)));
}

QString fProgreso::textoTiempoRestante(qint32 segundos) {
    qint32 horas = 0;
    qint32 minutos = 0;
    if (segundos >= 3600) {
        horas = segundos / 3600;
        segundos -= horas * 3600;
    }
    if (segundos >= 60) {
        minutos = segundos / 60;
        segundos -= minutos * 60;
    }
    if (horas >= 1) {
        return QStringLiteral("Resta: %1 h. %2m.").arg(horas).arg(minutos);
    }
    if (minutos >= 1) {
        return QStringLiteral("Resta: %1 min. ").arg(minutos);
    }
    if (segundos >= kMostrarSegundosDesde) {
        return QStringLiteral("Resta: %1 s.").arg(segundos);
    }
    return QString();
}

void fProgreso::closeEvent(QCloseEvent* evento) {
    // A run in progress is ended by cancelling it, never by closing its window.
    if (!cancelado_ && !terminado_) {
        evento->ignore();
        return;
    }
    QWidget::closeEvent(evento);
}

void fProgreso::resizeEvent(QResizeEvent* evento) {
    QWidget::resizeEvent(evento);
    colocaControles();
}

void fProgreso::cancela() {
    cancelado_ = true;
    if (padre_ && padre_->metaObject()->indexOfMethod("cancelaProgreso()") >= 0) {
        QMetaObject::invokeMethod(padre_, "cancelaProgreso");
    }
}

void fProgreso::colocaControles() {
    const int ancho = width();
    const int margen = aPixeles(kMargen);
    const int linea = aPixeles(kAltoLinea);
    const int anchoBoton = aPixeles(kAnchoBoton);
    const int altoBoton = aPixeles(kAltoBoton);
    borde_->setGeometry(0, 0, ancho, height());
    eCaption_->setGeometry(1, 1, ancho - 2, linea);
    const int arribaBarra = linea + margen;
    eBarraFondo_->setGeometry(margen, arribaBarra, ancho - 2 * margen, linea);
    shape1_->setGeometry(eBarraFondo_->geometry().adjusted(-1, -1, 1, 1));
    eProgreso_->setGeometry(margen, arribaBarra + linea + margen / 2, ancho - 2 * margen, linea);
    const int arribaInferior = height() - altoBoton - margen / 2;
    eTiempoRestante_->setGeometry(margen, arribaInferior, ancho - 3 * margen - anchoBoton,
                                  altoBoton);
    bCancelar_->setGeometry(ancho - margen - anchoBoton, arribaInferior, anchoBoton, altoBoton);
    dibujaBarra();
    borde_->raise();
}

void fProgreso::coloca(QWidget* fPadre) {
    if (fPadre) {
        setParent(fPadre, Qt::Widget);
        const int izquierda = fPadre->width() - width() - aPixeles(kSeparacionPadreX);
        const int arriba = fPadre->height() - height() - aPixeles(kSeparacionPadreY);
        move(qMax(0, izquierda), qMax(0, arriba));
        return;
    }
    if (!isWindow()) {
        // Back to a window of its own; whoever owned it still does.
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    }
    const QScreen* pantalla = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = pantalla ? pantalla->geometry() : QRect();
    move(area.right() + 1 - width() - aPixeles(kSeparacionPantallaX),
         area.bottom() + 1 - height() - aPixeles(kSeparacionPantallaY));
}

void fProgreso::dibujaBarra() {
    const int ancho = qBound(0, aPixeles(int(std::lround(ancho_))), eBarraFondo_->width());
    eBarra_->setGeometry(eBarraFondo_->x(), eBarraFondo_->y(), ancho, eBarraFondo_->height());
}
