#include "repository/cCorvinal.h"

#include <QDateTime>
#include <limits>
#include <utility>

#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"
#include "platform/CodigosError.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"
#include "platform/Espera.h"
#include "platform/Numero.h"
#include "platform/Recordset.h"
#include "platform/Reloj.h"
#include "platform/TextoSql.h"
#include "repository/CalculoHuella.h"
#include "repository/FormatoRepositorio.h"
#include "repository/InsercionBloques.h"
#include "repository/RutaRepositorio.h"
#include "repository/TablaFirmas.h"
#include "repository/TablaHuellas.h"

using formatoRepositorio::kTamBloque;
using platform::ErrorEjecucion;

namespace {

const QString kOrigen = QStringLiteral("cCorvinal");
constexpr QChar kCR = u'\r';
// Seconds a delete of a whole file may take.
constexpr qint32 kTiempoEliminar = 120;
// Blocks stored per transaction in a one-call upload: one disk flush for this many blocks
// instead of one each, while an open transaction holds at most a few megabytes.
constexpr qint32 kBloquesPorLote = 256;

}  // namespace

// The upload under way: the local file read block by block, the recordset the blocks are
// added through, the statement that ends the open batch of blocks (empty when none), the code
// of the file it replaces (agreed for this upload only), and the fingerprint of the very bytes
// stored, for the row stamped fechaUm.
struct cCorvinal::Subida {
    QFile fichero;
    std::optional<InsercionBloques> bloques;
    QString finLote;
    qint32 contador = 0;
    qint32 nBloques = 0;
    qint64 inicioMs = 0;
    qint32 codigoASustituir = 0;
    QString nombre;
    QDateTime fechaUm;
    qint32 codCarpeta = 0;
    std::optional<CalculoHuella> huella;
};

cCorvinal::cCorvinal(QObject* parent) : QObject(parent) {}

cCorvinal::~cCorvinal() = default;

platform::Connection& cCorvinal::con() const {
    if (conexion_ == nullptr || conexion_->con() == nullptr) {
        throw ErrorEjecucion(platform::kErrorSinObjeto,
                             QStringLiteral("El repositorio no tiene conexión."), kOrigen);
    }
    return *conexion_->con();
}

std::shared_ptr<platform::Recordset> cCorvinal::consulta(const QString& sql) const {
    auto rs = con().execute(sql);
    if (!rs) {
        throw ErrorEjecucion(platform::Connection::kErrorObjetoCerrado,
                             QStringLiteral("La consulta no devolvió registros: ") + sql, kOrigen);
    }
    return rs;
}

QString cCorvinal::texto(const QString& valor) const {
    return platform::literalTextoSql(valor,
                                     conexion_ != nullptr && conexion_->motor() == Motor::MySql);
}

qint64 cCorvinal::ahoraMs() {
    return platform::reloj().monotonoMs();
}

qint32 cCorvinal::velocidad(qint64 bloques, qint64 ms) {
    const double v = platform::redondeaPar(double(bloques) * kTamBloque / (double(ms) / 1000.0));
    return v >= std::numeric_limits<qint32>::max() ? std::numeric_limits<qint32>::max() : qint32(v);
}

void cCorvinal::informaFin(qint32 bloques, qint64 inicioMs) {
    const qint64 e = ahoraMs() - inicioMs;
    if (e > 0) {
        emit progreso(1.0f, 0, velocidad(bloques, e));
    }
}

QString cCorvinal::empiezaTransaccion() {
    // The connection is borrowed: inside its owner's transaction the repository works within
    // it, since beginning another would commit the owner's work on MySQL.
    if (con().enTransaccion()) {
        return QString();
    }
    // con() above proved conexion_ is set.
    QString inicio;
    switch (conexion_->motor()) {
        case Motor::Fichero:
            inicio = QStringLiteral("BEGIN");
            break;
        case Motor::MySql:
            inicio = QStringLiteral("START TRANSACTION WITH CONSISTENT SNAPSHOT");
            break;
        case Motor::SqlServer:
        case Motor::Oracle:
            break;
    }
    if (inicio.isEmpty()) {
        return QString();
    }
    try {
        con().execute(inicio, nullptr, platform::Connection::kOpcionSinRegistros);
    } catch (const ErrorEjecucion&) {
        // Without the transaction the blocks are still checked; only consistency is lost.
        return QString();
    }
    return QStringLiteral("COMMIT");
}

void cCorvinal::enTransaccion(const std::function<void()>& trabajo) {
    const QString fin = empiezaTransaccion();
    try {
        trabajo();
    } catch (const ErrorEjecucion&) {
        terminaTransaccion(fin.isEmpty() ? fin : QStringLiteral("ROLLBACK"));
        throw;
    }
    terminaTransaccion(fin);
}

void cCorvinal::terminaTransaccion(const QString& fin) {
    if (fin.isEmpty()) {
        return;
    }
    try {
        con().execute(fin, nullptr, platform::Connection::kOpcionSinRegistros);
    } catch (const ErrorEjecucion&) {
        // A broken connection has ended the transaction already.
    }
}

void cCorvinal::informaProgreso(qint32 hechos, qint32 total, qint64 e, qint32& vel) {
    const float fraccion = float(hechos) / float(total);
    // A damaged count can promise more time than 32 bits hold.
    const double queda = platform::redondeaPar(double(e) / hechos * double(total - hechos));
    const qint32 restante = queda >= std::numeric_limits<qint32>::max()
                                ? std::numeric_limits<qint32>::max()
                                : qint32(queda);
    if (e != 0) {
        vel = velocidad(hechos, e);
    }
    emit progreso(fraccion, restante, vel);
}

// ---- Upload ----

bool cCorvinal::subeFichero(qint32 codCarpeta, const QString& fichero, const QString& nombre,
                            bool comprimido, bool porPasos) {
    if (!rutaRepositorio::esNombrePublicable(nombre)) {
        throw ErrorEjecucion(platform::kErrorAccesoFichero,
                             rutaRepositorio::textoNombreNoValido(nombre), kOrigen);
    }
    subida_ = std::make_unique<Subida>();
    subida_->nombre = nombre;
    subida_->codCarpeta = codCarpeta;
    if (!aceptaSustitucion(codCarpeta, nombre)) {
        subida_.reset();
        return false;
    }
    abreFicheroLocal(fichero);
    subida_->huella.emplace(comprimido);
    codFicheroSubido_ = codigoSiguienteFichero();
    subida_->nBloques = formatoRepositorio::nBloques(subida_->fichero.size());
    // The moment the row is written stamps its version, and its fingerprint row with it.
    subida_->fechaUm = formatoRepositorio::alSegundo(QDateTime::currentDateTime());
    insertaFilaPendiente(codCarpeta, nombre, comprimido);
    abreBloques();
    if (porPasos) {
        return false;
    }
    return guardaTodo(fichero);
}

bool cCorvinal::aceptaSustitucion(qint32 codCarpeta, const QString& nombre) {
    const QString carpeta = QString::number(codCarpeta);
    auto existente = consulta(QStringLiteral("SELECT codFichero FROM tFicheros WHERE codCarpeta=") +
                              carpeta + QStringLiteral(" AND nombre=") + texto(nombre));
    if (existente->eof()) {
        return true;
    }
    codFicheroSubido_ = existente->field(QStringLiteral("codFichero")).value().toInt();
    existente.reset();
    if (!modTolvane1::pregunta(QStringLiteral("Ya existe un fichero con el nombre: ") + nombre +
                               kCR + QStringLiteral("¿Desea sustituirlo?"))) {
        return false;
    }
    subida_->codigoASustituir = codFicheroSubido_;
    // A ".new" row left by an upload that died midway would clash with this one.
    auto pendiente = consulta(QStringLiteral("SELECT codFichero FROM tFicheros WHERE codCarpeta=") +
                              carpeta + QStringLiteral(" AND nombre=") +
                              texto(nombre + formatoRepositorio::kSufijoSubida));
    if (!pendiente->eof()) {
        const qint32 cod = pendiente->field(QStringLiteral("codFichero")).value().toInt();
        pendiente.reset();
        eliminafichero(cod);
    }
    return true;
}

void cCorvinal::abreFicheroLocal(const QString& fichero) {
    subida_->fichero.setFileName(fichero);
    if (subida_->fichero.open(QIODevice::ReadOnly)) {
        return;
    }
    const ErrorEjecucion error = platform::errorLectura(subida_->fichero, kOrigen);
    subida_.reset();
    throw error;
}

void cCorvinal::insertaFilaPendiente(qint32 codCarpeta, const QString& nombre, bool comprimido) {
    platform::Recordset fila;
    fila.open(QStringLiteral("SELECT * FROM tFicheros WHERE codfichero=-1"), &con(), 0,
              platform::Recordset::kOptimista);
    fila.addNew();
    fila.field(QStringLiteral("codFichero")).setValue(codFicheroSubido_);
    fila.field(QStringLiteral("codCarpeta")).setValue(codCarpeta);
    fila.field(QStringLiteral("nombre")).setValue(nombre + formatoRepositorio::kSufijoSubida);
    fila.field(QStringLiteral("nBloques")).setValue(subida_->nBloques);
    fila.field(QStringLiteral("comprimido")).setValue(comprimido ? 1 : 0);
    fila.field(QStringLiteral("fechaUm")).setValue(subida_->fechaUm);
    fila.update();
    fila.close();
}

void cCorvinal::abreBloques() {
    subida_->bloques.emplace(con(), conexion_->motor(), codFicheroSubido_);
    subida_->inicioMs = ahoraMs();
}

bool cCorvinal::guardaTodo(const QString& fichero) {
    try {
        while (!subida_->fichero.atEnd()) {
            guardaBloque(true);
        }
        terminaSubida(fichero);
    } catch (const ErrorEjecucion& e) {
        fallaSubida(e.descripcion());
        return false;
    }
    return true;
}

bool cCorvinal::pasoSubirFichero() {
    if (!subida_ || !subida_->bloques) {
        return false;
    }
    try {
        if (subida_->fichero.atEnd()) {
            terminaSubida(subida_->nombre);
            return false;
        }
        guardaBloque(false);
    } catch (const ErrorEjecucion& e) {
        fallaSubida(e.descripcion());
        return false;
    }
    return true;
}

void cCorvinal::guardaBloque(bool enLotes) {
    Subida& s = *subida_;
    const QByteArray datos = s.fichero.read(kTamBloque);
    if (datos.isEmpty()) {
        throw platform::errorLectura(s.fichero, kOrigen);
    }
    s.huella->agrega(datos);
    // The row is still named ".new", so readers never see the blocks of an open batch.
    if (enLotes && s.finLote.isEmpty()) {
        s.finLote = empiezaTransaccion();
    }
    ++s.contador;
    const qint64 e = ahoraMs() - s.inicioMs;
    if (s.nBloques > 0 && e > 0) {
        qint32 vel = 0;
        informaProgreso(s.contador, s.nBloques, e, vel);
    }
    platform::cede();
    s.bloques->agrega(s.contador, datos);
    if (s.contador % kBloquesPorLote == 0) {
        cierraLote();
    }
}

void cCorvinal::cierraLote() {
    subida_->bloques->vacia();
    const QString fin = std::exchange(subida_->finLote, QString());
    if (!fin.isEmpty()) {
        // Unlike a read transaction's end, a failed commit loses blocks: the upload fails.
        con().execute(fin, nullptr, platform::Connection::kOpcionSinRegistros);
    }
}

void cCorvinal::terminaSubida(const QString& quien) {
    Subida& s = *subida_;
    if (s.contador != s.nBloques) {
        throw ErrorEjecucion(platform::kErrorAccesoFichero,
                             QStringLiteral("El fichero ") + s.fichero.fileName() +
                                 QStringLiteral(" cambió de tamaño mientras se subía."),
                             kOrigen);
    }
    cierraLote();
    informaFin(s.contador, s.inicioMs);
    std::optional<Huella> huella = s.huella->termina();
    if (huella) {
        huella->fechaUm = s.fechaUm;
    } else if (!claveFirma_.isEmpty()) {
        throw ErrorEjecucion(platform::kErrorArgumento,
                             QStringLiteral("El fichero comprimido no se puede restaurar: no se "
                                            "puede firmar."),
                             kOrigen);
    }
    // The old file goes only now that the new blocks are stored; inside one transaction
    // readers see the old file or the new one, never neither, and the new one with its
    // fingerprint and signature. Signed before the old row goes, whose release it follows.
    enTransaccion([&] {
        if (!claveFirma_.isEmpty()) {
            escribeFirma(codFicheroSubido_, s.codCarpeta, s.nombre, *huella, claveFirma_);
        }
        if (s.codigoASustituir > 0) {
            eliminafichero(s.codigoASustituir);
        }
        conexion_->executeNR(QStringLiteral("UPDATE tFicheros SET nombre=") + texto(s.nombre) +
                             QStringLiteral(" WHERE codFichero=") +
                             QString::number(codFicheroSubido_));
        if (huella) {
            TablaHuellas(*conexion_).escribe(codFicheroSubido_, *huella);
        }
    });
    emit estado(QStringLiteral("Fichero ") + quien + QStringLiteral(" subido con éxito."), false);
    emit ficheroSubido();
    subida_.reset();
}

void cCorvinal::fallaSubida(const QString& descripcion) {
    emit estado(QStringLiteral("Error subiendo fichero: ") + kCR + descripcion, true);
    if (subida_ && !subida_->finLote.isEmpty()) {
        terminaTransaccion(QStringLiteral("ROLLBACK"));
    }
    subida_.reset();
    try {
        conexion_->executeNR(QStringLiteral("DELETE FROM tDatosFichero WHERE codFichero=") +
                             QString::number(codFicheroSubido_));
    } catch (const ErrorEjecucion&) {
        // The connection that failed the upload may be gone; the ".new" row marks it unfinished.
    }
}

void cCorvinal::eliminafichero(qint32 codFichero) {
    platform::Connection& c = con();
    const qint32 tiempo = c.commandTimeout();
    c.setCommandTimeout(kTiempoEliminar);
    const QString cod = QString::number(codFichero);
    try {
        TablaHuellas(*conexion_).elimina(codFichero);
        TablaFirmas(*conexion_).elimina(codFichero);
        conexion_->executeNR(QStringLiteral("DELETE FROM tDatosFichero WHERE codFichero=") + cod);
        conexion_->executeNR(QStringLiteral("DELETE FROM tFicheros WHERE codFichero=") + cod);
    } catch (...) {
        c.setCommandTimeout(tiempo);
        throw;
    }
    c.setCommandTimeout(tiempo);
}

qint32 cCorvinal::codigoSiguienteFichero() {
    return conexion_->codsiguiente(QStringLiteral("tFicheros"), QStringLiteral("codFichero"));
}
