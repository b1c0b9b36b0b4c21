#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <optional>

namespace platform {

// What a recordset knows of one result column, in the data-access codes the toolkit reads.
struct ColumnInfo {
    QString name;
    qint32 type = 202;  // data-access type code (3 int, 202 varwchar, 205 long binary, ...)
    qint32 definedSize = 0;
    quint8 precision = 0;
    quint8 numericScale = 0;
    qint32 attributes = 0;  // 0x20 nullable, 0x40 may be null, 0x80 long
};

// A result being read row by row; it owns the engine's statement until destroyed.
class ResultCursor {
public:
    virtual ~ResultCursor() = default;
    // The columns of the result, known before the first row is read.
    virtual const QVector<ColumnInfo>& columns() const = 0;
    // Reads the next row into `row` (one value per column); false when there is none left.
    // Throws ErrorEjecucion when the engine fails while reading.
    virtual bool fetch(QVector<QVariant>& row) = 0;
    // Reads the next row of a result whose first column is an integer and whose second is
    // binary, without building values: `datos` may share the engine's buffer and stays valid
    // until the next call only. False when there is none left. Throws as fetch does.
    virtual bool fetchBloque(qint64& numero, QByteArray& datos);
};

// The outcome of one statement: a cursor when it produced columns, the rows it changed,
// and the engine's informational messages.
struct Resultado {
    std::unique_ptr<ResultCursor> cursor;
    qint32 recordsAffected = -1;
    QStringList avisos;
};

// One engine session. Connection drives it; tests replace it to record statements.
class ConnectionBackend {
public:
    virtual ~ConnectionBackend() = default;
    // "sqlite" or "odbc" (a recording backend answers its own name).
    virtual QString motor() const = 0;
    // Opens the session, waiting at most `connectionTimeout` seconds (0 = the engine's default).
    virtual void open(qint32 connectionTimeout) = 0;
    // Ends the session; safe on a closed one.
    virtual void close() = 0;
    // Runs `sql` with `parametros` bound to its "?" marks in order (a null QVariant binds NULL,
    // a QByteArray binds binary); `commandTimeout` in seconds, 0 = no limit.
    virtual Resultado execute(const QString& sql, const QVariantList& parametros,
                              qint32 commandTimeout) = 0;
    // A connection property such as "Data Source"; an invalid QVariant when unknown.
    virtual QVariant property(const QString& name) const = 0;
    // The primary key columns of `table` as the engine's catalogue gives them (may be empty).
    virtual QStringList primaryKey(const QString& table) = 0;
    // Asks a running statement to stop; harmless when nothing runs.
    virtual void cancel() {}
    // The engine refuses a statement while another one still has unread rows (no MARS).
    virtual bool sinMars() const { return false; }
    // Whether the engine itself reports an open transaction; nullopt when it cannot tell.
    virtual std::optional<bool> enTransaccion() const { return std::nullopt; }
};

}  // namespace platform
