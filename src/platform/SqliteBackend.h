#pragma once

#include <QElapsedTimer>
#include <QString>

#include "platform/ConnectionBackend.h"

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// The file database: one sqlite3 session on an existing file. Statements pass through
// adaptaSqlite, the functions the toolkit's dialect needs are registered (now(), date(), time(),
// isnull()), and CommandTimeout interrupts a statement that runs longer (a time-out error).
// A lock held by another session is waited for with the event loop running, at most the
// CommandTimeout, and then fails with its own lock error.
class SqliteBackend final : public ConnectionBackend {
public:
    explicit SqliteBackend(QString ruta);
    ~SqliteBackend() override;

    QString motor() const override { return QStringLiteral("sqlite"); }
    // Opens the file, which must exist and be a database; fails with SQLSTATE 08001 otherwise.
    void open(qint32 connectionTimeout) override;
    void close() override;
    Resultado execute(const QString& sql, const QVariantList& parametros,
                      qint32 commandTimeout) override;
    // "Data Source" is the file path; "DBMS Name" and "DBMS Version" describe SQLite.
    QVariant property(const QString& name) const override;
    QStringList primaryKey(const QString& table) override;
    void cancel() override;
    // The engine's own word: a session outside autocommit is inside a transaction.
    std::optional<bool> enTransaccion() const override;

    // Starts the clock of a step of a statement; a step running past it is interrupted.
    void empiezaPaso();
    // Builds the error for the session's last failure, told apart as a time-out when the
    // clock stopped the statement.
    [[noreturn]] void lanzaError(int codigo, const QString& sql) const;

private:
    static int vigila(void* yo);
    static int esperaBloqueo(void* yo, int veces);

    QString ruta_;
    sqlite3* db_ = nullptr;
    QElapsedTimer reloj_;
    qint64 limiteMs_ = 0;
    bool agotado_ = false;
    QElapsedTimer bloqueo_;
    bool esperandoBloqueo_ = false;
};

}  // namespace platform
