#include "ui/TextoMensaje.h"

namespace ui {

QString textoParaMostrar(const QString& texto) {
    QString mostrado = texto;
    mostrado.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    mostrado.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return mostrado;
}

int lineasDe(const QString& texto) {
    return int(textoParaMostrar(texto).count(QLatin1Char('\n'))) + 1;
}

}  // namespace ui
