#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include "platform/RelevoLotes.h"

// Writes a downloaded file from its blocks as they arrive, checking them against the storage
// format: numbered 1 to nBloques without gaps, repeats or extras, every block full but the
// last. The bytes go to a temporary file beside the target, which replaces the target only when
// every block has arrived; until then, and whatever fails, the target stays as it was and an
// abandoned writer leaves no temporary file.
class EscritorBloques {
public:
    // Error number of blocks that do not match the file row.
    static constexpr qint32 kBloquesIncoherentes = 32200;

    // Starts the temporary file beside destino; throws ErrorEjecucion when it cannot be made.
    EscritorBloques(const QString& destino, qint32 nBloques);
    // Discards the temporary file unless termina() succeeded.
    ~EscritorBloques();
    EscritorBloques(const EscritorBloques&) = delete;
    EscritorBloques& operator=(const EscritorBloques&) = delete;

    // Appends block nBloque; throws ErrorEjecucion when it is not the next one, lies beyond
    // nBloques, has the wrong size or cannot be written.
    void agrega(qint64 nBloque, const QByteArray& datos);
    // Blocks appended so far.
    qint32 recibidos() const { return recibidos_; }
    // Throws the missing-block error unless every block up to ultimo (at most nBloques) has
    // arrived.
    void exigeHasta(qint64 ultimo) const;
    // Puts the file in place of the target once every block has arrived; throws otherwise.
    void termina();

private:
    // Writes a batch of blocks and starts the disk on what was written since it was last asked,
    // once that is a long stretch; runs on the writing thread.
    void escribe(const QByteArray& lote);
    [[noreturn]] void fallaEscritura() const;

    QSaveFile fichero_;
    qint32 nBloques_;
    qint32 recibidos_ = 0;
    // Bytes written, and those already handed to the disk's write-back.
    qint64 escritos_ = 0;
    qint64 volcados_ = 0;
    bool terminado_ = false;
    // Last, so that the writing thread ends before the members it works on.
    platform::RelevoLotes escritura_;
};
