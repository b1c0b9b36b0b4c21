#include "platform/Pausa.h"

#include <QEventLoop>
#include <QTimer>

namespace platform {

void pausa(int milisegundos) {
    QEventLoop bucle;
    QTimer::singleShot(qMax(0, milisegundos), Qt::PreciseTimer, &bucle, &QEventLoop::quit);
    bucle.exec();
}

}  // namespace platform
