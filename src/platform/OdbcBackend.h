#pragma once

#include <QString>
#include <QStringList>

#include "platform/ConnectionBackend.h"

namespace platform {

// The server engines through unixODBC's wide-character API: one environment and one
// connection handle; every statement its own statement handle. CommandTimeout is the
// statement's query time-out, the connection time-out its login time-out; long values are
// read with SQLGetData in pieces, and parameters are bound with their exact lengths.
class OdbcBackend final : public ConnectionBackend {
public:
    explicit OdbcBackend(QString textoOdbc);
    ~OdbcBackend() override;

    QString motor() const override { return QStringLiteral("odbc"); }
    void open(qint32 connectionTimeout) override;
    void close() override;
    Resultado execute(const QString& sql, const QVariantList& parametros,
                      qint32 commandTimeout) override;
    // "Data Source" is the server (or DSN) of the text; "DBMS Name", "DBMS Version" and
    // "Driver Name" come from the driver.
    QVariant property(const QString& name) const override;
    QStringList primaryKey(const QString& table) override;
    // SQL Server's drivers, without MARS, refuse a statement while another has unread rows.
    bool sinMars() const override { return familia_ == Familia::SqlServer; }
    // true in the driver's manual-commit mode; otherwise the driver cannot tell.
    std::optional<bool> enTransaccion() const override;

private:
    // MariaDB's and MySQL's drivers ignore the query time-out: the server's own statement
    // limit is set for the session instead, whenever CommandTimeout changes.
    void aplicaLimiteServidor(qint32 commandTimeout);
    [[noreturn]] void lanzaDeSentencia(void* sentencia, const QString& sql) const;

    enum class Familia { Otra, MariaDb, MySql, SqlServer };
    QString textoOdbc_;
    Familia familia_ = Familia::Otra;
    qint32 limiteAplicado_ = -1;
    void* entorno_ = nullptr;
    void* conexion_ = nullptr;
};

// The driver names the ODBC driver manager lists (odbcinst.ini).
QStringList controladoresOdbcInstalados();

}  // namespace platform
