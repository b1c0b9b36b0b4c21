#include "comun/Mensajeria.h"

#include <QMessageBox>
#include <QPointer>
#include <utility>

#include "platform/Espera.h"
#include "platform/Producto.h"
#include "platform/Twips.h"
#include "ui/fMensaje.h"
#include "ui/fMensajeSystem.h"
#include "ui/fProgreso.h"

namespace modTolvane1 {
namespace {

// The system message window opens from this corner and slides down to its full height, in twips.
constexpr int kEsquinaSistema = 150;
constexpr int kAltoInicialSistema = 150;
constexpr int kAltoFinalSistema = 2250;
constexpr int kPasoSistema = 15;
constexpr int kPausaSistema = 5;

// The progress window, closed when the work ends or fails.
class ProgresoVentana : public Progreso {
public:
    ProgresoVentana(const QString& titulo, qint32 maximo) { ventana_.activaBarra(titulo, maximo); }
    ~ProgresoVentana() override { ventana_.descarga(); }
    void avanza() override { ventana_.incrementaBarra(QVariant(), 1); }

private:
    fProgreso ventana_;
};

// The program's own windows.
class MensajeriaVentanas : public Mensajeria {
public:
    bool pregunta(const QString& texto) override {
        QMessageBox caja(QMessageBox::Question, platform::nombreProducto(), texto,
                         QMessageBox::Yes | QMessageBox::No);
        caja.setDefaultButton(QMessageBox::Yes);
        return caja.exec() == QMessageBox::Yes;
    }

    void muestraMensaje(const QString& texto, const QString& titulo, const QString& tipo,
                        qint16 segundos) override {
        fMensaje ventana;
        ventana.setWindowTitle(titulo);
        ventana.setTexto(texto);
        ventana.estableceImagen(claveImagen(tipo));
        if (segundos > 0) {
            ventana.estableceTiempo(segundos);
        }
        ventana.exec();
    }

    void mensajeSistema(const QString& texto, QWidget* ventana, bool abandonar,
                        qint32 tiempo) override {
        QPointer<fMensajeSystem> sistema(new fMensajeSystem(ventana));
        sistema->setAbandonar(abandonar);
        sistema->setTexto(texto);
        sistema->setTiempo(tiempo);
        sistema->setGeometry(platform::aPixeles(kEsquinaSistema),
                             platform::aPixeles(kEsquinaSistema), sistema->width(),
                             platform::aPixeles(kAltoInicialSistema));
        sistema->show();
        for (int alto = kAltoInicialSistema; alto <= kAltoFinalSistema; alto += kPasoSistema) {
            sistema->resize(sistema->width(), platform::aPixeles(alto));
            platform::esperaMs(kPausaSistema);
            // It may be accepted (by the user or its timer) before it is fully open.
            if (!sistema || !sistema->isVisible()) {
                return;
            }
        }
    }

private:
    static QString claveImagen(const QString& tipo) {
        if (tipo == QLatin1String("E")) {
            return QStringLiteral("exclamacion");
        }
        if (tipo == QLatin1String("I")) {
            return QStringLiteral("informacion");
        }
        return QString();
    }
};

MensajeriaVentanas ventanas;
Mensajeria* instalada = nullptr;

}  // namespace

std::unique_ptr<Progreso> Mensajeria::abreProgreso(const QString& titulo, qint32 maximo) {
    return std::make_unique<ProgresoVentana>(titulo, maximo);
}

Mensajeria& mensajeria() {
    return instalada ? *instalada : ventanas;
}

Mensajeria* estableceMensajeria(Mensajeria* otra) {
    return std::exchange(instalada, otra == &ventanas ? nullptr : otra);
}

}  // namespace modTolvane1
