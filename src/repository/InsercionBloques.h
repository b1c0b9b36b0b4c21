#pragma once

#include <QByteArray>
#include <QVariantList>

#include "dataaccess/Motor.h"

namespace platform {
class Connection;
}

// Stores one file's blocks in tDatosFichero, several rows a statement where the engine takes a
// list of rows: a large upload then pays the engine's per-statement work once a batch instead
// of once a block, while the blocks still travel as bound parameters, never as SQL text.
class InsercionBloques {
public:
    // Blocks of file codFichero, written through c on an engine of kind motor.
    InsercionBloques(platform::Connection& c, Motor motor, qint32 codFichero);
    // Keeps block nBloque; stores the kept ones once a statement's worth has gathered. Throws
    // ErrorEjecucion when the engine refuses them.
    void agrega(qint32 nBloque, const QByteArray& datos);
    // Stores whatever is kept, so that a commit after it holds every block given so far.
    // Throws ErrorEjecucion when the engine refuses them.
    void vacia();
    // Rows one statement carries on motor: Oracle has no list of rows in one INSERT.
    static int filasPorSentencia(Motor motor);

private:
    platform::Connection& con_;
    qint32 codFichero_;
    qsizetype valoresPorSentencia_;
    QVariantList valores_;
};
