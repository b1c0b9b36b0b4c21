#include "platform/OdbcBackend.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <QDateTime>
#include <limits>

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

ColumnInfo columnaOdbc(SQLSMALLINT tipoSql, SQLULEN tamano, SQLSMALLINT decimales, SQLSMALLINT nulo,
                       bool sinSigno) {
    ColumnInfo c;
    const auto tam =
        static_cast<qint32>(std::min<SQLULEN>(tamano, std::numeric_limits<qint32>::max()));
    switch (tipoSql) {
        case SQL_CHAR:
            c.type = tipoAdo::kChar, c.definedSize = tam;
            break;
        case SQL_VARCHAR:
            c.type = tipoAdo::kVarChar, c.definedSize = tam;
            break;
        case SQL_LONGVARCHAR:
            c.type = tipoAdo::kLongVarChar, c.definedSize = tam;
            break;
        case SQL_WCHAR:
            c.type = tipoAdo::kWChar, c.definedSize = tam;
            break;
        case SQL_WVARCHAR:
            c.type = tipoAdo::kVarWChar, c.definedSize = tam;
            break;
        case SQL_WLONGVARCHAR:
            c.type = tipoAdo::kLongVarWChar, c.definedSize = tam;
            break;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            c.type = tipoAdo::kNumeric, c.definedSize = 19;
            c.precision = quint8(std::min<SQLULEN>(tamano, 255));
            c.numericScale = quint8(std::max<SQLSMALLINT>(decimales, 0));
            break;
        case SQL_SMALLINT:
            c.type = tipoAdo::kSmallInt, c.definedSize = 2, c.precision = 5;
            break;
        case SQL_INTEGER:
            c.type = tipoAdo::kInteger, c.definedSize = 4, c.precision = 10;
            break;
        case SQL_BIGINT:
            c.type = tipoAdo::kBigInt, c.definedSize = 8, c.precision = 19;
            break;
        case SQL_TINYINT:
            c.type = sinSigno ? tipoAdo::kUnsignedTinyInt : tipoAdo::kTinyInt;
            c.definedSize = 1, c.precision = 3;
            break;
        case SQL_REAL:
            c.type = tipoAdo::kSingle, c.definedSize = 4, c.precision = 7;
            break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            c.type = tipoAdo::kDouble, c.definedSize = 8, c.precision = 15;
            break;
        case SQL_BIT:
            c.type = tipoAdo::kBoolean, c.definedSize = 2;
            break;
        case SQL_BINARY:
            c.type = tipoAdo::kBinary, c.definedSize = tam;
            break;
        case SQL_VARBINARY:
            c.type = tipoAdo::kVarBinary, c.definedSize = tam;
            break;
        case SQL_LONGVARBINARY:
            c.type = tipoAdo::kLongVarBinary, c.definedSize = tam;
            break;
        case SQL_TYPE_DATE:
            c.type = tipoAdo::kDbDate, c.definedSize = 6;
            break;
        case SQL_TYPE_TIME:
            c.type = tipoAdo::kDbTime, c.definedSize = 6;
            break;
        case SQL_TYPE_TIMESTAMP:
        case SQL_DATETIME:
            c.type = tipoAdo::kDbTimeStamp, c.definedSize = 16;
            break;
        case SQL_GUID:
            c.type = tipoAdo::kGuid, c.definedSize = 16;
            break;
        default:
            c.type = tipoAdo::kVarWChar, c.definedSize = tam;
            break;
    }
    if (esTipoLargo(c.type)) {
        c.attributes |= Field::kLargo;
    }
    if (nulo != SQL_NO_NULLS) {
        c.attributes |= Field::kPuedeSerNulo;
        if (nulo == SQL_NULLABLE) {
            c.attributes |= Field::kAdmiteNulo;
        }
    }
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
        fila.resize(columnas_.size());
        for (int i = 0; i < columnas_.size(); ++i) {
            fila[i] = leeValor(st_, SQLUSMALLINT(i + 1), columnas_[i].type);
        }
        return true;
    }

private:
    void libera() {
        if (st_) {
            SQLCloseCursor(st_);
            SQLFreeHandle(SQL_HANDLE_STMT, st_);
            st_ = nullptr;
        }
    }

    SQLHSTMT st_;
    QVector<ColumnInfo> columnas_;
};

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
    static void enlazaUno(SQLHSTMT st, SQLUSMALLINT posicion, const QVariant& valor,
                          QByteArray& dato, SQLLEN& indicador) {
        SQLSMALLINT tipoC = SQL_C_WCHAR;
        SQLSMALLINT tipoSql = SQL_WVARCHAR;
        SQLULEN tamano = 1;
        SQLSMALLINT decimales = 0;
        const bool nulo = !valor.isValid() || valor.isNull();
        switch (valor.typeId()) {
            case QMetaType::QByteArray:
                dato = valor.toByteArray();
                tipoC = SQL_C_BINARY;
                tipoSql = SQL_LONGVARBINARY;
                tamano = SQLULEN(std::max<qsizetype>(dato.size(), 1));
                break;
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
            case QMetaType::ULong: {
                const SQLBIGINT n = valor.toLongLong();
                dato = QByteArray(reinterpret_cast<const char*>(&n), sizeof n);
                tipoC = SQL_C_SBIGINT;
                tipoSql = SQL_BIGINT;
                tamano = 19;
                break;
            }
            case QMetaType::Double:
            case QMetaType::Float: {
                const double x = valor.toDouble();
                dato = QByteArray(reinterpret_cast<const char*>(&x), sizeof x);
                tipoC = SQL_C_DOUBLE;
                tipoSql = SQL_DOUBLE;
                tamano = 15;
                break;
            }
            case QMetaType::QDateTime:
            case QMetaType::QDate: {
                const QDateTime f = valor.toDateTime();
                SQL_TIMESTAMP_STRUCT t{};
                t.year = SQLSMALLINT(f.date().year());
                t.month = SQLUSMALLINT(f.date().month());
                t.day = SQLUSMALLINT(f.date().day());
                t.hour = SQLUSMALLINT(f.time().hour());
                t.minute = SQLUSMALLINT(f.time().minute());
                t.second = SQLUSMALLINT(f.time().second());
                dato = QByteArray(reinterpret_cast<const char*>(&t), sizeof t);
                tipoC = SQL_C_TYPE_TIMESTAMP;
                tipoSql = SQL_TYPE_TIMESTAMP;
                tamano = 19;
                break;
            }
            default: {
                const QString texto = valor.toString();
                // Exactly the characters, no terminating NUL: the length says where it ends.
                dato = QByteArray(reinterpret_cast<const char*>(texto.utf16()),
                                  texto.size() * qsizetype(sizeof(SQLWCHAR)));
                tamano = SQLULEN(std::max<qsizetype>(texto.size(), 1));
                tipoSql = texto.size() > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
                break;
            }
        }
        indicador = nulo ? SQL_NULL_DATA : SQLLEN(dato.size());
        if (nulo) {
            dato = QByteArray(1, '\0');
        }
        if (!exito(SQLBindParameter(st, posicion, SQL_PARAM_INPUT, tipoC, tipoSql, tamano,
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
                           reinterpret_cast<SQLPOINTER>(SQLULEN(connectionTimeout)), 0);
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
                    reinterpret_cast<SQLPOINTER>(SQLULEN(std::max(commandTimeout, 0))), 0);
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
