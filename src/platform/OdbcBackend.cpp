#include "platform/OdbcBackend.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <QDateTime>
#include <limits>
#include <optional>

#include "platform/ConnectionText.h"
#include "platform/ErrorMotor.h"
#include "platform/Field.h"
#include "platform/TiposDatos.h"

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC must use UTF-16 SQLWCHAR");

namespace platform {

namespace {

const QString kOrigen = QStringLiteral("ODBC");
constexpr SQLLEN kTrozo = 32768;  // bytes asked for at a time when reading long values

SQLWCHAR* w(const QString& texto) {
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(texto.utf16()));
}

QString deW(const SQLWCHAR* texto, qsizetype caracteres) {
    return QString(reinterpret_cast<const QChar*>(texto), caracteres);
}

bool exito(SQLRETURN r) {
    return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO;
}

// ODBC takes a number-valued attribute in the place of its pointer argument.
SQLPOINTER atributoEntero(SQLULEN valor) {
    return reinterpret_cast<SQLPOINTER>(valor);  // NOLINT(performance-no-int-to-ptr): ODBC's way
}

struct Diagnostico {
    QString sqlState;
    qint32 nativo = 0;
    QStringList mensajes;
};

Diagnostico diagnostico(SQLSMALLINT tipoHandle, SQLHANDLE handle) {
    Diagnostico d;
    for (SQLSMALLINT i = 1; handle; ++i) {
        SQLWCHAR estado[6] = {};
        SQLINTEGER nativo = 0;
        SQLWCHAR mensaje[1024] = {};
        SQLSMALLINT largo = 0;
        const SQLRETURN r = SQLGetDiagRecW(tipoHandle, handle, i, estado, &nativo, mensaje,
                                           SQLSMALLINT(std::size(mensaje)), &largo);
        if (!exito(r)) {
            break;
        }
        if (i == 1) {
            d.sqlState = deW(estado, 5);
            d.nativo = nativo;
        }
        d.mensajes << deW(mensaje, std::min<qsizetype>(largo, std::size(mensaje) - 1));
    }
    return d;
}

// MariaDB 1969 (max_statement_time exceeded) and MySQL 3024 (max_execution_time exceeded)
// are the server-side statement limits this backend sets for those engines.
constexpr qint32 kLimiteMariaDb = 1969;
constexpr qint32 kLimiteMySql = 3024;

[[noreturn]] void lanza(SQLSMALLINT tipoHandle, SQLHANDLE handle, const QString& contexto,
                        bool limiteServidor = false) {
    const Diagnostico d = diagnostico(tipoHandle, handle);
    QString descripcion = d.mensajes.join(u'\n');
    if (descripcion.isEmpty()) {
        descripcion = QStringLiteral("Error ODBC sin diagnóstico");
    }
    if (!contexto.isEmpty()) {
        descripcion += QStringLiteral(" (%1)").arg(contexto);
    }
    if (limiteServidor && (d.nativo == kLimiteMariaDb || d.nativo == kLimiteMySql)) {
        throw ErrorEjecucion(ErrorEjecucion::kTiempoAgotado, descripcion, kOrigen, d.sqlState,
                             d.nativo);
    }
    throw errorMotor(descripcion, d.sqlState, d.nativo, kOrigen);
}

ColumnInfo columna(qint32 tipo, qint32 tamano, quint8 precision = 0) {
    ColumnInfo c;
    c.type = tipo;
    c.definedSize = tamano;
    c.precision = precision;
    return c;
}

// Decimals keep the driver's precision and scale, yet report the size ADO gives them.
ColumnInfo columnaDecimal(SQLULEN tamano, SQLSMALLINT decimales) {
    ColumnInfo c = columna(tipoAdo::kNumeric, 19, quint8(std::min<SQLULEN>(tamano, 255)));
    c.numericScale = quint8(std::max<SQLSMALLINT>(decimales, 0));
    return c;
}

// Numbers, dates and identifiers report the size and precision ADO gives them, whatever the
// driver says; nothing for the types whose size comes from the driver.
std::optional<ColumnInfo> columnaDeTamanoFijo(SQLSMALLINT tipoSql, bool sinSigno) {
    switch (tipoSql) {
        case SQL_SMALLINT:
            return columna(tipoAdo::kSmallInt, 2, 5);
        case SQL_INTEGER:
            return columna(tipoAdo::kInteger, 4, 10);
        case SQL_BIGINT:
            return columna(tipoAdo::kBigInt, 8, 19);
        case SQL_TINYINT:
            return columna(sinSigno ? tipoAdo::kUnsignedTinyInt : tipoAdo::kTinyInt, 1, 3);
        case SQL_REAL:
            return columna(tipoAdo::kSingle, 4, 7);
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return columna(tipoAdo::kDouble, 8, 15);
        case SQL_BIT:
            return columna(tipoAdo::kBoolean, 2);
        case SQL_TYPE_DATE:
            return columna(tipoAdo::kDbDate, 6);
        case SQL_TYPE_TIME:
            return columna(tipoAdo::kDbTime, 6);
        case SQL_TYPE_TIMESTAMP:
        case SQL_DATETIME:
            return columna(tipoAdo::kDbTimeStamp, 16);
        case SQL_GUID:
            return columna(tipoAdo::kGuid, 16);
        default:
            return std::nullopt;
    }
}

// Characters and bytes take the size the driver reports; a type this mapping does not know
// is read as wide text.
qint32 tipoDeTamanoDelDriver(SQLSMALLINT tipoSql) {
    switch (tipoSql) {
        case SQL_CHAR:
            return tipoAdo::kChar;
        case SQL_VARCHAR:
            return tipoAdo::kVarChar;
        case SQL_LONGVARCHAR:
            return tipoAdo::kLongVarChar;
        case SQL_WCHAR:
            return tipoAdo::kWChar;
        case SQL_WVARCHAR:
            return tipoAdo::kVarWChar;
        case SQL_WLONGVARCHAR:
            return tipoAdo::kLongVarWChar;
        case SQL_BINARY:
            return tipoAdo::kBinary;
        case SQL_VARBINARY:
            return tipoAdo::kVarBinary;
        case SQL_LONGVARBINARY:
            return tipoAdo::kLongVarBinary;
        default:
            return tipoAdo::kVarWChar;
    }
}

ColumnInfo tipoDeColumna(SQLSMALLINT tipoSql, SQLULEN tamano, SQLSMALLINT decimales,
                         bool sinSigno) {
    if (tipoSql == SQL_DECIMAL || tipoSql == SQL_NUMERIC) {
        return columnaDecimal(tamano, decimales);
    }
    if (const std::optional<ColumnInfo> fija = columnaDeTamanoFijo(tipoSql, sinSigno)) {
        return *fija;
    }
    const auto tam =
        static_cast<qint32>(std::min<SQLULEN>(tamano, std::numeric_limits<qint32>::max()));
    return columna(tipoDeTamanoDelDriver(tipoSql), tam);
}

// A driver that cannot tell whether a column admits nulls still lets it hold one.
qint32 atributosDeColumna(qint32 tipo, SQLSMALLINT nulo) {
    qint32 atributos = esTipoLargo(tipo) ? Field::kLargo : 0;
    if (nulo == SQL_NO_NULLS) {
        return atributos;
    }
    atributos |= Field::kPuedeSerNulo;
    if (nulo == SQL_NULLABLE) {
        atributos |= Field::kAdmiteNulo;
    }
    return atributos;
}

ColumnInfo columnaOdbc(SQLSMALLINT tipoSql, SQLULEN tamano, SQLSMALLINT decimales, SQLSMALLINT nulo,
                       bool sinSigno) {
    ColumnInfo c = tipoDeColumna(tipoSql, tamano, decimales, sinSigno);
    c.attributes = atributosDeColumna(c.type, nulo);
    return c;
}

// Reads a character or binary column whole, asking the driver for it piece by piece.
QVariant leeEnTrozos(SQLHSTMT st, SQLUSMALLINT columna, bool binario, qint32 tipo) {
    QByteArray datos;
    QByteArray trozo(kTrozo, Qt::Uninitialized);
    const SQLSMALLINT tipoC = binario ? SQL_C_BINARY : SQL_C_WCHAR;
    const SQLLEN terminador = binario ? 0 : SQLLEN(sizeof(SQLWCHAR));
    for (;;) {
        SQLLEN indicador = 0;
        const SQLRETURN r = SQLGetData(st, columna, tipoC, trozo.data(), kTrozo, &indicador);
        if (r == SQL_NO_DATA) {
            break;
        }
        if (!exito(r)) {
            lanza(SQL_HANDLE_STMT, st, QString());
        }
        if (indicador == SQL_NULL_DATA) {
            return nuloAdo(tipo);
        }
        const bool truncado = indicador == SQL_NO_TOTAL || indicador > kTrozo - terminador;
        const SQLLEN recibidos = truncado ? kTrozo - terminador : indicador;
        // Whole characters only: an odd byte count never splits a UTF-16 unit.
        datos.append(trozo.constData(), recibidos - (binario ? 0 : recibidos % 2));
        if (r == SQL_SUCCESS) {
            break;
        }
    }
    if (binario) {
        return datos;
    }
    return QString(reinterpret_cast<const QChar*>(datos.constData()), datos.size() / 2);
}

QVariant leeValor(SQLHSTMT st, SQLUSMALLINT columna, qint32 tipo) {
    SQLLEN indicador = 0;
    switch (metaTipoAdo(tipo).id()) {
        case QMetaType::QByteArray:
            return leeEnTrozos(st, columna, true, tipo);
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::UChar:
        case QMetaType::LongLong:
        case QMetaType::Bool: {
            SQLBIGINT n = 0;
            if (!exito(SQLGetData(st, columna, SQL_C_SBIGINT, &n, 0, &indicador))) {
                lanza(SQL_HANDLE_STMT, st, QString());
            }
            return indicador == SQL_NULL_DATA ? nuloAdo(tipo)
                                              : convierteAdo(QVariant(qlonglong(n)), tipo);
        }
        case QMetaType::Float:
        case QMetaType::Double: {
            if (tipo == tipoAdo::kNumeric || tipo == tipoAdo::kCurrency) {
                const QVariant texto = leeEnTrozos(st, columna, false, tipo);
                return texto.isNull() ? nuloAdo(tipo)
                                      : convierteAdo(texto.toString().toDouble(), tipo);
            }
            double x = 0;
            if (!exito(SQLGetData(st, columna, SQL_C_DOUBLE, &x, 0, &indicador))) {
                lanza(SQL_HANDLE_STMT, st, QString());
            }
            return indicador == SQL_NULL_DATA ? nuloAdo(tipo) : convierteAdo(x, tipo);
        }
        case QMetaType::QDateTime:
        case QMetaType::QDate:
        case QMetaType::QTime: {
            SQL_TIMESTAMP_STRUCT t{};
            if (!exito(SQLGetData(st, columna, SQL_C_TYPE_TIMESTAMP, &t, sizeof t, &indicador))) {
                lanza(SQL_HANDLE_STMT, st, QString());
            }
            if (indicador == SQL_NULL_DATA) {
                return nuloAdo(tipo);
            }
            const QDateTime fecha(QDate(t.year, t.month, t.day),
                                  QTime(t.hour, t.minute, t.second, int(t.fraction / 1000000)));
            return convierteAdo(fecha, tipo);
        }
        default:
            return leeEnTrozos(st, columna, false, tipo);
    }
}

class OdbcCursor : public ResultCursor {
public:
    OdbcCursor(SQLHSTMT st, SQLSMALLINT columnas) : st_(st) {
        for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(columnas); ++i) {
            SQLWCHAR nombre[256] = {};
            SQLSMALLINT largo = 0;
            SQLSMALLINT tipo = 0;
            SQLULEN tamano = 0;
            SQLSMALLINT decimales = 0;
            SQLSMALLINT nulo = SQL_NULLABLE_UNKNOWN;
            if (!exito(SQLDescribeColW(st_, i, nombre, SQLSMALLINT(std::size(nombre)), &largo,
                                       &tipo, &tamano, &decimales, &nulo))) {
                lanza(SQL_HANDLE_STMT, st_, QString());
            }
            SQLLEN sinSigno = SQL_FALSE;
            SQLColAttributeW(st_, i, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &sinSigno);
            ColumnInfo c = columnaOdbc(tipo, tamano, decimales, nulo, sinSigno == SQL_TRUE);
            c.name = deW(nombre, std::min<qsizetype>(largo, std::size(nombre) - 1));
            columnas_.append(c);
        }
    }
    ~OdbcCursor() override { libera(); }

    const QVector<ColumnInfo>& columns() const override { return columnas_; }

    bool fetch(QVector<QVariant>& fila) override {
        if (enlazado_) {
            // Values are read with SQLGetData, which bound columns refuse.
            SQLFreeStmt(st_, SQL_UNBIND);
            enlazado_ = false;
        }
        if (!avanza()) {
            return false;
        }
        fila.resize(columnas_.size());
        for (int i = 0; i < columnas_.size(); ++i) {
            fila[i] = leeValor(st_, SQLUSMALLINT(i + 1), columnas_[i].type);
        }
        return true;
    }

    bool fetchBloque(qint64& numero, QByteArray& datos) override {
        if (columnas_.size() < 2) {
            return ResultCursor::fetchBloque(numero, datos);
        }
        enlaza();
        if (!avanza()) {
            return false;
        }
        if (indicadorDatos_ == SQL_NO_TOTAL || indicadorDatos_ > SQLLEN(buffer_.size())) {
            throw ErrorEjecucion(
                kErrorDesbordamiento,
                QStringLiteral("Un valor de la fila mide más de %1 bytes.").arg(buffer_.size()),
                kOrigen);
        }
        numero = indicadorNumero_ == SQL_NULL_DATA ? 0 : qint64(numero_);
        const SQLLEN n = indicadorDatos_ == SQL_NULL_DATA ? 0 : indicadorDatos_;
        datos = QByteArray::fromRawData(buffer_.constData(), qsizetype(n));
        return true;
    }

private:
    // Fetches the next row; false (and the statement released) at the end.
    bool avanza() {
        if (!st_) {
            return false;
        }
        const SQLRETURN r = SQLFetch(st_);
        if (r == SQL_NO_DATA) {
            libera();
            return false;
        }
        if (!exito(r)) {
            lanza(SQL_HANDLE_STMT, st_, QString());
        }
        return true;
    }

    // Binds the two columns once, so each fetch lands in the same buffers with no call per
    // value.
    void enlaza() {
        if (enlazado_ || !st_) {
            return;
        }
        if (!exito(SQLBindCol(st_, 1, SQL_C_SBIGINT, &numero_, 0, &indicadorNumero_)) ||
            !exito(SQLBindCol(st_, 2, SQL_C_BINARY, buffer_.data(), SQLLEN(buffer_.size()),
                              &indicadorDatos_))) {
            lanza(SQL_HANDLE_STMT, st_, QString());
        }
        enlazado_ = true;
    }

    void libera() {
        if (st_) {
            SQLCloseCursor(st_);
            SQLFreeHandle(SQL_HANDLE_STMT, st_);
            st_ = nullptr;
        }
    }

    SQLHSTMT st_;
    QVector<ColumnInfo> columnas_;
    // The bound row of fetchBloque.
    bool enlazado_ = false;
    SQLBIGINT numero_ = 0;
    SQLLEN indicadorNumero_ = 0;
    QByteArray buffer_{kTrozo, Qt::Uninitialized};
    SQLLEN indicadorDatos_ = 0;
};

// How one value is bound: its C and SQL types, its column size and the bytes it binds.
struct Enlace {
    SQLSMALLINT tipoC;
    SQLSMALLINT tipoSql;
    SQLULEN tamano;
    QByteArray dato;
};

template <typename T>
QByteArray bytesDe(const T& valor) {
    return QByteArray(reinterpret_cast<const char*>(&valor), sizeof valor);
}

Enlace enlaceBinario(const QByteArray& bytes) {
    return {SQL_C_BINARY, SQL_LONGVARBINARY, SQLULEN(std::max<qsizetype>(bytes.size(), 1)), bytes};
}

// Every integer travels as a 64-bit one: the engine narrows it to the column.
Enlace enlaceEntero(SQLBIGINT n) {
    return {SQL_C_SBIGINT, SQL_BIGINT, 19, bytesDe(n)};
}

Enlace enlaceReal(double x) {
    return {SQL_C_DOUBLE, SQL_DOUBLE, 15, bytesDe(x)};
}

// To the second: the fraction is left at zero.
Enlace enlaceFecha(const QDateTime& f) {
    SQL_TIMESTAMP_STRUCT t{};
    t.year = SQLSMALLINT(f.date().year());
    t.month = SQLUSMALLINT(f.date().month());
    t.day = SQLUSMALLINT(f.date().day());
    t.hour = SQLUSMALLINT(f.time().hour());
    t.minute = SQLUSMALLINT(f.time().minute());
    t.second = SQLUSMALLINT(f.time().second());
    return {SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 19, bytesDe(t)};
}

// SQL Server's varying text holds 4000 characters at most; a longer text goes as a long one.
Enlace enlaceTexto(const QString& texto) {
    // Exactly the characters, no terminating NUL: the length says where it ends.
    const QByteArray dato(reinterpret_cast<const char*>(texto.utf16()),
                          texto.size() * qsizetype(sizeof(SQLWCHAR)));
    const SQLSMALLINT tipoSql = texto.size() > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
    return {SQL_C_WCHAR, tipoSql, SQLULEN(std::max<qsizetype>(texto.size(), 1)), dato};
}

Enlace enlaceDe(const QVariant& valor) {
    switch (valor.typeId()) {
        case QMetaType::QByteArray:
            return enlaceBinario(valor.toByteArray());
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::SChar:
        case QMetaType::Char:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
            return enlaceEntero(valor.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return enlaceReal(valor.toDouble());
        case QMetaType::QDateTime:
        case QMetaType::QDate:
            return enlaceFecha(valor.toDateTime());
        default:
            return enlaceTexto(valor.toString());
    }
}

// Buffers of the bound parameters; they must live until the statement has run.
class Parametros {
public:
    void enlaza(SQLHSTMT st, const QVariantList& valores) {
        datos_.resize(valores.size());
        indicadores_.resize(valores.size());
        for (int i = 0; i < valores.size(); ++i) {
            enlazaUno(st, SQLUSMALLINT(i + 1), valores[i], datos_[i], indicadores_[i]);
        }
    }

private:
    // A null keeps the types its value would have, over a one-byte buffer the driver ignores.
    static void enlazaUno(SQLHSTMT st, SQLUSMALLINT posicion, const QVariant& valor,
                          QByteArray& dato, SQLLEN& indicador) {
        const bool nulo = !valor.isValid() || valor.isNull();
        const Enlace e = enlaceDe(valor);
        dato = nulo ? QByteArray(1, '\0') : e.dato;
        indicador = nulo ? SQL_NULL_DATA : SQLLEN(dato.size());
        const SQLSMALLINT decimales = 0;
        if (!exito(SQLBindParameter(st, posicion, SQL_PARAM_INPUT, e.tipoC, e.tipoSql, e.tamano,
                                    decimales, dato.data(), SQLLEN(dato.size()), &indicador))) {
            lanza(SQL_HANDLE_STMT, st, QString());
        }
    }

    QVector<QByteArray> datos_;
    QVector<SQLLEN> indicadores_;
};

// Frees a statement handle unless ownership passed to a cursor.
struct StatementPropio {
    SQLHSTMT st = SQL_NULL_HSTMT;
    ~StatementPropio() {
        if (st) {
            SQLFreeHandle(SQL_HANDLE_STMT, st);
        }
    }
    SQLHSTMT suelta() {
        SQLHSTMT s = st;
        st = SQL_NULL_HSTMT;
        return s;
    }
};

}  // namespace

OdbcBackend::OdbcBackend(QString textoOdbc) : textoOdbc_(std::move(textoOdbc)) {}

OdbcBackend::~OdbcBackend() {
    close();
}

void OdbcBackend::open(qint32 connectionTimeout) {
    close();
    SQLHENV entorno = SQL_NULL_HENV;
    if (!exito(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &entorno))) {
        throw ErrorEjecucion(ErrorEjecucion::kConexionRota,
                             QStringLiteral("No se pudo iniciar el gestor ODBC."), kOrigen);
    }
    entorno_ = entorno;
    SQLSetEnvAttr(entorno, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLHDBC conexion = SQL_NULL_HDBC;
    if (!exito(SQLAllocHandle(SQL_HANDLE_DBC, entorno, &conexion))) {
        const Diagnostico d = diagnostico(SQL_HANDLE_ENV, entorno);
        close();
        throw errorMotor(d.mensajes.join(u'\n'), d.sqlState, d.nativo, kOrigen);
    }
    conexion_ = conexion;
    if (connectionTimeout > 0) {
        SQLSetConnectAttrW(conexion, SQL_ATTR_LOGIN_TIMEOUT,
                           atributoEntero(SQLULEN(connectionTimeout)), 0);
    }
    const SQLRETURN r = SQLDriverConnectW(conexion, nullptr, w(textoOdbc_), SQL_NTS, nullptr, 0,
                                          nullptr, SQL_DRIVER_NOPROMPT);
    if (!exito(r)) {
        const Diagnostico d = diagnostico(SQL_HANDLE_DBC, conexion);
        SQLFreeHandle(SQL_HANDLE_DBC, conexion);
        conexion_ = nullptr;
        close();
        QString descripcion = d.mensajes.join(u'\n');
        if (descripcion.isEmpty()) {
            descripcion = QStringLiteral("No se pudo conectar.");
        }
        throw errorMotor(descripcion, d.sqlState, d.nativo, kOrigen);
    }
    const QString nombre = property(QStringLiteral("DBMS Name")).toString() + u' ' +
                           property(QStringLiteral("DBMS Version")).toString();
    familia_ = nombre.contains(QStringLiteral("MariaDB"), Qt::CaseInsensitive) ? Familia::MariaDb
               : nombre.contains(QStringLiteral("MySQL"), Qt::CaseInsensitive) ? Familia::MySql
               : nombre.contains(QStringLiteral("SQL Server"), Qt::CaseInsensitive)
                   ? Familia::SqlServer
                   : Familia::Otra;
    limiteAplicado_ = -1;
}

void OdbcBackend::aplicaLimiteServidor(qint32 commandTimeout) {
    if ((familia_ != Familia::MariaDb && familia_ != Familia::MySql) ||
        commandTimeout == limiteAplicado_) {
        return;
    }
    limiteAplicado_ = commandTimeout;
    const qint32 segundos = std::max(commandTimeout, 0);
    const QString sql =
        familia_ == Familia::MariaDb
            ? QStringLiteral("SET SESSION max_statement_time=%1").arg(segundos)
            : QStringLiteral("SET SESSION max_execution_time=%1").arg(segundos * 1000);
    StatementPropio propio;
    if (exito(SQLAllocHandle(SQL_HANDLE_STMT, static_cast<SQLHDBC>(conexion_), &propio.st))) {
        // A server without the setting keeps only the driver's time-out.
        SQLExecDirectW(propio.st, w(sql), SQL_NTS);
    }
}

void OdbcBackend::lanzaDeSentencia(void* sentencia, const QString& sql) const {
    lanza(SQL_HANDLE_STMT, static_cast<SQLHSTMT>(sentencia), sql,
          familia_ == Familia::MariaDb || familia_ == Familia::MySql);
}

void OdbcBackend::close() {
    if (conexion_) {
        SQLDisconnect(static_cast<SQLHDBC>(conexion_));
        SQLFreeHandle(SQL_HANDLE_DBC, static_cast<SQLHDBC>(conexion_));
        conexion_ = nullptr;
    }
    if (entorno_) {
        SQLFreeHandle(SQL_HANDLE_ENV, static_cast<SQLHENV>(entorno_));
        entorno_ = nullptr;
    }
}

Resultado OdbcBackend::execute(const QString& sql, const QVariantList& parametros,
                               qint32 commandTimeout) {
    if (!conexion_) {
        throw ErrorEjecucion(ErrorEjecucion::kConexionRota,
                             QStringLiteral("La conexión está cerrada."), kOrigen,
                             QStringLiteral("08003"), 0);
    }
    aplicaLimiteServidor(commandTimeout);
    StatementPropio propio;
    if (!exito(SQLAllocHandle(SQL_HANDLE_STMT, static_cast<SQLHDBC>(conexion_), &propio.st))) {
        lanza(SQL_HANDLE_DBC, static_cast<SQLHDBC>(conexion_), sql);
    }
    SQLSetStmtAttrW(propio.st, SQL_ATTR_QUERY_TIMEOUT,
                    atributoEntero(SQLULEN(std::max(commandTimeout, 0))), 0);
    Parametros enlazados;
    SQLRETURN r;
    if (parametros.isEmpty()) {
        r = SQLExecDirectW(propio.st, w(sql), SQL_NTS);
    } else {
        if (!exito(SQLPrepareW(propio.st, w(sql), SQL_NTS))) {
            lanzaDeSentencia(propio.st, sql);
        }
        enlazados.enlaza(propio.st, parametros);
        r = SQLExecute(propio.st);
    }
    Resultado resultado;
    if (r == SQL_SUCCESS_WITH_INFO) {
        resultado.avisos = diagnostico(SQL_HANDLE_STMT, propio.st).mensajes;
    } else if (r != SQL_SUCCESS && r != SQL_NO_DATA) {
        lanzaDeSentencia(propio.st, sql);
    }
    SQLSMALLINT columnas = 0;
    SQLNumResultCols(propio.st, &columnas);
    if (columnas > 0) {
        resultado.cursor = std::make_unique<OdbcCursor>(propio.suelta(), columnas);
        return resultado;
    }
    SQLLEN filas = -1;
    SQLRowCount(propio.st, &filas);
    resultado.recordsAffected = static_cast<qint32>(filas);
    return resultado;
}

std::optional<bool> OdbcBackend::enTransaccion() const {
    SQLULEN modo = SQL_AUTOCOMMIT_ON;
    if (conexion_ &&
        exito(SQLGetConnectAttrW(static_cast<SQLHDBC>(conexion_), SQL_ATTR_AUTOCOMMIT, &modo, 0,
                                 nullptr)) &&
        modo == SQL_AUTOCOMMIT_OFF) {
        return true;
    }
    return std::nullopt;
}

QVariant OdbcBackend::property(const QString& name) const {
    const QString clave = name.simplified().toLower();
    if (clave == u"data source") {
        for (const auto& [k, v] : paresConexion(textoOdbc_)) {
            const QString nombre = k.toLower();
            if (nombre == u"server" || nombre == u"dbq" || nombre == u"dsn") {
                return v;
            }
        }
        return QString();
    }
    SQLUSMALLINT info = 0;
    if (clave == u"dbms name") {
        info = SQL_DBMS_NAME;
    } else if (clave == u"dbms version") {
        info = SQL_DBMS_VER;
    } else if (clave == u"driver name") {
        info = SQL_DRIVER_NAME;
    }
    if (!info || !conexion_) {
        return {};
    }
    SQLWCHAR texto[256] = {};
    SQLSMALLINT bytes = 0;
    if (!exito(SQLGetInfoW(static_cast<SQLHDBC>(conexion_), info, texto, sizeof texto, &bytes))) {
        return {};
    }
    return deW(texto, std::min<qsizetype>(bytes / 2, std::size(texto) - 1));
}

QStringList OdbcBackend::primaryKey(const QString& table) {
    QStringList claves;
    if (!conexion_) {
        return claves;
    }
    StatementPropio propio;
    if (!exito(SQLAllocHandle(SQL_HANDLE_STMT, static_cast<SQLHDBC>(conexion_), &propio.st))) {
        return claves;
    }
    QString tabla = table.trimmed();
    if (tabla.size() >= 2 && QStringLiteral("[`\"").contains(tabla.front())) {
        tabla = tabla.mid(1, tabla.size() - 2);
    }
    if (!exito(SQLPrimaryKeysW(propio.st, nullptr, 0, nullptr, 0, w(tabla), SQL_NTS))) {
        return claves;
    }
    while (exito(SQLFetch(propio.st))) {
        const QVariant nombre = leeEnTrozos(propio.st, 4, false, tipoAdo::kVarWChar);
        claves << nombre.toString();
    }
    return claves;
}

QStringList controladoresOdbcInstalados() {
    QStringList nombres;
    SQLHENV entorno = SQL_NULL_HENV;
    if (!exito(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &entorno))) {
        return nombres;
    }
    SQLSetEnvAttr(entorno, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLWCHAR nombre[256];
    SQLWCHAR atributos[1024];
    SQLSMALLINT largoNombre = 0;
    SQLSMALLINT largoAtributos = 0;
    SQLUSMALLINT direccion = SQL_FETCH_FIRST;
    while (
        exito(SQLDriversW(entorno, direccion, nombre, SQLSMALLINT(std::size(nombre)), &largoNombre,
                          atributos, SQLSMALLINT(std::size(atributos)), &largoAtributos))) {
        nombres << deW(nombre, std::min<qsizetype>(largoNombre, std::size(nombre) - 1));
        direccion = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, entorno);
    return nombres;
}

}  // namespace platform
