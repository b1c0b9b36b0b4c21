#pragma once

#include <QString>
#include <memory>

#include "platform/Instalado.h"

class QWidget;

namespace modTolvane1 {

// How far a long piece of work has gone, for the user to see; it closes when destroyed.
class Progreso {
public:
    virtual ~Progreso() = default;
    // One more step is done.
    virtual void avanza() = 0;
};

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
    // Opens a progress display of maximo steps under titulo: the progress window unless a
    // routing shows it otherwise.
    virtual std::unique_ptr<Progreso> abreProgreso(const QString& titulo, qint32 maximo);
};

// The routing in force.
Mensajeria& mensajeria();
// Installs another routing (not owned); nullptr restores the message windows. Returns the one
// that was installed (nullptr for the windows).
Mensajeria* estableceMensajeria(Mensajeria* otra);

// A routing installed for the lifetime of the guard.
using MensajeriaInstalada = platform::Instalado<Mensajeria*, &estableceMensajeria>;

}  // namespace modTolvane1
