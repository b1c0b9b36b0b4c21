#include "platform/Connection.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "platform/BackendReal.h"
#include "platform/Espera.h"
#include "platform/Recordset.h"
#include "platform/Reloj.h"

namespace platform {

namespace {

const QString kOrigen = QStringLiteral("Connection");

Connection::FabricaBackend& fabricaActual() {
    static Connection::FabricaBackend fabrica;
    return fabrica;
}

ErrorEjecucion errorCerrado() {
    return ErrorEjecucion(Connection::kErrorObjetoCerrado,
                          QStringLiteral("No se permite la operación si el objeto está cerrado."),
                          kOrigen);
}

// Back-off between connects refused by a full server: many launchers starting together must
// not come back in step, so every pause is drawn between half and all of its nominal length.
constexpr qint64 kPrimeraPausaMs = 200;
constexpr qint64 kPausaMaximaMs = 5000;
// The bound of those retries when the connection sets no connection time-out.
constexpr qint64 kEsperaConexionPorDefectoMs = 15000;

qint64 conVariacion(qint64 pausa) {
    return pausa / 2 + QRandomGenerator::global()->bounded(pausa / 2 + 1);
}

bool sinMarsPorEntorno() {
    return qEnvironmentVariable("CORVINAL_SIN_MARS") == u"1";
}

ErrorEjecucion errorOcupada() {
    return ErrorEjecucion(Connection::kErrorMotor,
                          QStringLiteral("La conexión está ocupada con los resultados de otra "
                                         "instrucción"),
                          kOrigen, QString::fromLatin1(Connection::kEstadoOcupada), 0);
}

ErrorEjecucion errorCancelado() {
    return ErrorEjecucion(Connection::kErrorCancelado, QStringLiteral("Operación cancelada."),
                          kOrigen);
}

}  // namespace

// Work accepted asynchronously and completed on a later turn of the event loop.
struct Connection::Pendiente {
    enum class Tipo { Abrir, Ejecutar, AbrirRecordset };
    Tipo tipo;
    QString sql;
    Recordset* recordset = nullptr;
};

Connection::Connection(QObject* parent) : QObject(parent), sinMars_(sinMarsPorEntorno()) {
    qRegisterMetaType<platform::RecordsetPtr>();
}

Connection::~Connection() {
    pendientes_.clear();
    sueltaRecordsets();
    if (backend_) {
        backend_->close();
    }
}

Connection::FabricaBackend Connection::estableceFabricaBackend(FabricaBackend fabrica) {
    return std::exchange(fabricaActual(), std::move(fabrica));
}

void Connection::setConnectionString(const QString& texto) {
    if (state() != kCerrado) {
        throw ErrorEjecucion(
            kErrorObjetoAbierto,
            QStringLiteral("No se permite la operación si el objeto está abierto."), kOrigen);
    }
    connectionString_ = texto;
}

qint32 Connection::state() const {
    if (conectando_) {
        return kConectando;
    }
    if (!backend_) {
        return kCerrado;
    }
    return pendientes_.empty() ? kAbierto : (kAbierto | kEjecutando);
}

QString Connection::motor() const {
    return backend_ ? backend_->motor() : QString();
}

void Connection::open(const QString& texto, qint32 options) {
    if (state() != kCerrado) {
        throw ErrorEjecucion(
            kErrorObjetoAbierto,
            QStringLiteral("No se permite la operación si el objeto está abierto."), kOrigen);
    }
    if (!texto.isEmpty()) {
        connectionString_ = texto;
    }
    if (options != -1 && (options & kOpcionAsincrona)) {
        conectando_ = true;
        pendientes_.push_back(std::make_unique<Pendiente>(Pendiente{Pendiente::Tipo::Abrir, {}}));
        programaPendientes();
        return;
    }
    try {
        backend_ = abreBackend();
    } catch (const ErrorEjecucion& e) {
        emit connectComplete(&e, kEstadoErrores);
        throw;
    }
    transaccionAbierta_ = false;
    emit connectComplete(nullptr, kEstadoOk);
}

std::unique_ptr<ConnectionBackend> Connection::abreBackend() {
    const FabricaBackend& fabrica = fabricaActual();
    std::unique_ptr<ConnectionBackend> nuevo =
        fabrica ? fabrica(connectionString_) : creaBackendReal(connectionString_);
    if (!nuevo) {
        throw ErrorEjecucion(
            kErrorProveedor,
            QStringLiteral("No se pudo crear la conexión para: %1").arg(connectionString_),
            kOrigen);
    }
    abreConReintentos(*nuevo);
    return nuevo;
}

void Connection::abreConReintentos(ConnectionBackend& nuevo) {
    const qint64 limite =
        reloj().monotonoMs() +
        (connectionTimeout_ > 0 ? qint64(connectionTimeout_) * 1000 : kEsperaConexionPorDefectoMs);
    for (qint64 pausa = kPrimeraPausaMs;; pausa = std::min(pausa * 2, kPausaMaximaMs)) {
        try {
            nuevo.open(connectionTimeout_);
            return;
        } catch (const ErrorEjecucion& e) {
            const qint64 queda = limite - reloj().monotonoMs();
            if (!esServidorLleno(e) || queda <= 0) {
                throw;
            }
            esperaMs(std::min(conVariacion(pausa), queda));
        }
    }
}

void Connection::close() {
    ++generacion_;
    pendientes_.clear();
    conectando_ = false;
    transaccionAbierta_ = false;
    sueltaRecordsets();
    if (backend_) {
        std::unique_ptr<ConnectionBackend> viejo = std::move(backend_);
        viejo->close();
    }
}

void Connection::sueltaRecordsets() {
    // A recordset still reading from the engine cannot outlive the session it reads from.
    std::vector<Recordset*> abiertos;
    abiertos.swap(recordsets_);
    for (Recordset* rs : abiertos) {
        rs->desconecta();
    }
}

void Connection::registra(Recordset* rs) {
    if (std::find(recordsets_.begin(), recordsets_.end(), rs) == recordsets_.end()) {
        recordsets_.push_back(rs);
    }
}

void Connection::olvida(Recordset* rs) {
    recordsets_.erase(std::remove(recordsets_.begin(), recordsets_.end(), rs), recordsets_.end());
    quitaPendientes(rs);
}

void Connection::quitaPendientes(Recordset* rs) {
    pendientes_.erase(
        std::remove_if(pendientes_.begin(), pendientes_.end(),
                       [rs](const std::unique_ptr<Pendiente>& p) { return p->recordset == rs; }),
        pendientes_.end());
}

ConnectionBackend& Connection::backendAbierto() const {
    if (!backend_) {
        throw errorCerrado();
    }
    return *backend_;
}

qint32 Connection::executeConValores(const QString& sql, const QVariantList& parametros) {
    return ejecutaConEventos(sql, parametros, [](Resultado&) { return RecordsetPtr(); })
        .recordsAffected;
}

RecordsetPtr Connection::execute(const QString& sql, qint32* recordsAffected, qint32 options) {
    if (recordsAffected) {
        *recordsAffected = -1;
    }
    const bool conOpciones = options != -1;
    const bool sinRegistros = conOpciones && (options & kOpcionSinRegistros);
    if (conOpciones && (options & kOpcionEjecucionAsincrona)) {
        if (state() == kCerrado) {
            throw errorCerrado();
        }
        emit willExecute(sql);
        pendientes_.push_back(
            std::make_unique<Pendiente>(Pendiente{Pendiente::Tipo::Ejecutar, sql}));
        programaPendientes();
        return nullptr;
    }
    RecordsetPtr rs;
    const Resultado resultado = ejecutaConEventos(sql, {}, [&](Resultado& r) {
        if (r.cursor && !sinRegistros) {
            rs = std::make_shared<Recordset>();
            rs->source_ = sql;
            rs->abreEn(this);
            rs->recibeResultado(r);
        }
        return rs;
    });
    if (recordsAffected) {
        *recordsAffected = resultado.recordsAffected;
    }
    return rs;
}

RecordsetPtr Connection::executeSoloAdelante(const QString& sql) {
    auto rs = std::make_shared<Recordset>();
    rs->setSoloAdelante(true);
    rs->open(sql, this);
    return rs;
}

bool Connection::sinMars() const {
    return sinMars_ || (backend_ && backend_->sinMars());
}

void Connection::compruebaLibre(const Recordset* propio) const {
    if (!sinMars()) {
        return;
    }
    for (const Recordset* rs : recordsets_) {
        if (rs != propio && rs->leeDelMotor()) {
            throw errorOcupada();
        }
    }
}

bool Connection::enTransaccion() const {
    if (!backend_) {
        return false;
    }
    return backend_->enTransaccion().value_or(transaccionAbierta_);
}

void Connection::anotaTransaccion(const QString& sql) {
    static const QRegularExpression inicio(
        QStringLiteral(
            R"(^\s*(START\s+TRANSACTION|BEGIN\s+(TRAN|TRANSACTION|WORK|DEFERRED|IMMEDIATE|EXCLUSIVE)\b|BEGIN\s*;?\s*$))"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression fin(QStringLiteral(R"(^\s*(COMMIT|ROLLBACK)\b(?!\s+TO\b))"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (inicio.match(sql).hasMatch()) {
        transaccionAbierta_ = true;
    } else if (fin.match(sql).hasMatch()) {
        transaccionAbierta_ = false;
    }
}

Resultado Connection::ejecutaConEventos(const QString& sql, const QVariantList& parametros,
                                        const Receptor& recibe, Recordset* rsFallido,
                                        bool diferido) {
    if (!diferido) {
        completaPendientes();
        backendAbierto();
        emit willExecute(sql);
    }
    Resultado resultado;
    RecordsetPtr rs;
    try {
        compruebaLibre(rsFallido);
        resultado = backendAbierto().execute(sql, parametros, commandTimeout_);
        anotaTransaccion(sql);
        for (const QString& aviso : resultado.avisos) {
            emit infoMessage(aviso);
        }
        rs = recibe(resultado);
    } catch (const ErrorEjecucion& e) {
        RecordsetPtr evento;
        if (rsFallido) {
            evento = rsFallido->puntero();
            rsFallido->alFallar();
        }
        emit executeComplete(-1, &e, kEstadoErrores, sql, evento);
        throw;
    }
    emit executeComplete(resultado.recordsAffected, nullptr, kEstadoOk, sql, rs);
    return resultado;
}

void Connection::programaPendientes() {
    QTimer::singleShot(0, this, [this] { completaPendientes(); });
}

void Connection::completaPendientes() {
    while (!pendientes_.empty()) {
        std::unique_ptr<Pendiente> p = std::move(pendientes_.front());
        pendientes_.pop_front();
        ejecutaPendiente(*p);
    }
}

void Connection::ejecutaPendiente(Pendiente& p) {
    if (p.tipo == Pendiente::Tipo::Abrir) {
        abrePendiente();
        return;
    }
    Recordset* destino = p.recordset;
    try {
        ejecutaConEventos(
            p.sql, {},
            [destino](Resultado& r) -> RecordsetPtr {
                if (!destino) {
                    return nullptr;
                }
                destino->recibeResultado(r);
                return destino->puntero();
            },
            destino, true);
    } catch (const ErrorEjecucion&) {
        // Already reported by executeComplete: nobody waits on an asynchronous call.
    }
}

void Connection::abrePendiente() {
    // A close or cancel while the connect waited for a full server ends it.
    const quint64 vez = generacion_;
    std::unique_ptr<ConnectionBackend> nuevo;
    try {
        nuevo = abreBackend();
    } catch (const ErrorEjecucion& e) {
        conectando_ = false;
        emit connectComplete(&e, kEstadoErrores);
        return;
    }
    if (vez != generacion_) {
        nuevo->close();
        if (conectando_) {
            conectando_ = false;
            const ErrorEjecucion e = errorCancelado();
            emit connectComplete(&e, kEstadoErrores);
        }
        return;
    }
    backend_ = std::move(nuevo);
    transaccionAbierta_ = false;
    conectando_ = false;
    emit connectComplete(nullptr, kEstadoOk);
}

void Connection::abreRecordsetAsincrono(Recordset* rs, const QString& sql) {
    if (state() == kCerrado) {
        throw errorCerrado();
    }
    registra(rs);
    emit willExecute(sql);
    pendientes_.push_back(
        std::make_unique<Pendiente>(Pendiente{Pendiente::Tipo::AbrirRecordset, sql, rs}));
    programaPendientes();
}

QVariant Connection::property(const QString& name) const {
    return backendAbierto().property(name);
}

QStringList Connection::primaryKey(const QString& table) {
    ConnectionBackend& backend = backendAbierto();
    compruebaLibre(nullptr);
    return backend.primaryKey(table);
}

void Connection::cancel() {
    ++generacion_;
    std::deque<std::unique_ptr<Pendiente>> cancelados;
    cancelados.swap(pendientes_);
    if (backend_) {
        backend_->cancel();
    }
    const ErrorEjecucion e = errorCancelado();
    for (const std::unique_ptr<Pendiente>& p : cancelados) {
        if (p->tipo == Pendiente::Tipo::Abrir) {
            conectando_ = false;
            emit connectComplete(&e, kEstadoErrores);
            continue;
        }
        RecordsetPtr destino = p->recordset ? p->recordset->puntero() : nullptr;
        if (p->recordset) {
            p->recordset->alFallar();
        }
        emit executeComplete(-1, &e, kEstadoErrores, p->sql, destino);
    }
}

}  // namespace platform
