#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>
#include <future>

namespace platform {

// Passes bytes, in order and a batch at a time, to a function that runs on a thread of its own,
// so that the caller goes on receiving the next batch while the previous one is processed.
class RelevoLotes {
public:
    // procesa gets the batches in order, never two at once; a batch is handed over once it
    // holds tamLote bytes.
    RelevoLotes(std::function<void(const QByteArray&)> procesa, qsizetype tamLote);
    // Waits for the batch in progress, as abandona() does.
    ~RelevoLotes();
    RelevoLotes(const RelevoLotes&) = delete;
    RelevoLotes& operator=(const RelevoLotes&) = delete;

    // Copies the bytes (the caller may reuse its buffer at once) and hands over a full batch;
    // throws what procesa threw on an earlier batch.
    void agrega(QByteArrayView datos);
    // Hands over what is gathered and returns once every batch is processed; throws what
    // procesa threw.
    void termina();
    // Waits for the batch in progress and drops what is gathered, whatever procesa threw.
    void abandona();

private:
    void entrega();
    void espera();

    std::function<void(const QByteArray&)> procesa_;
    qsizetype tamLote_;
    QByteArray pendiente_;
    // The batch the thread works on.
    QByteArray enProceso_;
    std::future<void> trabajo_;
};

}  // namespace platform
