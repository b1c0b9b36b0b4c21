#include "platform/Reloj.h"

#include <utility>

#include <QElapsedTimer>

namespace platform {

namespace {

const Reloj* enUso = nullptr;

}  // namespace

qint64 Reloj::monotonoMs() const {
    // One timer for the whole run: its start is arbitrary, only differences count.
    static const QElapsedTimer inicio = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return inicio.elapsed();
}

QTime Reloj::horaDelDia() const {
    return QTime::currentTime();
}

const Reloj& reloj() {
    static const Reloj delSistema;
    return enUso ? *enUso : delSistema;
}

const Reloj* estableceReloj(const Reloj* otro) {
    return std::exchange(enUso, otro);
}

double segundosDesdeMedianoche() {
    return reloj().horaDelDia().msecsSinceStartOfDay() / 1000.0;
}

}  // namespace platform
