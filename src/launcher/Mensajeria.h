#pragma once

#include <QString>

class QWidget;

namespace modTolvane1 {

// Where the program's questions and messages go: the message windows by default, a test's
// answering routine when one is installed.
class Mensajeria {
public:
    virtual ~Mensajeria() = default;
    // Asks a Yes/No question; true when the answer is Yes.
    virtual bool pregunta(const QString& texto) = 0;
    // Shows a modal message (tipo "E" exclamation, "I" information, else no picture); returns
    // when it closes, by the user or after segundos when segundos > 0.
    virtual void muestraMensaje(const QString& texto, const QString& titulo, const QString& tipo,
                                qint16 segundos) = 0;
    // Opens the sliding system message window owned by ventana, without blocking.
    virtual void mensajeSistema(const QString& texto, QWidget* ventana, bool abandonar,
                                qint32 tiempo) = 0;
};

// The routing in force.
Mensajeria& mensajeria();
// Installs another routing (not owned); nullptr restores the message windows.
void estableceMensajeria(Mensajeria* otra);

// Installs a routing for its own lifetime and puts back the one it replaced on every way out,
// an exception included, so the routing in force never outlives the object it points to.
class MensajeriaInstalada {
public:
    explicit MensajeriaInstalada(Mensajeria* otra);
    ~MensajeriaInstalada();
    MensajeriaInstalada(const MensajeriaInstalada&) = delete;
    MensajeriaInstalada& operator=(const MensajeriaInstalada&) = delete;

private:
    Mensajeria* anterior_;
};

}  // namespace modTolvane1
