#include "platform/Espera.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
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
    // A timer holds at most about 24 days: longer waits go in stretches.
    constexpr qint64 kTramoMs = 24LL * 3600 * 1000;
    const QDeadlineTimer limite(ms);
    for (qint64 queda = ms; queda > 0; queda = limite.remainingTime()) {
        QEventLoop bucle;
        QTimer::singleShot(std::chrono::milliseconds(qMin(queda, kTramoMs)), &bucle,
                           &QEventLoop::quit);
        bucle.exec();
    }
}

void esperaSegundos(double segundos) {
    // Beyond a thousand years a wait is as good as endless; the bound keeps the arithmetic sound.
    constexpr double kMaximoSegundos = 3.2e10;
    if (!(segundos > 0)) {
        cede();
        return;
    }
    esperaMs(std::llround(qMin(segundos, kMaximoSegundos) * 1000.0));
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
