#include "platform/SqliteBackend.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>
#include <limits>

#include "platform/DialectoSqlite.h"
#include "platform/ErrorMotor.h"
#include "platform/Espera.h"
#include "platform/Field.h"
#include "platform/TiposDatos.h"

namespace platform {

namespace {

const QString kOrigen = QStringLiteral("SQLite");
// Pause between two looks at a lock held by another session.
constexpr qint64 kPasoBloqueoMs = 10;

QString texto16(const void* datos, int bytes) {
    return QString(reinterpret_cast<const QChar*>(datos), bytes / 2);
}

// Data-access type, size and precision of a column from the type name it was declared with.
ColumnInfo columnaDeclarada(const QString& declarado) {
    ColumnInfo c;
    const QString t = declarado.toUpper().trimmed();
    static const QRegularExpression tamano(QStringLiteral(R"(\(\s*(\d+)\s*(?:,\s*(\d+)\s*)?\))"));
    const QRegularExpressionMatch m = tamano.match(t);
    const int n1 = m.hasMatch() ? m.captured(1).toInt() : 0;
    const int n2 = m.hasMatch() ? m.captured(2).toInt() : 0;
    auto es = [&t](std::initializer_list<const char*> nombres) {
        for (const char* nombre : nombres) {
            if (t.startsWith(QLatin1String(nombre))) {
                return true;
            }
        }
        return false;
    };
    if (es({"TINYINT", "BYTE"})) {
        c.type = tipoAdo::kUnsignedTinyInt, c.definedSize = 1, c.precision = 3;
    } else if (es({"SMALLINT", "SHORT", "INTEGER2"})) {
        c.type = tipoAdo::kSmallInt, c.definedSize = 2, c.precision = 5;
    } else if (es({"BIGINT", "INTEGER8"})) {
        c.type = tipoAdo::kBigInt, c.definedSize = 8, c.precision = 19;
    } else if (es({"INT", "LONG", "COUNTER", "AUTOINCREMENT", "MEDIUMINT"})) {
        c.type = tipoAdo::kInteger, c.definedSize = 4, c.precision = 10;
    } else if (es({"REAL", "SINGLE", "FLOAT4"})) {
        c.type = tipoAdo::kSingle, c.definedSize = 4, c.precision = 7;
    } else if (es({"DOUBLE", "FLOAT"})) {
        c.type = tipoAdo::kDouble, c.definedSize = 8, c.precision = 15;
    } else if (es({"CURRENCY", "MONEY"})) {
        c.type = tipoAdo::kCurrency, c.definedSize = 8, c.precision = 19;
    } else if (es({"DECIMAL", "NUMERIC"})) {
        c.type = tipoAdo::kNumeric, c.definedSize = 19;
        c.precision = static_cast<quint8>(n1 ? n1 : 18), c.numericScale = static_cast<quint8>(n2);
    } else if (es({"BIT", "BOOL", "YESNO", "LOGICAL"})) {
        c.type = tipoAdo::kBoolean, c.definedSize = 2;
    } else if (es({"DATE", "TIME"})) {
        c.type = tipoAdo::kDate, c.definedSize = 8;
    } else if (es({"GUID", "UNIQUEIDENTIFIER"})) {
        c.type = tipoAdo::kGuid, c.definedSize = 16;
    } else if (es({"VARBINARY", "BINARY"}) && n1 > 0) {
        c.type = tipoAdo::kVarBinary, c.definedSize = n1;
    } else if (es({"BLOB", "BINARY", "VARBINARY", "IMAGE", "LONGBINARY", "OLEOBJECT", "GENERAL"})) {
        c.type = tipoAdo::kLongVarBinary, c.definedSize = std::numeric_limits<qint32>::max();
        c.attributes |= Field::kLargo;
    } else if (es({"CHAR", "VARCHAR", "NVARCHAR", "NCHAR", "TEXT", "STRING", "VARYING"}) &&
               n1 > 0) {
        c.type = tipoAdo::kVarWChar, c.definedSize = n1;
    } else {
        // TEXT, MEMO, CLOB, LONGTEXT and anything undeclared: long text.
        c.type = tipoAdo::kLongVarWChar, c.definedSize = 536870910;
        c.attributes |= Field::kLargo;
    }
    return c;
}

// The type of an expression column, from the storage class of its first value.
ColumnInfo columnaPorValor(int claseSqlite) {
    ColumnInfo c;
    switch (claseSqlite) {
        case SQLITE_INTEGER:
            c.type = tipoAdo::kInteger, c.definedSize = 4, c.precision = 10;
            break;
        case SQLITE_FLOAT:
            c.type = tipoAdo::kDouble, c.definedSize = 8, c.precision = 15;
            break;
        case SQLITE_BLOB:
            c.type = tipoAdo::kLongVarBinary, c.definedSize = std::numeric_limits<qint32>::max();
            c.attributes |= Field::kLargo;
            break;
        default:
            c.type = tipoAdo::kVarWChar, c.definedSize = 255;
            break;
    }
    return c;
}

QVariant valorSqlite(sqlite3_stmt* st, int i, qint32 tipo) {
    switch (sqlite3_column_type(st, i)) {
        case SQLITE_NULL:
            return nuloAdo(tipo);
        case SQLITE_INTEGER: {
            const qlonglong n = sqlite3_column_int64(st, i);
            return convierteAdo(QVariant(n), tipo);
        }
        case SQLITE_FLOAT:
            return convierteAdo(QVariant(sqlite3_column_double(st, i)), tipo);
        case SQLITE_BLOB: {
            const void* datos = sqlite3_column_blob(st, i);
            const int bytes = sqlite3_column_bytes(st, i);
            return QByteArray(static_cast<const char*>(datos), bytes);
        }
        default: {
            const void* datos = sqlite3_column_text16(st, i);
            const int bytes = sqlite3_column_bytes16(st, i);
            const QString texto = texto16(datos, bytes);
            if (metaTipoAdo(tipo).id() == QMetaType::QByteArray) {
                return texto.toUtf8();
            }
            return convierteAdo(texto, tipo);
        }
    }
}

void enlaza(sqlite3_stmt* st, int posicion, const QVariant& valor) {
    if (!valor.isValid() || valor.isNull()) {
        sqlite3_bind_null(st, posicion);
        return;
    }
    switch (valor.typeId()) {
        case QMetaType::QByteArray: {
            const QByteArray datos = valor.toByteArray();
            sqlite3_bind_blob64(st, posicion, datos.constData(),
                                static_cast<sqlite3_uint64>(datos.size()), SQLITE_TRANSIENT);
            return;
        }
        case QMetaType::Bool:
            sqlite3_bind_int(st, posicion, valor.toBool() ? 1 : 0);
            return;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::SChar:
        case QMetaType::Char:
        case QMetaType::Long:
        case QMetaType::ULong:
            sqlite3_bind_int64(st, posicion, valor.toLongLong());
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(st, posicion, valor.toDouble());
            return;
        case QMetaType::QDateTime: {
            const QString texto =
                valor.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            sqlite3_bind_text16(st, posicion, texto.utf16(), static_cast<int>(texto.size() * 2),
                                SQLITE_TRANSIENT);
            return;
        }
        case QMetaType::QDate: {
            const QString texto = valor.toDate().toString(QStringLiteral("yyyy-MM-dd"));
            sqlite3_bind_text16(st, posicion, texto.utf16(), static_cast<int>(texto.size() * 2),
                                SQLITE_TRANSIENT);
            return;
        }
        default: {
            const QString texto = valor.toString();
            sqlite3_bind_text16(st, posicion, texto.utf16(), static_cast<int>(texto.size() * 2),
                                SQLITE_TRANSIENT);
            return;
        }
    }
}

// Rows of one statement; the first one was already stepped to when the statement ran.
class SqliteCursor : public ResultCursor {
public:
    SqliteCursor(SqliteBackend* backend, sqlite3_stmt* st, QString sql, bool hayFila)
        : backend_(backend), st_(st), sql_(std::move(sql)), pendiente_(hayFila) {
        const int n = sqlite3_column_count(st_);
        for (int i = 0; i < n; ++i) {
            const char* declarado = sqlite3_column_decltype(st_, i);
            ColumnInfo c =
                declarado ? columnaDeclarada(QString::fromUtf8(declarado))
                          : columnaPorValor(hayFila ? sqlite3_column_type(st_, i) : SQLITE_TEXT);
            c.name = QString::fromUtf8(sqlite3_column_name(st_, i));
            c.attributes |= atributosNulo(i);
            columnas_.append(c);
        }
    }
    ~SqliteCursor() override { sqlite3_finalize(st_); }

    const QVector<ColumnInfo>& columns() const override { return columnas_; }

    bool fetch(QVector<QVariant>& fila) override {
        if (!avanza()) {
            return false;
        }
        fila.resize(columnas_.size());
        for (int i = 0; i < columnas_.size(); ++i) {
            fila[i] = valorSqlite(st_, i, columnas_[i].type);
        }
        return true;
    }

    bool fetchBloque(qint64& numero, QByteArray& datos) override {
        if (columnas_.size() < 2) {
            return ResultCursor::fetchBloque(numero, datos);
        }
        if (!avanza()) {
            return false;
        }
        numero = sqlite3_column_int64(st_, 0);
        // The blob stays in SQLite's row buffer until the next step: no copy is made.
        datos = QByteArray::fromRawData(static_cast<const char*>(sqlite3_column_blob(st_, 1)),
                                        sqlite3_column_bytes(st_, 1));
        return true;
    }

private:
    // Steps to the next row; false (and the statement finalised) at the end.
    bool avanza() {
        if (!st_) {
            return false;
        }
        if (!pendiente_) {
            backend_->empiezaPaso();
            const int codigo = sqlite3_step(st_);
            if (codigo == SQLITE_DONE) {
                sqlite3_finalize(st_);
                st_ = nullptr;
                return false;
            }
            if (codigo != SQLITE_ROW) {
                sqlite3_reset(st_);
                backend_->lanzaError(codigo, sql_);
            }
        }
        pendiente_ = false;
        return true;
    }

    qint32 atributosNulo(int i) const {
        const char* tabla = sqlite3_column_table_name(st_, i);
        const char* origen = sqlite3_column_origin_name(st_, i);
        const char* base = sqlite3_column_database_name(st_, i);
        int noNulo = 0;
        if (tabla && origen &&
            sqlite3_table_column_metadata(sqlite3_db_handle(st_), base, tabla, origen, nullptr,
                                          nullptr, &noNulo, nullptr, nullptr) == SQLITE_OK &&
            noNulo) {
            return 0;
        }
        return Field::kAdmiteNulo | Field::kPuedeSerNulo;
    }

    SqliteBackend* backend_;
    sqlite3_stmt* st_;
    QString sql_;
    bool pendiente_;
    QVector<ColumnInfo> columnas_;
};

void ahoraLocal(sqlite3_context* ctx, int, sqlite3_value**) {
    const QByteArray texto =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
    sqlite3_result_text(ctx, texto.constData(), static_cast<int>(texto.size()), SQLITE_TRANSIENT);
}

void hoyLocal(sqlite3_context* ctx, int, sqlite3_value**) {
    const QByteArray texto = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
    sqlite3_result_text(ctx, texto.constData(), static_cast<int>(texto.size()), SQLITE_TRANSIENT);
}

void horaLocal(sqlite3_context* ctx, int, sqlite3_value**) {
    const QByteArray texto = QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toUtf8();
    sqlite3_result_text(ctx, texto.constData(), static_cast<int>(texto.size()), SQLITE_TRANSIENT);
}

void esNulo(sqlite3_context* ctx, int, sqlite3_value** argumentos) {
    sqlite3_result_int(ctx, sqlite3_value_type(argumentos[0]) == SQLITE_NULL ? 1 : 0);
}

QString sinCitas(QString nombre) {
    nombre = nombre.trimmed();
    if (nombre.size() >= 2 &&
        (nombre.front() == u'[' || nombre.front() == u'"' || nombre.front() == u'`')) {
        nombre = nombre.mid(1, nombre.size() - 2);
    }
    return nombre;
}

}  // namespace

SqliteBackend::SqliteBackend(QString ruta) : ruta_(std::move(ruta)) {}

SqliteBackend::~SqliteBackend() {
    close();
}

void SqliteBackend::open(qint32) {
    close();
    if (!QFileInfo(ruta_).isFile()) {
        throw ErrorEjecucion(
            ErrorEjecucion::kConexionRota,
            QStringLiteral("No se encuentra el fichero de base de datos %1.").arg(ruta_), kOrigen,
            QStringLiteral("08001"), SQLITE_CANTOPEN);
    }
    const int codigo = sqlite3_open_v2(ruta_.toUtf8().constData(), &db_,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (codigo != SQLITE_OK) {
        const QString mensaje = db_ ? QString::fromUtf8(sqlite3_errmsg(db_))
                                    : QString::fromUtf8(sqlite3_errstr(codigo));
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw ErrorEjecucion(
            ErrorEjecucion::kConexionRota,
            QStringLiteral("No se pudo abrir la base de datos %1: %2").arg(ruta_, mensaje), kOrigen,
            QStringLiteral("08001"), codigo);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_progress_handler(db_, 1000, &SqliteBackend::vigila, this);
    sqlite3_busy_handler(db_, &SqliteBackend::esperaBloqueo, this);
    const int texto = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db_, "now", 0, SQLITE_UTF8, nullptr, ahoraLocal, nullptr, nullptr);
    sqlite3_create_function(db_, "date", 0, SQLITE_UTF8, nullptr, hoyLocal, nullptr, nullptr);
    sqlite3_create_function(db_, "time", 0, SQLITE_UTF8, nullptr, horaLocal, nullptr, nullptr);
    sqlite3_create_function(db_, "isnull", 1, texto, nullptr, esNulo, nullptr, nullptr);
    // A file that is no database fails here, not at the first statement.
    char* error = nullptr;
    const int prueba =
        sqlite3_exec(db_, "PRAGMA foreign_keys=ON; SELECT count(*) FROM sqlite_master", nullptr,
                     nullptr, &error);
    sqlite3_free(error);
    if (prueba != SQLITE_OK) {
        const QString mensaje = QString::fromUtf8(sqlite3_errmsg(db_));
        close();
        throw ErrorEjecucion(
            ErrorEjecucion::kConexionRota,
            QStringLiteral("No se pudo abrir la base de datos %1: %2").arg(ruta_, mensaje), kOrigen,
            QStringLiteral("08001"), prueba);
    }
}

void SqliteBackend::close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

int SqliteBackend::vigila(void* yo) {
    auto* backend = static_cast<SqliteBackend*>(yo);
    if (backend->limiteMs_ > 0 && backend->reloj_.elapsed() > backend->limiteMs_) {
        backend->agotado_ = true;
        return 1;
    }
    return 0;
}

int SqliteBackend::esperaBloqueo(void* yo, int veces) {
    auto* backend = static_cast<SqliteBackend*>(yo);
    if (veces == 0) {
        backend->bloqueo_.start();
    }
    if (backend->limiteMs_ > 0 && backend->bloqueo_.elapsed() >= backend->limiteMs_) {
        return 0;
    }
    // The window stays alive while another session holds the lock.
    backend->esperandoBloqueo_ = true;
    esperaMs(kPasoBloqueoMs);
    backend->esperandoBloqueo_ = false;
    return 1;
}

void SqliteBackend::empiezaPaso() {
    agotado_ = false;
    reloj_.start();
}

void SqliteBackend::lanzaError(int codigo, const QString& sql) const {
    const QString mensaje =
        db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(codigo));
    QString estado = QStringLiteral("HY000");
    const int primario = codigo & 0xff;
    if (agotado_ && primario == SQLITE_INTERRUPT) {
        estado = QStringLiteral("HYT00");
    } else if (primario == SQLITE_INTERRUPT) {
        estado = QStringLiteral("HY008");
    } else if (primario == SQLITE_BUSY || primario == SQLITE_LOCKED) {
        estado = QString::fromLatin1(kEstadoBloqueo);
    } else if (primario == SQLITE_CONSTRAINT) {
        estado = QStringLiteral("23000");
    } else if (primario == SQLITE_ERROR) {
        estado = QStringLiteral("42000");
    }
    QString descripcion = QStringLiteral("%1 (%2)").arg(mensaje, sql);
    if (estado == u"HYT00") {
        descripcion = QStringLiteral("Tiempo de espera agotado (%1): %2").arg(mensaje, sql);
    } else if (estado == QLatin1String(kEstadoBloqueo)) {
        descripcion = QStringLiteral("La base de datos está bloqueada por otra conexión (%1): %2")
                          .arg(mensaje, sql);
    }
    throw errorMotor(descripcion, estado, codigo, kOrigen);
}

Resultado SqliteBackend::execute(const QString& sql, const QVariantList& parametros,
                                 qint32 commandTimeout) {
    if (!db_) {
        throw ErrorEjecucion(ErrorEjecucion::kConexionRota,
                             QStringLiteral("La base de datos está cerrada."), kOrigen,
                             QStringLiteral("08003"), 0);
    }
    if (esperandoBloqueo_) {
        // Something the event loop ran while this session waits for a lock.
        throw errorMotor(QStringLiteral("La conexión está esperando un bloqueo: %1").arg(sql),
                         QStringLiteral("HY010"), SQLITE_MISUSE, kOrigen);
    }
    limiteMs_ = commandTimeout > 0 ? qint64(commandTimeout) * 1000 : 0;
    const QString adaptado = adaptaSqlite(sql);
    const auto* resto = reinterpret_cast<const char16_t*>(adaptado.utf16());
    const char16_t* fin = resto + adaptado.size();
    Resultado resultado;
    int usados = 0;
    // Statements run in order; one that yields rows must be the last.
    while (resto < fin) {
        sqlite3_stmt* st = nullptr;
        const void* siguiente = nullptr;
        empiezaPaso();
        const int preparado =
            sqlite3_prepare16_v2(db_, resto, static_cast<int>((fin - resto) * 2), &st, &siguiente);
        if (preparado != SQLITE_OK) {
            lanzaError(preparado, sql);
        }
        resto = static_cast<const char16_t*>(siguiente);
        if (!st) {
            continue;  // only blanks or a comment were left
        }
        for (int i = 0; i < parametros.size() && usados < parametros.size() &&
                        i < sqlite3_bind_parameter_count(st);
             ++i) {
            enlaza(st, i + 1, parametros[usados++]);
        }
        const int antes = sqlite3_total_changes(db_);
        const int paso = sqlite3_step(st);
        if (paso != SQLITE_ROW && paso != SQLITE_DONE) {
            sqlite3_finalize(st);
            lanzaError(paso, sql);
        }
        if (sqlite3_column_count(st) > 0) {
            resultado.cursor = std::make_unique<SqliteCursor>(this, st, sql, paso == SQLITE_ROW);
            resultado.recordsAffected = -1;
            return resultado;
        }
        // A statement without columns is done after one step; stepping a finished statement
        // again would run it a second time.
        resultado.recordsAffected = sqlite3_total_changes(db_) != antes ? sqlite3_changes(db_) : 0;
        sqlite3_finalize(st);
    }
    return resultado;
}

QVariant SqliteBackend::property(const QString& name) const {
    const QString clave = name.simplified().toLower();
    if (clave == u"data source") {
        return ruta_;
    }
    if (clave == u"dbms name") {
        return QStringLiteral("SQLite");
    }
    if (clave == u"dbms version") {
        return QString::fromUtf8(sqlite3_libversion());
    }
    return {};
}

QStringList SqliteBackend::primaryKey(const QString& table) {
    QStringList claves;
    if (!db_) {
        return claves;
    }
    sqlite3_stmt* st = nullptr;
    const QString sql =
        QStringLiteral("SELECT name FROM pragma_table_info(?) WHERE pk>0 ORDER BY pk");
    if (sqlite3_prepare16_v2(db_, sql.utf16(), static_cast<int>(sql.size() * 2), &st, nullptr) !=
        SQLITE_OK) {
        return claves;
    }
    const QString tabla = sinCitas(table);
    sqlite3_bind_text16(st, 1, tabla.utf16(), static_cast<int>(tabla.size() * 2), SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW) {
        claves << texto16(sqlite3_column_text16(st, 0), sqlite3_column_bytes16(st, 0));
    }
    sqlite3_finalize(st);
    return claves;
}

std::optional<bool> SqliteBackend::enTransaccion() const {
    return db_ != nullptr && sqlite3_get_autocommit(db_) == 0;
}

void SqliteBackend::cancel() {
    if (db_) {
        sqlite3_interrupt(db_);
    }
}

}  // namespace platform
