#include "repository/EscritorBloques.h"

#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"
#include "platform/SistemaFicheros.h"
#include "repository/FormatoRepositorio.h"

namespace {

const QString kOrigen = QStringLiteral("cCorvinal");
// Bytes written before the disk is asked to start on them.
constexpr qint64 kTramoVolcado = qint64{8} << 20;
// Bytes written at a time, on a thread of their own, while the next blocks arrive: a system
// call per block would cost as much as the copy.
constexpr qsizetype kTramoEscritura = qsizetype{1} << 20;

[[noreturn]] void fallaBloques(const QString& descripcion) {
    throw platform::ErrorEjecucion(EscritorBloques::kBloquesIncoherentes, descripcion, kOrigen);
}

}  // namespace

EscritorBloques::EscritorBloques(const QString& destino, qint32 nBloques)
    : fichero_(destino),
      nBloques_(nBloques),
      escritura_([this](const QByteArray& lote) { escribe(lote); }, kTramoEscritura) {
    if (!fichero_.open(QIODevice::WriteOnly)) {
        fallaEscritura();
    }
}

EscritorBloques::~EscritorBloques() {
    escritura_.abandona();
    if (!terminado_) {
        fichero_.cancelWriting();
    }
}

void EscritorBloques::agrega(qint64 nBloque, const QByteArray& datos) {
    const qint64 esperado = qint64(recibidos_) + 1;
    if (nBloque != esperado) {
        if (esperado > nBloques_) {
            fallaBloques(QStringLiteral("El fichero tiene más bloques de los %1 que declara.")
                             .arg(nBloques_));
        }
        fallaBloques(nBloque > esperado
                         ? QStringLiteral("Falta el bloque %1 del fichero.").arg(esperado)
                         : QStringLiteral("El bloque %1 del fichero está repetido o fuera de "
                                          "orden.")
                               .arg(nBloque));
    }
    if (nBloque > nBloques_) {
        fallaBloques(
            QStringLiteral("El fichero tiene más bloques de los %1 que declara.").arg(nBloques_));
    }
    const bool ultimo = nBloque == nBloques_;
    const bool tamValido = ultimo
                               ? !datos.isEmpty() && datos.size() <= formatoRepositorio::kTamBloque
                               : datos.size() == formatoRepositorio::kTamBloque;
    if (!tamValido) {
        fallaBloques(QStringLiteral("El bloque %1 del fichero mide %2 bytes.")
                         .arg(nBloque)
                         .arg(datos.size()));
    }
    escritura_.agrega(datos);
    ++recibidos_;
}

void EscritorBloques::escribe(const QByteArray& lote) {
    if (fichero_.write(lote) != lote.size()) {
        fallaEscritura();
    }
    escritos_ += lote.size();
    // The disk writes one stretch while the next one arrives, instead of all of it at the end.
    if (escritos_ - volcados_ < kTramoVolcado) {
        return;
    }
    if (!fichero_.flush()) {
        fallaEscritura();
    }
    platform::empiezaVolcado(fichero_.handle(), volcados_, escritos_);
    volcados_ = escritos_;
}

void EscritorBloques::exigeHasta(qint64 ultimo) const {
    if (recibidos_ < qMin(ultimo, qint64(nBloques_))) {
        fallaBloques(QStringLiteral("Faltan bloques del fichero: llegaron %1 de %2.")
                         .arg(recibidos_)
                         .arg(nBloques_));
    }
}

void EscritorBloques::termina() {
    exigeHasta(nBloques_);
    escritura_.termina();
    if (!fichero_.commit()) {
        fallaEscritura();
    }
    terminado_ = true;
}

void EscritorBloques::fallaEscritura() const {
    throw platform::errorEscritura(fichero_, kOrigen);
}
