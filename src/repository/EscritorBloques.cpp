#include "repository/EscritorBloques.h"

#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"
#include "platform/SistemaFicheros.h"
#include "repository/FormatoRepositorio.h"

namespace {

const QString kOrigen = QStringLiteral("cCorvinal");
// Bytes written before the disk is asked to start on them.
constexpr qint64 kTramoVolcado = qint64{8} << 20;

[[noreturn]] void fallaBloques(const QString& descripcion) {
    throw platform::ErrorEjecucion(EscritorBloques::kBloquesIncoherentes, descripcion, kOrigen);
}

}  // namespace

EscritorBloques::EscritorBloques(const QString& destino, qint32 nBloques)
    : fichero_(destino), nBloques_(nBloques) {
    if (!fichero_.open(QIODevice::WriteOnly)) {
        fallaEscritura();
    }
}

EscritorBloques::~EscritorBloques() {
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
    if (fichero_.write(datos) != datos.size()) {
        fallaEscritura();
    }
    ++recibidos_;
    vuelcaPorDetras();
}

void EscritorBloques::vuelcaPorDetras() {
    // The disk writes one stretch while the next one arrives, instead of all of it at the end.
    const qint64 escritos = qint64(recibidos_) * formatoRepositorio::kTamBloque;
    if (escritos - volcados_ < kTramoVolcado) {
        return;
    }
    if (!fichero_.flush()) {
        fallaEscritura();
    }
    platform::empiezaVolcado(fichero_.handle(), volcados_, escritos);
    volcados_ = escritos;
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
    if (!fichero_.commit()) {
        fallaEscritura();
    }
    terminado_ = true;
}

void EscritorBloques::fallaEscritura() const {
    throw platform::errorEscritura(fichero_, kOrigen);
}
