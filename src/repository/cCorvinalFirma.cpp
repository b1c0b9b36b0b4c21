#include "dataaccess/aConexion.h"
#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Firma.h"
#include "platform/Recordset.h"
#include "repository/Confianza.h"
#include "repository/FormatoRepositorio.h"
#include "repository/TablaFirmas.h"
#include "repository/TablaHuellas.h"
#include "repository/cCorvinal.h"

using platform::ErrorEjecucion;

namespace {

const QString kOrigen = QStringLiteral("cCorvinal");
// Deeper than any real tree: a folder row that points back into its own path stops here.
constexpr int kProfundidadMaxima = 256;

}  // namespace

QString cCorvinal::Comprobacion::texto() const {
    switch (estado) {
        case EstadoFirma::kInvalida:
            return TablaFirmas::kTextoFirmaNoValida;
        case EstadoFirma::kAnterior:
            return TablaFirmas::kTextoAnterior;
        case EstadoFirma::kSinFirma:
        case EstadoFirma::kSinTabla:
            return TablaFirmas::kTextoSinFirma;
        case EstadoFirma::kValida:
            break;
    }
    return QString();
}

std::optional<QString> cCorvinal::rutaDeCarpeta(qint32 codCarpeta) {
    QStringList nombres;
    for (int n = 0; codCarpeta != formatoRepositorio::kCodRaiz; ++n) {
        if (n == kProfundidadMaxima) {
            return std::nullopt;
        }
        auto rs = consulta(
            QStringLiteral("SELECT carpeta,codCarpetaPadre FROM tCarpetas WHERE codCarpeta=") +
            QString::number(codCarpeta));
        if (rs->eof() || rs->field(QStringLiteral("codCarpetaPadre")).value().isNull()) {
            return std::nullopt;
        }
        nombres.prepend(rs->field(QStringLiteral("carpeta")).value().toString());
        codCarpeta = rs->field(QStringLiteral("codCarpetaPadre")).value().toInt();
    }
    return nombres.join(u'/');
}

cCorvinal::Comprobacion cCorvinal::compruebaFirma(qint32 codFichero, const FilaFichero& fila,
                                                  const Confianza& confianza) {
    Comprobacion c;
    TablaFirmas firmas(*conexion_);
    if (!firmas.existe()) {
        c.estado = confianza.obligatoria() ? EstadoFirma::kSinFirma : EstadoFirma::kSinTabla;
        return c;
    }
    const std::optional<FilaFirma> firma = firmas.lee(codFichero);
    if (!firma || !confianza.confia(firma->clave)) {
        return c;
    }
    c.estado = EstadoFirma::kInvalida;
    const std::optional<Huella> huella = TablaHuellas(*conexion_).lee(codFichero);
    const std::optional<QString> carpeta = rutaDeCarpeta(fila.codCarpeta);
    if (!huella || !huella->esDe(fila.fechaUm) || !carpeta) {
        return c;
    }
    const QByteArray mensaje =
        TablaFirmas::mensaje(*carpeta, fila.nombre, *huella, fila.fechaUm, firma->edicion);
    if (!platform::verifica(mensaje, firma->firma, firma->clave)) {
        return c;
    }
    c.ruta = carpeta->isEmpty() ? fila.nombre : *carpeta + u'/' + fila.nombre;
    c.huella = *huella;
    c.edicion = firma->edicion;
    c.estado = firma->edicion < confianza.edicionInstalada(c.ruta) ? EstadoFirma::kAnterior
                                                                   : EstadoFirma::kValida;
    return c;
}

bool cCorvinal::firmaFichero(qint32 codFichero, const QString& secreta) {
    const std::optional<FilaFichero> fila = leeFilaFichero(codFichero);
    if (!fila) {
        throw ErrorEjecucion(
            platform::kErrorNoEncontrado,
            QStringLiteral("No se encontró el fichero de código ") + QString::number(codFichero),
            kOrigen);
    }
    std::optional<Huella> huella = TablaHuellas(*conexion_).lee(codFichero);
    if (!huella || !huella->esDe(fila->fechaUm)) {
        // Only what the blocks hold now is signed, never a fingerprint some tool left behind.
        huella = huellaGuardada(codFichero);
        if (!huella) {
            return false;
        }
    }
    enTransaccion([&] {
        TablaHuellas(*conexion_).escribe(codFichero, *huella);
        escribeFirma(codFichero, fila->codCarpeta, fila->nombre, *huella, secreta);
    });
    return true;
}

void cCorvinal::escribeFirma(qint32 codFichero, qint32 codCarpeta, const QString& nombre,
                             const Huella& h, const QString& secreta) {
    const std::optional<QString> carpeta = rutaDeCarpeta(codCarpeta);
    const std::optional<QString> clave = platform::clavePublicaDe(secreta);
    if (!carpeta || !clave) {
        throw ErrorEjecucion(platform::kErrorArgumento,
                             !clave
                                 ? QStringLiteral("La clave secreta no es válida.")
                                 : QStringLiteral("La carpeta del fichero no cuelga de la raíz."),
                             kOrigen);
    }
    TablaFirmas firmas(*conexion_);
    FilaFirma f;
    f.edicion = firmas.siguienteEdicion(codCarpeta, nombre, h.fechaUm);
    f.clave = *clave;
    f.firma =
        platform::firma(TablaFirmas::mensaje(*carpeta, nombre, h, h.fechaUm, f.edicion), secreta);
    firmas.escribe(codFichero, f);
}

cCorvinal::EstadoFirma cCorvinal::verificaFirma(qint32 codFichero, const Confianza& confianza) {
    const std::optional<FilaFichero> fila = leeFilaFichero(codFichero);
    if (!fila) {
        return EstadoFirma::kSinFirma;
    }
    const Comprobacion c = compruebaFirma(codFichero, *fila, confianza);
    if (c.estado != EstadoFirma::kValida) {
        return c.estado;
    }
    const std::optional<Huella> guardada = huellaGuardada(codFichero);
    return guardada && guardada->mismoContenido(c.huella) ? EstadoFirma::kValida
                                                          : EstadoFirma::kInvalida;
}
