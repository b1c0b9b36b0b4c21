#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/CodigosError.h"
#include "platform/ConnectionBackend.h"
#include "platform/ErrorEjecucion.h"
#include "platform/ErrorMotor.h"
#include "platform/Instalado.h"

namespace platform {

class Recordset;
using RecordsetPtr = std::shared_ptr<Recordset>;

// A database session after the data-access Connection the toolkit was written for: it turns
// the toolkit's provider texts into an engine (SQLite file or ODBC), runs statements and raises
// willExecute/executeComplete around every one of them, whoever runs it. Every failure throws
// ErrorEjecucion carrying the engine's SQLSTATE and native code; its number is
// ErrorEjecucion::kTiempoAgotado for a time-out, kConexionRota for a lost connection and
// Connection::kErrorMotor for any other engine error.
class Connection : public QObject {
    Q_OBJECT
public:
    // State bits, as the data-access library reports them.
    static constexpr qint32 kCerrado = 0;
    static constexpr qint32 kAbierto = 1;
    static constexpr qint32 kConectando = 2;
    static constexpr qint32 kEjecutando = 4;
    // Option bits of open/execute.
    static constexpr qint32 kOpcionAsincrona = 16;           // open: connect asynchronously
    static constexpr qint32 kOpcionSinRegistros = 128;       // execute: no records returned
    static constexpr qint32 kOpcionEjecucionAsincrona = 16;  // execute: 16 (+128 = 144)
    // Status values of the completion events.
    static constexpr qint32 kEstadoOk = 1;
    static constexpr qint32 kEstadoErrores = 2;
    // Error numbers of the layer itself (engine errors other than time-out and lost connection
    // use kErrorMotor).
    static constexpr qint32 kErrorMotor = kErrorMotorGenerico;
    static constexpr qint32 kErrorCancelado = platform::kErrorCancelado;
    static constexpr qint32 kErrorProveedor = platform::kErrorProveedor;
    static constexpr qint32 kErrorObjetoCerrado = platform::kErrorObjetoCerrado;
    static constexpr qint32 kErrorObjetoAbierto = platform::kErrorObjetoAbierto;
    static constexpr qint32 kErrorEjecutando = platform::kErrorEjecutando;
    // SQLSTATE of a statement refused because another one still has unread rows.
    static constexpr const char* kEstadoOcupada = "24000";

    using FabricaBackend = std::function<std::unique_ptr<ConnectionBackend>(const QString&)>;

    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;

    // Replaces how every Connection makes its engine session from its text; nullptr restores
    // the real engines. Tests use it to record statements. Returns the one replaced.
    static FabricaBackend estableceFabricaBackend(FabricaBackend fabrica);

    // The connection text as given (provider form or ODBC form).
    QString connectionString() const { return connectionString_; }
    // Sets the text used by the next open; fails (kErrorObjetoAbierto) while open.
    void setConnectionString(const QString& texto);
    // Seconds a statement may run before it fails with a time-out; 0 = no limit. Default 30.
    qint32 commandTimeout() const { return commandTimeout_; }
    void setCommandTimeout(qint32 segundos) { commandTimeout_ = segundos; }
    // Seconds an open may wait for the server; 0 = the driver's default. Default 15.
    qint32 connectionTimeout() const { return connectionTimeout_; }
    void setConnectionTimeout(qint32 segundos) { connectionTimeout_ = segundos; }
    // Kept for the toolkit (2 server side, 3 client side); results behave the same either way.
    qint32 cursorLocation() const { return cursorLocation_; }
    void setCursorLocation(qint32 ubicacion) { cursorLocation_ = ubicacion; }

    // Opens with `texto` (or the current text when empty). With options 16 it returns at once in
    // state kConectando and completes on a later turn of the event loop with connectComplete;
    // otherwise it completes (connectComplete included) before returning and throws on failure.
    void open(const QString& texto = QString(), qint32 options = -1);
    // Closes the session, dropping any pending asynchronous work; safe when closed.
    void close();
    // kCerrado, kAbierto, kConectando, or kAbierto|kEjecutando while an asynchronous statement
    // is pending.
    qint32 state() const;
    // "sqlite", "odbc" (or a test backend's name) once opened; empty before.
    QString motor() const;

    // Runs one statement. Returns its records, read to the end and the engine's statement
    // closed, when it produced columns (nullptr otherwise, and always with options 128). With
    // option 16 (e.g. 144) it returns nullptr at once and completes on a later event-loop turn
    // with executeComplete. `recordsAffected` receives the rows changed (-1 when unknown or
    // asynchronous).
    RecordsetPtr execute(const QString& sql, qint32* recordsAffected = nullptr,
                         qint32 options = -1);
    // Runs a statement that returns no rows with `parametros` bound to its "?" marks in order
    // (as the backend binds them), with the events of execute; answers the rows it changed
    // (-1 when unknown).
    qint32 executeConValores(const QString& sql, const QVariantList& parametros);
    // Runs a query whose rows are read forward straight from the engine, one in memory, for a
    // caller that reads them to the end within one function; the engine's statement stays open
    // until the last row is read or the recordset is closed. Never null.
    RecordsetPtr executeSoloAdelante(const QString& sql);

    // A statement issued while another recordset of this connection still has unread rows
    // fails with SQLSTATE 24000, as on a driver without multiple active result sets. Always on
    // for SQL Server; otherwise off unless CORVINAL_SIN_MARS=1 is in the environment.
    bool sinMars() const;
    void setSinMars(bool activo) { sinMars_ = activo; }
    // A transaction is open on the session: begun by a statement run through this connection,
    // or the engine itself says so. false when closed.
    bool enTransaccion() const;
    // A property of the open session: "Data Source" (file path or server), "Provider", "DBMS Name".
    QVariant property(const QString& name) const;
    // Stops a pending asynchronous open or statement (its completion reports it as cancelled).
    void cancel();

    // The primary key columns of `table` (empty when the catalogue gives none). Throws when closed.
    QStringList primaryKey(const QString& table);

signals:
    // Before every statement, with its text.
    void willExecute(const QString& sql);
    // After every statement: error is null on success; status kEstadoOk or kEstadoErrores
    // (a cancelled one reports kErrorCancelado); rs is the statement's recordset, if any.
    void executeComplete(qint32 recordsAffected, const platform::ErrorEjecucion* error,
                         qint32 status, const QString& commandText, platform::RecordsetPtr rs);
    // After every open: error is null on success.
    void connectComplete(const platform::ErrorEjecucion* error, qint32 status);
    // Informational messages the engine sent with a statement or an open.
    void infoMessage(const QString& mensaje);

private:
    friend class Recordset;
    struct Pendiente;

    // Receives a statement's result and answers the recordset its completion event carries.
    using Receptor = std::function<RecordsetPtr(Resultado&)>;

    // Throws the no-MARS refusal when another recordset than `propio` still has unread rows.
    void compruebaLibre(const Recordset* propio) const;
    // Follows BEGIN/START TRANSACTION and COMMIT/ROLLBACK run through this connection.
    void anotaTransaccion(const QString& sql);
    // Opens the engine session; a server refusing for being full is tried again with
    // jittered back-off while the connection time-out lasts.
    void abreConReintentos(ConnectionBackend& nuevo);
    // Runs `sql` with its events and hands the result to `recibe`. On failure `rsFallido`
    // (when given) is closed before executeComplete reports the error, which is then thrown.
    // `diferido`: willExecute was already raised when the statement was accepted.
    Resultado ejecutaConEventos(const QString& sql, const QVariantList& parametros,
                                const Receptor& recibe, Recordset* rsFallido = nullptr,
                                bool diferido = false);
    // Accepts an asynchronous open of `rs` on `sql`, completed on a later event-loop turn.
    void abreRecordsetAsincrono(Recordset* rs, const QString& sql);
    void completaPendientes();
    void programaPendientes();
    void ejecutaPendiente(Pendiente& p);
    std::unique_ptr<ConnectionBackend> abreBackend();
    void abrePendiente();
    void registra(Recordset* rs);
    void olvida(Recordset* rs);
    void quitaPendientes(Recordset* rs);
    void sueltaRecordsets();
    ConnectionBackend& backendAbierto() const;

    QString connectionString_;
    qint32 commandTimeout_ = 30;
    qint32 connectionTimeout_ = 15;
    qint32 cursorLocation_ = 2;
    bool conectando_ = false;
    bool sinMars_;
    bool transaccionAbierta_ = false;
    // Counts closes and cancels, so that a connect that waited through one is dropped.
    quint64 generacion_ = 0;
    std::unique_ptr<ConnectionBackend> backend_;
    std::deque<std::unique_ptr<Pendiente>> pendientes_;
    std::vector<Recordset*> recordsets_;
};

// A way to make engine sessions installed for the lifetime of the guard.
using FabricaInstalada =
    Instalado<Connection::FabricaBackend, &Connection::estableceFabricaBackend>;

}  // namespace platform

Q_DECLARE_METATYPE(platform::RecordsetPtr)
