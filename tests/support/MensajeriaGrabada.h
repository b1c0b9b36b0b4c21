#pragma once

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include "comun/Mensajeria.h"

class QWidget;

// A message routing for tests: records every question and message instead of showing it, and
// answers questions from a queue. Installs itself while it lives.
class MensajeriaGrabada : public modTolvane1::Mensajeria {
public:
    enum class Clase { Pregunta, Mensaje, Sistema };

    // One recorded call; the fields a kind of call does not carry stay empty or zero.
    struct Registro {
        Clase clase;
        QString texto;
        QString titulo;
        QString tipo;
        qint32 segundos = 0;
        bool abandonar = false;
    };

    // Every call received, oldest first.
    QList<Registro> registros;
    // Answers for the next questions, first in first out; No when it is empty.
    QQueue<bool> respuestas;

    // The texts of the recorded calls of one kind, oldest first.
    QStringList textos(Clase clase) const {
        QStringList encontrados;
        for (const Registro& registro : registros) {
            if (registro.clase == clase) {
                encontrados << registro.texto;
            }
        }
        return encontrados;
    }

    bool pregunta(const QString& texto) override {
        registros.append({Clase::Pregunta, texto, {}, {}, 0, false});
        return !respuestas.isEmpty() && respuestas.dequeue();
    }
    void muestraMensaje(const QString& texto, const QString& titulo, const QString& tipo,
                        qint16 segundos) override {
        registros.append({Clase::Mensaje, texto, titulo, tipo, segundos, false});
    }
    void mensajeSistema(const QString& texto, QWidget* /*ventana*/, bool abandonar,
                        qint32 tiempo) override {
        registros.append({Clase::Sistema, texto, {}, {}, tiempo, abandonar});
    }

private:
    // In place of the routing in force for as long as this one lives.
    modTolvane1::MensajeriaInstalada instalada_{this};
};
