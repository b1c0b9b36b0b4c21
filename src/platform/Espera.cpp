#include "platform/Espera.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/Reloj.h"

namespace platform {

void cede() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void esperaMs(qint64 ms) {
    if (ms <= 0) {
        cede();
        return;
    }
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    QEventLoop bucle;
    QTimer::singleShot(std::chrono::milliseconds(ms), &bucle, &QEventLoop::quit);
    bucle.exec();
}

void esperaSegundos(double segundos) {
    if (!std::isfinite(segundos)) {
        return;
    }
    esperaMs(std::llround(segundos * 1000.0));
}

bool esperaCondicion(const std::function<bool()>& hecho, qint64 msMaximo, int msPaso) {
    const qint64 limite = reloj().monotonoMs() + qMax<qint64>(msMaximo, 0);
    const qint64 paso = qMax(msPaso, 1);
    while (!hecho()) {
        const qint64 queda = limite - reloj().monotonoMs();
        if (queda <= 0) {
            return hecho();
        }
        esperaMs(qMin(queda, paso));
    }
    return true;
}

}  // namespace platform
