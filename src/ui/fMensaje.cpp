#include "ui/fMensaje.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include "platform/Twips.h"
#include "ui/TextoMensaje.h"

using platform::aPixeles;

namespace {

// Measures of the controls, in twips.
constexpr int kMargen = 120;
constexpr int kLadoImagen = 480;
constexpr int kIzquierdaTexto = kMargen + kLadoImagen + 240;
constexpr int kAnchoBoton = 1215;
constexpr int kAltoBoton = 375;
constexpr int kSeparacion = 200;
constexpr int kLineasParaAmpliar = 6;

}  // namespace

fMensaje::fMensaje(QWidget* padre)
    : QDialog(padre),
      mensaje_(new QPlainTextEdit(this)),
      imagen_(new QLabel(this)),
      bAceptar_(new QPushButton(QStringLiteral("Aceptar"), this)),
      tim_(new QTimer(this)) {
    setObjectName(QStringLiteral("fMensaje"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    mensaje_->setObjectName(QStringLiteral("mensaje"));
    mensaje_->setReadOnly(true);
    imagen_->setObjectName(QStringLiteral("imagen"));
    imagen_->setAlignment(Qt::AlignCenter);
    bAceptar_->setObjectName(QStringLiteral("bAceptar"));
    bAceptar_->setDefault(true);
    tim_->setObjectName(QStringLiteral("tim"));

    connect(bAceptar_, &QPushButton::clicked, this, &QDialog::accept);
    connect(tim_, &QTimer::timeout, this, &QDialog::accept);

    setFixedSize(aPixeles(kAnchoDisenado), aPixeles(kAltoDisenado));
    colocaControles();
}

void fMensaje::setTexto(const QString& texto) {
    mensaje_->setPlainText(ui::textoParaMostrar(texto));
    ajustaAlTexto();
}

QString fMensaje::texto() const {
    return mensaje_->toPlainText();
}

void fMensaje::estableceImagen(const QString& clave) {
    QPixmap imagen = imagenes(clave);
    claveImagen_ = imagen.isNull() ? QString() : clave;
    imagen_->setPixmap(imagen);
}

void fMensaje::estableceTiempo(qint16 segundos) {
    if (segundos <= 0) {
        return;
    }
    // Whole milliseconds in 32 bits: every positive 16-bit count of seconds fits.
    tim_->setInterval(qint32(segundos) * 1000);
    tim_->start();
}

QPixmap fMensaje::imagenes(const QString& clave) {
    const int lado = aPixeles(kLadoImagen);
    if (clave == QLatin1String("exclamacion")) {
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(lado);
    }
    if (clave == QLatin1String("informacion")) {
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(lado);
    }
    return QPixmap();
}

void fMensaje::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (!ampliada_ || subida_) {
        return;
    }
    // A tall message rises by a quarter of its height so that it stays about centred.
    subida_ = true;
    const int arriba = screen() ? screen()->availableGeometry().top() : 0;
    move(x(), qMax(arriba, y() - height() / 4));
}

void fMensaje::ajustaAlTexto() {
    const bool ampliar = ui::lineasDe(mensaje_->toPlainText()) >= kLineasParaAmpliar;
    if (ampliar == ampliada_) {
        return;
    }
    ampliada_ = ampliar;
    const int alto = aPixeles(kAltoDisenado) * (ampliada_ ? 2 : 1);
    setFixedSize(width(), alto);
    colocaControles();
}

void fMensaje::colocaControles() {
    const int margen = aPixeles(kMargen);
    const int separacion = aPixeles(kSeparacion);
    const int altoBoton = aPixeles(kAltoBoton);
    const int anchoBoton = aPixeles(kAnchoBoton);
    const int izquierdaTexto = aPixeles(kIzquierdaTexto);
    const int arribaBoton = height() - altoBoton - separacion;
    imagen_->setGeometry(margen, margen, aPixeles(kLadoImagen), aPixeles(kLadoImagen));
    mensaje_->setGeometry(izquierdaTexto, margen, width() - izquierdaTexto - margen,
                          arribaBoton - margen - separacion);
    bAceptar_->setGeometry((width() - anchoBoton) / 2, arribaBoton, anchoBoton, altoBoton);
}
