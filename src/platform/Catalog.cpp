#include "platform/Catalog.h"

#include <algorithm>
#include <limits>

#include "platform/CodigosError.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"
#include "platform/TextoSql.h"
#include "platform/TiposDatos.h"

namespace platform {

namespace {

ErrorEjecucion noEncontrado(const QString& nombre) {
    return ErrorEjecucion(
        kErrorNoEncontrado,
        QStringLiteral("No se encontró el elemento %1 en la colección.").arg(nombre),
        QStringLiteral("Catalog"));
}

// Runs sql on con and calls fila for each of its rows, in order.
template <typename Fila>
void recorre(Connection* con, const QString& sql, Fila fila) {
    const RecordsetPtr r = con->execute(sql);
    if (r == nullptr) {
        return;
    }
    for (; !r->eof(); r->moveNext()) {
        fila(*r);
    }
}

QString texto(Recordset& r, const char* columna) {
    return r.field(QString::fromLatin1(columna)).value().toString();
}

qint64 numero(Recordset& r, const char* columna) {
    return r.field(QString::fromLatin1(columna)).value().toLongLong();
}

QString tipoTablaInformationSchema(const QString& tipo) {
    if (tipo == u"BASE TABLE" || tipo == u"TEMPORARY") {
        return QStringLiteral("TABLE");
    }
    if (tipo == u"SYSTEM VIEW") {
        return QStringLiteral("SYSTEM TABLE");
    }
    return tipo;
}

QString tipoTablaSqlite(const QString& nombre, const QString& tipo) {
    if (nombre.startsWith(u"sqlite_", Qt::CaseInsensitive)) {
        return QStringLiteral("SYSTEM TABLE");
    }
    return tipo == u"view" ? QStringLiteral("VIEW") : QStringLiteral("TABLE");
}

struct TipoServidor {
    const char* nombre;
    qint32 tipo;
    qint32 tamano;  // bytes of a fixed type; 0 when the declared length applies
};

// Data-access codes of the server engines' type names, as their ODBC drivers report them
// through the narrow interface (varchar 200, text 201), which the toolkit's mappings expect.
constexpr TipoServidor kTiposComunes[] = {
    {"smallint", tipoAdo::kSmallInt, 2},
    {"mediumint", tipoAdo::kInteger, 4},
    {"int", tipoAdo::kInteger, 4},
    {"integer", tipoAdo::kInteger, 4},
    {"bigint", tipoAdo::kBigInt, 8},
    {"double", tipoAdo::kDouble, 8},
    {"decimal", tipoAdo::kNumeric, 19},
    {"numeric", tipoAdo::kNumeric, 19},
    {"money", tipoAdo::kCurrency, 8},
    {"smallmoney", tipoAdo::kCurrency, 8},
    {"bit", tipoAdo::kBoolean, 2},
    {"date", tipoAdo::kDbDate, 6},
    {"time", tipoAdo::kDbTime, 6},
    {"datetime", tipoAdo::kDbTimeStamp, 16},
    {"datetime2", tipoAdo::kDbTimeStamp, 16},
    {"smalldatetime", tipoAdo::kDbTimeStamp, 16},
    {"timestamp", tipoAdo::kDbTimeStamp, 16},
    {"char", tipoAdo::kChar, 0},
    {"nchar", tipoAdo::kWChar, 0},
    {"varchar", tipoAdo::kVarChar, 0},
    {"nvarchar", tipoAdo::kVarWChar, 0},
    {"enum", tipoAdo::kVarChar, 0},
    {"set", tipoAdo::kVarChar, 0},
    {"tinytext", tipoAdo::kLongVarChar, 0},
    {"text", tipoAdo::kLongVarChar, 0},
    {"mediumtext", tipoAdo::kLongVarChar, 0},
    {"longtext", tipoAdo::kLongVarChar, 0},
    {"ntext", tipoAdo::kLongVarWChar, 0},
    {"binary", tipoAdo::kBinary, 0},
    {"varbinary", tipoAdo::kVarBinary, 0},
    {"tinyblob", tipoAdo::kLongVarBinary, 0},
    {"blob", tipoAdo::kLongVarBinary, 0},
    {"mediumblob", tipoAdo::kLongVarBinary, 0},
    {"longblob", tipoAdo::kLongVarBinary, 0},
    {"image", tipoAdo::kLongVarBinary, 0},
};

// The engine-dependent names: MySQL's float is single and its real double; SQL Server's are
// the other way round. tinyint is signed on MySQL unless declared unsigned, unsigned on SQL
// Server.
void tipoServidor(CatalogColumn& c, const QString& nombre, const QString& declarado,
                  Catalog::Motor motor) {
    const bool mySql = motor == Catalog::Motor::MySql;
    if (nombre == u"tinyint") {
        const bool sinSigno = !mySql || declarado.contains(u"unsigned", Qt::CaseInsensitive);
        c.type = sinSigno ? tipoAdo::kUnsignedTinyInt : tipoAdo::kTinyInt;
        c.definedSize = 1;
        return;
    }
    if (nombre == u"float" || nombre == u"real") {
        const bool simple = (nombre == u"float") == mySql;
        c.type = simple ? tipoAdo::kSingle : tipoAdo::kDouble;
        c.definedSize = simple ? 4 : 8;
        return;
    }
    for (const TipoServidor& t : kTiposComunes) {
        if (nombre == QLatin1String(t.nombre)) {
            c.type = t.tipo;
            c.definedSize = t.tamano;
            return;
        }
    }
    c.type = 0;
}

quint8 octeto(const QVariant& v) {
    return static_cast<quint8>(std::clamp<qint64>(v.toLongLong(), 0, 255));
}

}  // namespace

const CatalogColumn& CatalogTable::column(const QString& nombre) const {
    for (const CatalogColumn& c : columns) {
        if (c.name.compare(nombre, Qt::CaseInsensitive) == 0) {
            return c;
        }
    }
    throw noEncontrado(nombre);
}

const CatalogIndex& CatalogTable::index(const QString& nombre) const {
    for (const CatalogIndex& i : indexes) {
        if (i.name.compare(nombre, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    throw noEncontrado(nombre);
}

Catalog::Catalog(Connection* con, Motor motor) : con_(con), motor_(motor) {}

QString Catalog::literal(const QString& texto) const {
    return literalTextoSql(texto, motor_ == Motor::MySql);
}

QString Catalog::filtroEsquema() const {
    return motor_ == Motor::MySql ? QStringLiteral("TABLE_SCHEMA=DATABASE()")
                                  : QStringLiteral("TABLE_CATALOG=DB_NAME()");
}

QVector<CatalogTable> Catalog::tables() {
    QVector<CatalogTable> tablas;
    if (motor_ == Motor::Sqlite) {
        recorre(con_,
                QStringLiteral("SELECT name, type FROM sqlite_master WHERE type IN "
                               "('table','view') ORDER BY name"),
                [&](Recordset& r) {
                    const QString nombre = texto(r, "name");
                    tablas.append({nombre, tipoTablaSqlite(nombre, texto(r, "type")), {}, {}});
                });
        return tablas;
    }
    recorre(con_,
            QStringLiteral("SELECT TABLE_NAME, TABLE_TYPE FROM INFORMATION_SCHEMA.TABLES WHERE ") +
                filtroEsquema() + QStringLiteral(" ORDER BY TABLE_NAME"),
            [&](Recordset& r) {
                tablas.append({texto(r, "TABLE_NAME"),
                               tipoTablaInformationSchema(texto(r, "TABLE_TYPE")),
                               {},
                               {}});
            });
    return tablas;
}

CatalogTable Catalog::table(const QString& nombre) {
    CatalogTable tabla;
    if (motor_ == Motor::Sqlite) {
        recorre(con_,
                QStringLiteral("SELECT name, type FROM sqlite_master WHERE type IN "
                               "('table','view') AND name=") +
                    literal(nombre) + QStringLiteral(" COLLATE NOCASE"),
                [&](Recordset& r) {
                    tabla.name = texto(r, "name");
                    tabla.type = tipoTablaSqlite(tabla.name, texto(r, "type"));
                });
    } else {
        recorre(con_,
                QStringLiteral("SELECT TABLE_NAME, TABLE_TYPE FROM INFORMATION_SCHEMA.TABLES "
                               "WHERE ") +
                    filtroEsquema() + QStringLiteral(" AND TABLE_NAME=") + literal(nombre),
                [&](Recordset& r) {
                    tabla.name = texto(r, "TABLE_NAME");
                    tabla.type = tipoTablaInformationSchema(texto(r, "TABLE_TYPE"));
                });
    }
    if (tabla.name.isEmpty()) {
        throw noEncontrado(nombre);
    }
    if (motor_ == Motor::Sqlite) {
        leeSqlite(tabla);
        leeIndicesSqlite(tabla);
    } else {
        leeInformationSchema(tabla);
        if (motor_ == Motor::MySql) {
            leeIndicesMySql(tabla);
        }
    }
    return tabla;
}

void Catalog::leeSqlite(CatalogTable& tabla) {
    // The types come from the connection's own recordset of the table, so the catalogue and
    // every recordset on it report a column alike; the pragma adds what a result cannot say.
    const RecordsetPtr vacio =
        con_->execute(QStringLiteral("SELECT * FROM ") + identificadorSql(tabla.name) +
                      QStringLiteral(" LIMIT 0"));
    Fields& campos = vacio->fields();
    int i = 0;
    recorre(con_,
            QStringLiteral("SELECT name, \"notnull\" AS nn FROM pragma_table_info(") +
                literal(tabla.name) + QStringLiteral(") ORDER BY cid"),
            [&](Recordset& r) {
                CatalogColumn c;
                c.name = texto(r, "name");
                if (i < campos.count()) {
                    Field& f = campos.item(i);
                    c.type = f.type();
                    c.definedSize = f.definedSize();
                    c.precision = f.precision();
                    c.numericScale = f.numericScale();
                }
                c.attributes = numero(r, "nn") == 0 ? CatalogColumn::kAdmiteNulo : 0;
                tabla.columns.append(c);
                ++i;
            });
    vacio->close();
}

void Catalog::leeIndicesSqlite(CatalogTable& tabla) {
    QVector<CatalogIndex> otros;
    recorre(con_,
            QStringLiteral("SELECT name, \"unique\" AS u, origin FROM pragma_index_list(") +
                literal(tabla.name) + QStringLiteral(")"),
            [&](Recordset& r) {
                CatalogIndex indice{
                    texto(r, "name"), texto(r, "origin") == u"pk", numero(r, "u") != 0, {}};
                otros.append(indice);
            });
    for (CatalogIndex& indice : otros) {
        recorre(con_,
                QStringLiteral("SELECT name FROM pragma_index_info(") + literal(indice.name) +
                    QStringLiteral(") ORDER BY seqno"),
                [&](Recordset& r) { indice.columns.append(texto(r, "name")); });
    }
    QStringList clave;
    recorre(con_,
            QStringLiteral("SELECT name FROM pragma_table_info(") + literal(tabla.name) +
                QStringLiteral(") WHERE pk>0 ORDER BY pk"),
            [&](Recordset& r) { clave.append(texto(r, "name")); });
    for (const CatalogIndex& indice : otros) {
        if (indice.primaryKey) {
            tabla.indexes.append({indice.name, true, true, clave});
        }
    }
    if (tabla.indexes.isEmpty() && !clave.isEmpty()) {
        // A key on one "integer" column is the table's row id and has no index of its own.
        tabla.indexes.append({QStringLiteral("PrimaryKey"), true, true, clave});
    }
    for (const CatalogIndex& indice : otros) {
        if (!indice.primaryKey) {
            tabla.indexes.append(indice);
        }
    }
}

void Catalog::leeInformationSchema(CatalogTable& tabla) {
    const bool mySql = motor_ == Motor::MySql;
    const QString sql = QStringLiteral(
                            "SELECT COLUMN_NAME, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH, "
                            "NUMERIC_PRECISION, NUMERIC_SCALE, IS_NULLABLE") +
                        (mySql ? QStringLiteral(", COLUMN_TYPE") : QString()) +
                        QStringLiteral(" FROM INFORMATION_SCHEMA.COLUMNS WHERE ") +
                        filtroEsquema() + QStringLiteral(" AND TABLE_NAME=") + literal(tabla.name) +
                        QStringLiteral(" ORDER BY ORDINAL_POSITION");
    recorre(con_, sql, [&](Recordset& r) {
        CatalogColumn c;
        c.name = texto(r, "COLUMN_NAME");
        const QString declarado = mySql ? texto(r, "COLUMN_TYPE") : QString();
        tipoServidor(c, texto(r, "DATA_TYPE").toLower(), declarado, motor_);
        if (c.definedSize == 0) {
            const qint64 largo = numero(r, "CHARACTER_MAXIMUM_LENGTH");
            c.definedSize =
                largo < 0
                    ? std::numeric_limits<qint32>::max()
                    : static_cast<qint32>(qMin<qint64>(largo, std::numeric_limits<qint32>::max()));
        } else {
            c.attributes |= CatalogColumn::kFija;
        }
        c.precision = octeto(r.field(QStringLiteral("NUMERIC_PRECISION")).value());
        c.numericScale = octeto(r.field(QStringLiteral("NUMERIC_SCALE")).value());
        if (texto(r, "IS_NULLABLE").compare(u"YES", Qt::CaseInsensitive) == 0) {
            c.attributes |= CatalogColumn::kAdmiteNulo;
        }
        tabla.columns.append(c);
    });
}

void Catalog::leeIndicesMySql(CatalogTable& tabla) {
    recorre(con_,
            QStringLiteral("SELECT INDEX_NAME, NON_UNIQUE, COLUMN_NAME FROM "
                           "INFORMATION_SCHEMA.STATISTICS WHERE TABLE_SCHEMA=DATABASE() AND "
                           "TABLE_NAME=") +
                literal(tabla.name) + QStringLiteral(" ORDER BY INDEX_NAME, SEQ_IN_INDEX"),
            [&](Recordset& r) {
                const QString nombre = texto(r, "INDEX_NAME");
                if (tabla.indexes.isEmpty() || tabla.indexes.last().name != nombre) {
                    tabla.indexes.append(
                        {nombre, nombre == u"PRIMARY", numero(r, "NON_UNIQUE") == 0, {}});
                }
                tabla.indexes.last().columns.append(texto(r, "COLUMN_NAME"));
            });
}

}  // namespace platform
