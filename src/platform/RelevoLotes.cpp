#include "platform/RelevoLotes.h"

#include <utility>

namespace platform {

RelevoLotes::RelevoLotes(std::function<void(const QByteArray&)> procesa, qsizetype tamLote)
    : procesa_(std::move(procesa)), tamLote_(tamLote) {
    pendiente_.reserve(tamLote_);
    enProceso_.reserve(tamLote_);
}

RelevoLotes::~RelevoLotes() {
    abandona();
}

void RelevoLotes::agrega(QByteArrayView datos) {
    pendiente_.append(datos);
    if (pendiente_.size() >= tamLote_) {
        entrega();
    }
}

void RelevoLotes::termina() {
    if (!pendiente_.isEmpty()) {
        entrega();
    }
    espera();
}

void RelevoLotes::abandona() {
    pendiente_.clear();
    // The thread works on its owner's members: they must outlive it. Its failure no longer
    // matters to anyone.
    if (trabajo_.valid()) {
        trabajo_.wait();
        trabajo_ = {};
    }
}

void RelevoLotes::entrega() {
    espera();
    // The two buffers take turns, so that no batch costs an allocation and its page faults.
    pendiente_.swap(enProceso_);
    pendiente_.resize(0);
    trabajo_ = std::async(std::launch::async, [this] { procesa_(enProceso_); });
}

void RelevoLotes::espera() {
    if (trabajo_.valid()) {
        trabajo_.get();
    }
}

}  // namespace platform
