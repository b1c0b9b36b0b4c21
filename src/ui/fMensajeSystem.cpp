#include "ui/fMensajeSystem.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <limits>

#include "platform/Espera.h"
#include "platform/Fin.h"
#include "platform/Twips.h"
#include "ui/ArrastrePorTitulo.h"
#include "ui/TextoMensaje.h"

using platform::aPixeles;

namespace {

// Measures of the controls, in twips.
constexpr int kAltoCaption = 300;
constexpr int kAltoBoton = 375;
constexpr int kAltoMinimoAnimado = 150;
constexpr int kPasoAnimacion = 15;
constexpr int kPausaAnimacion = 5;

fMensajeSystem::AlDescargar alDescargar = nullptr;

}  // namespace

fMensajeSystem::AlDescargar fMensajeSystem::estableceAlDescargar(AlDescargar otro) {
    AlDescargar anterior = alDescargar;
    alDescargar = otro;
    return anterior;
}

fMensajeSystem::fMensajeSystem(QWidget* padre)
    : QDialog(padre, Qt::Dialog | Qt::FramelessWindowHint),
      marco_(new QFrame(this)),
      eCaption_(new QLabel(QString::fromLatin1(kCaption), this)),
      iCerrar_(new QLabel(this)),
      tMensaje_(new QPlainTextEdit(this)),
      bAceptar_(new QPushButton(QStringLiteral("Aceptar"), this)),
      timAceptaAutomaticamente_(new QTimer(this)) {
    setObjectName(QStringLiteral("fMensajeSystem"));
    setAttribute(Qt::WA_DeleteOnClose);
    marco_->setObjectName(QStringLiteral("marco"));
    marco_->setFrameShape(QFrame::Box);
    eCaption_->setObjectName(QStringLiteral("eCaption"));
    eCaption_->setAutoFillBackground(true);
    eCaption_->setBackgroundRole(QPalette::Highlight);
    eCaption_->setForegroundRole(QPalette::HighlightedText);
    iCerrar_->setObjectName(QStringLiteral("iCerrar"));
    iCerrar_->setPixmap(
        style()->standardIcon(QStyle::SP_TitleBarCloseButton).pixmap(aPixeles(kAltoCaption) - 4));
    iCerrar_->setAlignment(Qt::AlignCenter);
    iCerrar_->setCursor(Qt::PointingHandCursor);
    iCerrar_->installEventFilter(this);
    tMensaje_->setObjectName(QStringLiteral("tMensaje"));
    tMensaje_->setReadOnly(true);
    bAceptar_->setObjectName(QStringLiteral("bAceptar"));
    bAceptar_->setDefault(true);
    timAceptaAutomaticamente_->setObjectName(QStringLiteral("timAceptaAutomaticamente"));
    timAceptaAutomaticamente_->setSingleShot(true);
    new ui::ArrastrePorTitulo(eCaption_, this);

    connect(tMensaje_, &QPlainTextEdit::textChanged, this, &fMensajeSystem::sellaCaption);
    connect(bAceptar_, &QPushButton::clicked, this, &fMensajeSystem::acepta);
    connect(timAceptaAutomaticamente_, &QTimer::timeout, this, &fMensajeSystem::acepta);

    marco_->lower();
    resize(aPixeles(kAnchoDisenado), aPixeles(kAltoAbierto));
}

fMensajeSystem::~fMensajeSystem() {
    if (alDescargar) {
        alDescargar();
    }
}

void fMensajeSystem::setTiempo(qint32 segundos) {
    tiempo_ = segundos;
    if (segundos <= 0) {
        return;
    }
    // A timer counts milliseconds in an int: longer waits are held at the longest it can count.
    const qint64 milisegundos = qint64(segundos) * 1000;
    timAceptaAutomaticamente_->start(
        int(qMin<qint64>(milisegundos, std::numeric_limits<int>::max())));
}

void fMensajeSystem::setTexto(const QString& texto) {
    tMensaje_->setPlainText(ui::textoParaMostrar(texto));
}

void fMensajeSystem::acepta() {
    // The button, the close picture and the timer may all fire while the window shrinks.
    if (aceptando_) {
        return;
    }
    aceptando_ = true;
    timAceptaAutomaticamente_->stop();
    QPointer<fMensajeSystem> viva(this);
    for (int alto = platform::aTwips(height()); alto >= kAltoMinimoAnimado;
         alto -= kPasoAnimacion) {
        resize(width(), aPixeles(alto));
        platform::esperaMs(kPausaAnimacion);
        if (!viva) {
            return;
        }
    }
    const bool terminar = abandonar_;
    close();
    if (terminar) {
        platform::terminaPrograma();
    }
}

void fMensajeSystem::resizeEvent(QResizeEvent* evento) {
    QDialog::resizeEvent(evento);
    colocaControles();
}

void fMensajeSystem::reject() {
    acepta();
}

void fMensajeSystem::closeEvent(QCloseEvent* evento) {
    // A close the window system asks for goes the way of "Aceptar", so that abandonar holds.
    if (!aceptando_) {
        evento->ignore();
        QTimer::singleShot(0, this, &fMensajeSystem::acepta);
        return;
    }
    // Past QDialog's handler: it would call reject(), which accepts here, and then refuse this
    // close because the window is still visible.
    QWidget::closeEvent(evento);  // NOLINT(bugprone-parent-virtual-call): see above
}

bool fMensajeSystem::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == iCerrar_ && evento->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton) {
        acepta();
        return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

void fMensajeSystem::sellaCaption() {
    eCaption_->setText(QString::fromLatin1(kCaption) +
                       QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
}

void fMensajeSystem::colocaControles() {
    const int ancho = width();
    const int alto = height();
    const int altoCaption = aPixeles(kAltoCaption);
    const int altoBoton = aPixeles(kAltoBoton);
    const int uno = aPixeles(15);
    const int cuatro = aPixeles(60);
    eCaption_->setGeometry(uno, uno, ancho - 2 * uno, altoCaption);
    iCerrar_->setGeometry(ancho - uno - altoCaption, uno, altoCaption, altoCaption);
    marco_->setGeometry(0, 0, ancho, alto);
    bAceptar_->setGeometry(0, alto - altoBoton, ancho, altoBoton);
    tMensaje_->setGeometry(cuatro, altoCaption + cuatro, ancho - 2 * cuatro,
                           qMax(0, alto - altoBoton - altoCaption - 2 * cuatro));
}
