#include "download/Eco.h"

#include <QRegularExpression>
#include <cstdio>

namespace Eco {

bool activo() {
    return !qEnvironmentVariableIsEmpty("CORVINAL_ECO");
}

void escribe(const QString& ventana, const QString& control, const QString& texto) {
    if (!activo()) {
        return;
    }
    static const QRegularExpression kSaltos(QStringLiteral("[\r\n]+"));
    QString linea = QStringLiteral("[") + ventana + QStringLiteral("] ") + control +
                    QStringLiteral(": ") + QString(texto).replace(kSaltos, QStringLiteral(" / "));
    std::fputs(linea.append(u'\n').toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

}  // namespace Eco
