#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <limits>
#include <optional>

#include "dataaccess/aConexion.h"
#include "platform/Compresion.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"
#include "platform/Espera.h"
#include "platform/Recordset.h"
#include "platform/Ruta.h"
#include "platform/Sha256.h"
#include "repository/CalculoHuella.h"
#include "repository/Confianza.h"
#include "repository/EscritorBloques.h"
#include "repository/FormatoRepositorio.h"
#include "repository/RutaRepositorio.h"
#include "repository/TablaFirmas.h"
#include "repository/TablaHuellas.h"
#include "repository/cCorvinal.h"

using platform::ErrorEjecucion;

namespace {

const QString kOrigen = QStringLiteral("cCorvinal");
const QString kTextoAlDia = QStringLiteral("El fichero ya está al día.");
// The stored content of a file whose fingerprint is worked out, in a folder of its own.
const QString kContenido = QStringLiteral("contenido");

// Clears the download flag on every way out of a download.
class FinDescarga {
public:
    explicit FinDescarga(bool& descargando) : descargando_(descargando) { descargando_ = true; }
    ~FinDescarga() { descargando_ = false; }
    FinDescarga(const FinDescarga&) = delete;
    FinDescarga& operator=(const FinDescarga&) = delete;

private:
    bool& descargando_;
};

// The ordered range of blocks `primero`..`ultimo` of a file; the first range has no lower
// bound and the last no upper one, so every row of the file is seen and checked once.
QString sqlRango(qint32 codFichero, qint64 primero, qint64 ultimo, qint32 nBloques) {
    QString sql = QStringLiteral("SELECT nBloque,datos FROM tDatosFichero WHERE codFichero=") +
                  QString::number(codFichero);
    if (primero > 1) {
        sql += QStringLiteral(" AND nBloque>=") + QString::number(primero);
    }
    if (ultimo < nBloques) {
        sql += QStringLiteral(" AND nBloque<=") + QString::number(ultimo);
    }
    return sql + QStringLiteral(" ORDER BY nBloque");
}

// The block count of a file row; a null, negative or out-of-range count marks a damaged row.
qint32 numeroBloques(const QVariant& valor) {
    bool esNumero = false;
    const qint64 n = valor.toLongLong(&esNumero);
    if (valor.isNull() || !esNumero || n < 0 || n > std::numeric_limits<qint32>::max()) {
        throw ErrorEjecucion(EscritorBloques::kBloquesIncoherentes,
                             QStringLiteral("El fichero declara un número de bloques no válido: ") +
                                 valor.toString(),
                             kOrigen);
    }
    return qint32(n);
}

// The local file's last change, to the second; invalid when there is no such file.
QDateTime fechaFicheroLocal(const QString& ruta) {
    const QFileInfo info(ruta);
    if (!info.isFile()) {
        return QDateTime();
    }
    return formatoRepositorio::alSegundo(info.lastModified());
}

struct FilaEspejo {
    qint32 codFichero;
    QString nombre;
    QDateTime fechaUm;
    bool comprimido;
};

}  // namespace

// Every folder's children, read in one query for a whole mirroring run.
struct cCorvinal::ArbolCarpetas {
    QHash<qint32, QVector<std::pair<qint32, QString>>> hijos;
};

qint32 cCorvinal::obtieneCodCarpeta(const QString& directorio) {
    qint32 actual = formatoRepositorio::kCodRaiz;
    for (const QString& segmento : rutaRepositorio::segmentos(directorio)) {
        const std::optional<qint32> hijo = carpetaHija(actual, segmento);
        if (!hijo) {
            return -1;
        }
        actual = *hijo;
    }
    return actual;
}

bool cCorvinal::existeDirectorio(const QString& directorio) {
    return obtieneCodCarpeta(directorio) >= 1;
}

qint32 cCorvinal::creaCarpeta(const QString& ruta) {
    const QStringList segmentos = rutaRepositorio::segmentos(ruta);
    for (const QString& segmento : segmentos) {
        if (!rutaRepositorio::esNombrePublicable(segmento)) {
            throw ErrorEjecucion(platform::kErrorAccesoFichero,
                                 rutaRepositorio::textoNombreNoValido(segmento), kOrigen);
        }
    }
    qint32 actual = formatoRepositorio::kCodRaiz;
    for (const QString& segmento : segmentos) {
        if (const std::optional<qint32> hijo = carpetaHija(actual, segmento)) {
            actual = *hijo;
            continue;
        }
        const qint32 nuevo =
            conexion_->codsiguiente(QStringLiteral("tCarpetas"), QStringLiteral("codCarpeta"));
        conexion_->executeNR(
            QStringLiteral("INSERT INTO tCarpetas (codCarpeta,carpeta,codCarpetaPadre) VALUES (") +
            QString::number(nuevo) + u',' + texto(segmento) + u',' + QString::number(actual) +
            u')');
        actual = nuevo;
    }
    return actual;
}

std::optional<qint32> cCorvinal::carpetaHija(qint32 padre, const QString& nombre) const {
    auto rs = consulta(QStringLiteral("SELECT codCarpeta FROM tCarpetas WHERE codCarpetaPadre=") +
                       QString::number(padre) + QStringLiteral(" AND carpeta=") + texto(nombre));
    if (rs->eof()) {
        return std::nullopt;
    }
    return rs->field(QStringLiteral("codCarpeta")).value().toInt();
}

bool cCorvinal::descarga(const QString& fichero, const QString& directorio,
                         const QString& directorioLocal) {
    qint32 codCarpeta = formatoRepositorio::kCodRaiz;
    if (!directorio.isEmpty()) {
        codCarpeta = obtieneCodCarpeta(directorio);
        if (codCarpeta < 1) {
            emit estado(QStringLiteral("No se encontró el directorio:") + directorio, true);
            return false;
        }
    }
    qint32 codFichero = 0;
    {
        auto rs = consulta(QStringLiteral("SELECT codFichero FROM tFicheros WHERE nombre=") +
                           texto(fichero) + QStringLiteral(" AND codCarpeta=") +
                           QString::number(codCarpeta));
        if (rs->eof()) {
            emit estado(QStringLiteral("No se encontró el fichero:") + directorio + u'/' + fichero,
                        true);
            return false;
        }
        codFichero = rs->field(QStringLiteral("codFichero")).value().toInt();
    }
    if (!QFileInfo(directorioLocal).isDir()) {
        emit estado(QStringLiteral("No se encontró el directorio:") + directorioLocal, true);
        return false;
    }
    return bajaFichero(codFichero, directorioLocal, QString());
}

// What reading one file gave: whether it is in place (alDia: it was already), the failure to
// report (empty when there is none to report), and what the closing events and a fingerprint
// need.
struct cCorvinal::Lectura {
    bool hecho = false;
    bool alDia = false;
    QString error;
    std::optional<EstadoFirma> rechazo;
    QString visible;
    bool comprimido = false;
    qint32 nBloques = 0;
    QDateTime fechaUm;
};

bool cCorvinal::bajaFichero(qint32 codFichero, const QString& carpetaLocal,
                            const QString& nombreLocal) {
    FinDescarga fin(descargando_);
    const qint64 inicio = ahoraMs();
    const Lectura l = leeEnTransaccion(codFichero, carpetaLocal, nombreLocal, inicio);
    // The read has ended: a listener that restores the file, publishes or asks the user holds
    // no reader's lock.
    if (!l.error.isEmpty()) {
        emit estado(l.error, true);
    }
    if (l.rechazo) {
        emit firmaRechazada(*l.rechazo);
    }
    if (!l.hecho) {
        return false;
    }
    if (l.alDia) {
        emit estado(kTextoAlDia, false);
        emit ficheroAlDia(l.visible);
        emit ficheroSubido();
        return true;
    }
    informaFin(l.nBloques, inicio);
    emit ficheroBajado(l.visible, l.comprimido);
    emit ficheroSubido();
    return true;
}

cCorvinal::Lectura cCorvinal::leeEnTransaccion(qint32 codFichero, const QString& carpetaLocal,
                                               const QString& nombreLocal, qint64 inicioMs) {
    const QString finTransaccion = empiezaTransaccion();
    struct Cierre {
        cCorvinal* yo;
        const QString& fin;
        ~Cierre() { yo->terminaTransaccion(fin); }
    } cierre{this, finTransaccion};
    return leeFichero(codFichero, carpetaLocal, nombreLocal, inicioMs);
}

cCorvinal::Lectura cCorvinal::leeFichero(qint32 codFichero, const QString& carpetaLocal,
                                         const QString& nombreLocal, qint64 inicioMs) {
    Lectura l;
    const auto fila = leeFilaFichero(codFichero);
    if (!fila) {
        return l;
    }
    l.comprimido = fila->comprimido;
    l.fechaUm = fila->fechaUm;
    if (nombreLocal.isEmpty() && !rutaRepositorio::esNombreSeguro(fila->nombre)) {
        l.error = rutaRepositorio::textoNombreNoValido(fila->nombre);
        return l;
    }
    std::optional<Comprobacion> firmado;
    if (confianza_ != nullptr) {
        Comprobacion c = compruebaFirma(codFichero, *fila, *confianza_);
        if (c.estado != EstadoFirma::kValida && c.estado != EstadoFirma::kSinTabla) {
            l.error = c.texto();
            l.rechazo = c.estado;
            return l;
        }
        if (c.estado == EstadoFirma::kValida) {
            firmado = std::move(c);
        }
    }
    l.visible = platform::uneRuta(carpetaLocal, nombreLocal.isEmpty() ? fila->nombre : nombreLocal);
    const QString destino = nombreLocal.isEmpty() && l.comprimido
                                ? l.visible + formatoRepositorio::kExtensionComprimido
                                : l.visible;
    // Under another name a compressed file lands as stored, which its fingerprint does not
    // describe. A signed file is only trusted in place when it is the very file signed.
    if (nombreLocal.isEmpty() || !l.comprimido) {
        l.alDia = firmado ? coincideLocal(l.visible, firmado->huella)
                          : estaAlDia(codFichero, fila->fechaUm, l.visible);
    }
    try {
        if (!l.alDia && !leeVerificado(codFichero, fila->nBloques, destino, firmado, inicioMs, l)) {
            return l;
        }
    } catch (const ErrorEjecucion& e) {
        l.error = QStringLiteral("Error bajando fichero: \r") + e.descripcion();
        return l;
    }
    // The file is in place either way; without the counter kept only the rollback check of
    // later runs is weaker, which the debug output tells.
    if (firmado && confianza_ != nullptr &&
        !confianza_->anotaEdicion(firmado->ruta, firmado->edicion)) {
        qWarning("No se pudo guardar la edición aceptada de %s", qPrintable(firmado->ruta));
    }
    l.hecho = true;
    return l;
}

bool cCorvinal::leeVerificado(qint32 codFichero, const QVariant& bloques, const QString& destino,
                              const std::optional<Comprobacion>& firmado, qint64 inicioMs,
                              Lectura& l) {
    l.nBloques = numeroBloques(bloques);
    EscritorBloques escritor(destino, l.nBloques);
    CalculoHuella calculo(l.comprimido);
    if (!leeBloques(codFichero, escritor, l.nBloques, inicioMs, firmado ? &calculo : nullptr)) {
        return false;
    }
    // The blocks must be the very content signed, and restore to the very file signed, before
    // the writer puts anything in place.
    if (firmado) {
        const std::optional<Huella> leida = calculo.termina();
        if (!leida || !leida->mismoContenido(firmado->huella)) {
            l.error = TablaFirmas::kTextoFirmaNoValida;
            l.rechazo = EstadoFirma::kInvalida;
            return false;
        }
    }
    escritor.termina();
    return true;
}

std::optional<cCorvinal::FilaFichero> cCorvinal::leeFilaFichero(qint32 codFichero) {
    auto rs = consulta(
        QStringLiteral("SELECT codFichero,nombre,nBloques,comprimido,fechaUm,codCarpeta FROM "
                       "tFicheros WHERE codFichero=") +
        QString::number(codFichero));
    if (rs->eof()) {
        return std::nullopt;
    }
    return FilaFichero{rs->field(QStringLiteral("nombre")).value().toString(),
                       rs->field(QStringLiteral("nBloques")).value(),
                       rs->field(QStringLiteral("comprimido")).value().toInt() == 1,
                       rs->field(QStringLiteral("fechaUm")).value().toDateTime(),
                       rs->field(QStringLiteral("codCarpeta")).value().toInt()};
}

bool cCorvinal::estaAlDia(qint32 codFichero, const QDateTime& fechaUm, const QString& local) {
    const QFileInfo info(local);
    // Without a local file there is nothing to ask the database about.
    if (!info.isFile()) {
        return false;
    }
    const std::optional<Huella> huella = TablaHuellas(*conexion_).lee(codFichero);
    return huella && huella->esDe(fechaUm) && coincideLocal(local, *huella);
}

bool cCorvinal::coincideLocal(const QString& local, const Huella& h) {
    const QFileInfo info(local);
    if (!info.isFile() || h.longitud != info.size()) {
        return false;
    }
    // The window gets its turn while a large file is read, and may cancel.
    const std::optional<QString> sha256 = platform::sha256Recordado(local, [this] {
        platform::cede();
        return descargando_;
    });
    return sha256 && *sha256 == h.sha256;
}

bool cCorvinal::calculaHuella(qint32 codFichero) {
    std::optional<Huella> huella = huellaGuardada(codFichero);
    if (!huella) {
        return false;
    }
    enTransaccion([&] { TablaHuellas(*conexion_).escribe(codFichero, *huella); });
    return true;
}

std::optional<Huella> cCorvinal::huellaGuardada(qint32 codFichero) {
    const QTemporaryDir carpeta;
    if (!carpeta.isValid()) {
        throw ErrorEjecucion(platform::kErrorAccesoFichero,
                             QStringLiteral("No se pudo crear una carpeta temporal."), kOrigen);
    }
    Lectura l;
    {
        FinDescarga fin(descargando_);
        l = leeEnTransaccion(codFichero, carpeta.path(), kContenido, ahoraMs());
    }
    if (!l.error.isEmpty()) {
        emit estado(l.error, true);
    }
    if (!l.hecho) {
        return std::nullopt;
    }
    std::optional<Huella> huella =
        CalculoHuella::deFichero(carpeta.filePath(kContenido), l.comprimido);
    if (!huella) {
        emit estado(QStringLiteral("El fichero está guardado comprimido pero no se puede "
                                   "restaurar: no tiene huella."),
                    true);
        return std::nullopt;
    }
    huella->fechaUm = l.fechaUm;
    return huella;
}

bool cCorvinal::leeBloques(qint32 codFichero, EscritorBloques& escritor, qint32 nBloques,
                           qint64 inicioMs, CalculoHuella* calculo) {
    qint32 vel = 0;
    for (qint64 primero = 1; primero == 1 || primero <= nBloques;
         primero += formatoRepositorio::kBloquesPorConsulta) {
        const qint64 ultimo = primero + formatoRepositorio::kBloquesPorConsulta - 1;
        {
            // The range's columns come in sqlRango's order: block number, then its bytes.
            auto rs = con().executeSoloAdelante(sqlRango(codFichero, primero, ultimo, nBloques));
            const bool seguido = rs->recorreBloques([&](qint64 nBloque, const QByteArray& datos) {
                if (!descargando_) {
                    return false;
                }
                escritor.agrega(nBloque, datos);
                if (calculo != nullptr) {
                    calculo->agrega(datos);
                }
                informaProgreso(escritor.recibidos(), nBloques, ahoraMs() - inicioMs, vel);
                return true;
            });
            if (!seguido) {
                return false;
            }
        }
        // A short range is a missing block: a damaged count never walks the empty ranges
        // after it.
        escritor.exigeHasta(ultimo);
        // The window gets its turn whatever a range held.
        platform::cede();
    }
    return descargando_;
}

void cCorvinal::virtualizaDirectorio(const QString& origen, const QString& destino,
                                     platform::Compresion& jzp) {
    const qint32 codCarpeta = obtieneCodCarpeta(origen);
    if (codCarpeta <= 0) {
        return;
    }
    ArbolCarpetas arbol;
    {
        auto rs =
            consulta(QStringLiteral("SELECT codCarpeta,carpeta,codCarpetaPadre FROM tCarpetas"));
        for (; !rs->eof(); rs->moveNext()) {
            const QVariant padre = rs->field(QStringLiteral("codCarpetaPadre")).value();
            if (!padre.isNull()) {
                arbol.hijos[padre.toInt()].append(
                    {rs->field(QStringLiteral("codCarpeta")).value().toInt(),
                     rs->field(QStringLiteral("carpeta")).value().toString()});
            }
        }
    }
    reflejaCarpeta(codCarpeta, destino, jzp, arbol);
}

void cCorvinal::reflejaCarpeta(qint32 codCarpeta, const QString& destino, platform::Compresion& jzp,
                               const ArbolCarpetas& arbol) {
    if (!QFileInfo(destino).isDir() && !QDir().mkdir(destino)) {
        throw ErrorEjecucion(platform::kErrorAccesoFichero,
                             QStringLiteral("No se pudo crear la carpeta: ") + destino, kOrigen);
    }
    QVector<FilaEspejo> filas;
    {
        // The table is named as created: MySQL on this platform tells names apart by case.
        auto rs = consulta(
            QStringLiteral("SELECT codFichero,nombre,fechaUm,comprimido  FROM tFicheros WHERE "
                           "codCarpeta=") +
            QString::number(codCarpeta));
        for (; !rs->eof(); rs->moveNext()) {
            filas.append({rs->field(QStringLiteral("codFichero")).value().toInt(),
                          rs->field(QStringLiteral("nombre")).value().toString(),
                          rs->field(QStringLiteral("fechaUm")).value().toDateTime(),
                          conexion_->bolActivo(rs->field(QStringLiteral("comprimido")).value())});
        }
    }
    for (const FilaEspejo& fila : filas) {
        // An unfinished upload is not a file of the repository yet.
        if (fila.nombre.endsWith(formatoRepositorio::kSufijoSubida)) {
            continue;
        }
        if (!rutaRepositorio::esNombreSeguro(fila.nombre)) {
            emit estado(rutaRepositorio::textoNombreNoValido(fila.nombre), true);
            continue;
        }
        const QString local = platform::uneRuta(destino, fila.nombre);
        const QDateTime fechaLocal = fechaFicheroLocal(local);
        const bool nuevo = !fechaLocal.isValid() ||
                           (fila.fechaUm.isValid() && fechaLocal.secsTo(fila.fechaUm) > 0);
        if (!nuevo) {
            emit ficheroAlDia(local);
            continue;
        }
        const bool bajado = bajaFichero(fila.codFichero, destino, QString());
        const QString jzpLocal = local + formatoRepositorio::kExtensionComprimido;
        // A listener of ficheroBajado may have restored it already: restore once.
        if (bajado && fila.comprimido && QFileInfo::exists(jzpLocal)) {
            restauraComprimido(local, jzp);
        }
    }
    for (const auto& [codHijo, nombreHijo] : arbol.hijos.value(codCarpeta)) {
        if (!rutaRepositorio::esNombreSeguro(nombreHijo)) {
            emit estado(rutaRepositorio::textoNombreNoValido(nombreHijo), true);
            continue;
        }
        reflejaCarpeta(codHijo, platform::uneRuta(destino, nombreHijo), jzp, arbol);
    }
}

void cCorvinal::restauraComprimido(const QString& fichero, platform::Compresion& jzp) {
    const QString comprimido = fichero + formatoRepositorio::kExtensionComprimido;
    jzp.setFicheroComprimido(comprimido);
    jzp.setFicheroSalida(fichero);
    jzp.restaura();
    QFile::remove(comprimido);
}
