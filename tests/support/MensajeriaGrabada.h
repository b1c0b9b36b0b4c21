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
        QWidget* ventana = nullptr;
    };

    // Every call received, oldest first.
    QList<Registro> registros;
    // Answers for the next questions, first in first out.
    QQueue<bool> respuestas;
    // The answer given when the queue is empty (No unless a test says otherwise).
    bool respuestaPorDefecto = false;

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
        registros.append({Clase::Pregunta, texto, {}, {}, 0, false, nullptr});
        return respuestas.isEmpty() ? respuestaPorDefecto : respuestas.dequeue();
    }
    void muestraMensaje(const QString& texto, const QString& titulo, const QString& tipo,
                        qint16 segundos) override {
        registros.append({Clase::Mensaje, texto, titulo, tipo, segundos, false, nullptr});
    }
    void mensajeSistema(const QString& texto, QWidget* ventana, bool abandonar,
                        qint32 tiempo) override {
        registros.append({Clase::Sistema, texto, {}, {}, tiempo, abandonar, ventana});
    }

private:
    // In place of the routing in force for as long as this one lives.
    modTolvane1::MensajeriaInstalada instalada_{this};
};
