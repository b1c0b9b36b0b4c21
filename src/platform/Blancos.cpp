#include "platform/Blancos.h"

namespace platform {

QString sinBlancos(const QString& texto) {
    qsizetype inicio = 0;
    qsizetype fin = texto.size();
    while (inicio < fin && texto.at(inicio) == u' ') {
        ++inicio;
    }
    while (fin > inicio && texto.at(fin - 1) == u' ') {
        --fin;
    }
    return texto.mid(inicio, fin - inicio);
}

}  // namespace platform
