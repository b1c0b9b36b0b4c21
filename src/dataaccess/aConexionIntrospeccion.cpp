#include <limits>

#include "dataaccess/aConexion.h"
#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"
#include "platform/TextoSql.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The text type of SQL Server's syscolumns.
constexpr qint32 kTipoTextSqlServer = 35;

platform::ErrorEjecucion fueraDeIntervalo() {
    return platform::ErrorEjecucion(platform::kErrorSubindice, u"Subíndice fuera del intervalo"_s,
                                    u"aConexion"_s);
}

bool primeraColumnaNoNula(const platform::RecordsetPtr& r, int columna = 0) {
    return r != nullptr && !r->fields().item(columna).value().isNull();
}

qint16 entero16(const QVariant& valor) {
    const qint64 n = valor.toLongLong();
    if (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max()) {
        throw platform::ErrorEjecucion(platform::kErrorDesbordamiento, u"Desbordamiento"_s,
                                       u"aConexion"_s);
    }
    return static_cast<qint16>(n);
}

// Entry n (from 1) of a list that grows as a filling operation counts; entries already there
// are overwritten, never cleared.
template <typename T>
T& entrada(QVector<T>& lista, qint32 n) {
    if (lista.size() < n) {
        lista.resize(n);
    }
    return lista[n - 1];
}

// The list keeps exactly the n entries counted, unless there were none.
template <typename T>
void recorta(QVector<T>& lista, qint32 n) {
    if (n > 0) {
        lista.resize(n);
    }
}

}  // namespace

QString aConexion::escapa(const QString& valor) const {
    return platform::escapaTextoSql(valor, motor() == Motor::MySql);
}

platform::Catalog aConexion::catalogo() const {
    using MotorCatalogo = platform::Catalog::Motor;
    const MotorCatalogo motorCatalogo = motor() == Motor::MySql       ? MotorCatalogo::MySql
                                        : motor() == Motor::SqlServer ? MotorCatalogo::SqlServer
                                                                      : MotorCatalogo::Sqlite;
    return platform::Catalog(con_.get(), motorCatalogo);
}

platform::RecordsetPtr aConexion::primeraFila(const QString& sql) {
    platform::RecordsetPtr r = con_->execute(sql);
    if (r == nullptr || r->eof()) {
        return nullptr;
    }
    return r;
}

bool aConexion::existeTabla(const QString& tabla) {
    if (motor() == Motor::Oracle) {
        return primeraColumnaNoNula(
            primeraFila(u"select owner, table_name FROM dba_tables WHERE table_name = '"_s +
                        escapa(tabla.toUpper()) + u'\''),
            1);
    }
    if (motor() == Motor::SqlServer) {
        const QString sql = tabla.startsWith(u'#')
                                ? u"SELECT object_id('tempdb.."_s + escapa(tabla) + u"')"_s
                                : u"SELECT object_id('"_s + escapa(tabla) + u"','U')"_s;
        return primeraColumnaNoNula(primeraFila(sql));
    }
    try {
        catalogo().table(tabla);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool aConexion::existeIndice(const QString& tabla, const QString& indice) {
    if (motor() == Motor::Oracle) {
        return false;
    }
    if (motor() == Motor::SqlServer) {
        const QString sql = tabla.startsWith(u'#')
                                ? u"SELECT * FROM sysindexes WHERE name='"_s + escapa(indice) +
                                      u"' AND id=object_id('tempdb.."_s + escapa(tabla) + u"')"_s
                                : u"SELECT * FROM sysindexes WHERE  id=object_id('"_s +
                                      escapa(tabla) + u"','U') AND name='"_s + escapa(indice) +
                                      u'\'';
        return primeraColumnaNoNula(primeraFila(sql));
    }
    try {
        catalogo().table(tabla).index(indice);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool aConexion::existeProcedimiento(const QString& procedimiento) {
    if (motor() != Motor::SqlServer) {
        return false;
    }
    return primeraColumnaNoNula(
        primeraFila(u"SELECT object_id('"_s + escapa(procedimiento) + u"','P')"_s));
}

bool aConexion::existeCampo(const QString& tabla, const QString& campo) {
    if (motor() == Motor::Oracle) {
        return primeraFila(u"SELECT column_name FROM all_tab_columns WHERE table_name = '"_s +
                           escapa(tabla.toUpper()) + u"' AND column_name='"_s +
                           escapa(campo.toUpper()) + u'\'') != nullptr;
    }
    if (motor() == Motor::SqlServer) {
        return primeraFila(u"SELECT name FROM syscolumns  WHERE id=object_id('"_s + escapa(tabla) +
                           u"','U') AND name='"_s + escapa(campo) + u'\'') != nullptr;
    }
    try {
        catalogo().table(tabla).column(campo);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

qint32 aConexion::nTablas() {
    qint32 n = 0;
    if (motor() == Motor::Oracle) {
        const platform::RecordsetPtr r = con_->execute(u"SELECT table_name FROM user_tables"_s);
        for (; r != nullptr && !r->eof(); r->moveNext()) {
            ++n;
            entrada(tablasLeidas_, n) = r->field(u"table_name"_s).value().toString();
        }
    } else {
        for (const platform::CatalogTable& t : catalogo().tables()) {
            if (t.name.startsWith(u"BIN$") || (t.type != u"TABLE" && t.type != u"PASS-THROUGH")) {
                continue;
            }
            ++n;
            entrada(tablasLeidas_, n) = t.name;
        }
    }
    recorta(tablasLeidas_, n);
    return n;
}

QVariant aConexion::nCampos(const QString& tabla) {
    qint32 n = 0;
    if (motor() == Motor::Oracle) {
        leeCamposOracle(tabla, n);
    } else {
        leeCamposCatalogo(tabla, n);
    }
    recorta(camposLeidos_, n);
    return QVariant(n);
}

void aConexion::leeCamposOracle(const QString& tabla, qint32& n) {
    const platform::RecordsetPtr r = con_->execute(
        u"SELECT * FROM all_tab_columns WHERE table_name = '"_s + escapa(tabla.toUpper()) +
        u"' AND OWNER='"_s + escapa(login_.toUpper()) + u'\'');
    if (r == nullptr || r->eof()) {
        return;
    }
    for (; !r->eof(); r->moveNext()) {
        ++n;
        CampoLeido& c = entrada(camposLeidos_, n);
        c.clave = false;
        c.nombre = r->field(u"column_name"_s).value().toString();
        const QString largo = r->field(u"DATA_LENGTH"_s).value().toString();
        c.tamano = largo;
        const QString tipo = r->field(u"data_type"_s).value().toString();
        if (tipo == u"VARCHAR2") {
            c.tipo = u"VARCHAR2("_s + largo + u')';
            c.codigo = kTexto;
        } else {
            const QVariant precision = r->field(u"data_precision"_s).value();
            const QVariant escala = r->field(u"data_Scale"_s).value();
            const qint16 p = precision.isNull() ? 0 : entero16(precision);
            const qint16 s = escala.isNull() ? 1 : entero16(escala);
            c.codigo = datoTipo(tipo, p, s);
            c.tipo = tipoDato(c.codigo, precision.isNull() ? 1 : p);
        }
        c.nulos = r->field(u"nullable"_s).value().toString() == u"Y";
        const QVariant defecto = r->field(u"data_Default"_s).value();
        c.defecto = defecto.isNull() ? QString() : defecto.toString();
    }
    const platform::RecordsetPtr claves = con_->execute(
        u"SELECT cols.table_name, cols.column_name, cols.position, cons.status, cons.owner "
        u" FROM all_constraints cons, all_cons_columns cols WHERE cols.table_name = '"_s +
        escapa(tabla.toUpper()) +
        u"' AND cons.constraint_type = 'P' AND cons.constraint_name = cols.constraint_name AND "
        u"cons.owner = cols.owner ORDER BY cols.table_name, cols.position"_s);
    for (; claves != nullptr && !claves->eof(); claves->moveNext()) {
        const QString columna = claves->field(u"column_name"_s).value().toString();
        for (qint32 i = 0; i < n; ++i) {
            if (camposLeidos_[i].nombre == columna) {
                camposLeidos_[i].clave = true;
                break;
            }
        }
    }
}

void aConexion::leeCamposCatalogo(const QString& tabla, qint32& n) {
    const platform::CatalogTable t = catalogo().table(tabla);
    QStringList clave;
    if (motor() == Motor::MySql) {
        const platform::RecordsetPtr r =
            con_->execute(u"SHOW KEYS IN "_s + tabla + u" WHERE key_name='PRIMARY'"_s);
        for (; r != nullptr && !r->eof(); r->moveNext()) {
            clave.append(r->field(u"column_name"_s).value().toString());
        }
    } else {
        for (const platform::CatalogIndex& indice : t.indexes) {
            if (indice.primaryKey) {
                clave += indice.columns;
            }
        }
    }
    for (const platform::CatalogColumn& columna : t.columns) {
        ++n;
        CampoLeido& c = entrada(camposLeidos_, n);
        c.nombre = columna.name;
        c.tamano = QString::number(columna.definedSize);
        c.codigo = tipoDatoType(columna.type, columna.precision, columna.numericScale);
        c.tipo = QString::number(c.codigo);
        c.defecto.clear();
        c.clave = clave.contains(columna.name);
        c.nulos = (columna.attributes & platform::CatalogColumn::kAdmiteNulo) != 0;
    }
}

qint32 aConexion::nClavesForaneas(const QString& tabla) {
    if (motor() != Motor::SqlServer) {
        return 0;
    }
    const platform::RecordsetPtr r = con_->execute(
        u"SELECT FK.TABLE_NAME as FK_Table,CU.COLUMN_NAME as FK_Column,PK.TABLE_NAME as"
        u" PK_Table,PT.COLUMN_NAME as PK_Column,c.CONSTRAINT_NAME as CONSTRAINT_NAME FROM "
        u" INFORMATION_SCHEMA.REFERENTIAL_CONSTRAINTS c Inner Join "
        u"INFORMATION_SCHEMA.TABLE_CONSTRAINTS FK ON C.CONSTRAINT_NAME = FK.CONSTRAINT_NAME "
        u" INNER JOIN INFORMATION_SCHEMA.TABLE_CONSTRAINTS PK ON C.UNIQUE_CONSTRAINT_NAME = "
        u"PK.CONSTRAINT_NAME"
        u" INNER JOIN INFORMATION_SCHEMA.KEY_COLUMN_USAGE CU ON C.CONSTRAINT_NAME = "
        u"CU.CONSTRAINT_NAME "
        u" INNER JOIN (SELECT i1.TABLE_NAME , i2.COLUMN_NAME FROM "
        u" INFORMATION_SCHEMA.TABLE_CONSTRAINTS i1 "
        u" INNER JOIN INFORMATION_SCHEMA.KEY_COLUMN_USAGE i2 ON i1.CONSTRAINT_NAME = "
        u"i2.CONSTRAINT_NAME "
        u" WHERE i1.CONSTRAINT_TYPE = 'PRIMARY KEY') PT ON PT.TABLE_NAME = PK.TABLE_NAME "
        u" WHERE FK.TABLE_NAME='"_s +
        escapa(tabla) + u'\'');
    if (r == nullptr || r->eof()) {
        return 0;
    }
    const qint32 total = r->recordCount();
    qint32 n = 0;
    for (r->moveFirst(); !r->eof(); r->moveNext()) {
        ++n;
        ClaveForaneaLeida& c = entrada(clavesForaneasLeidas_, n);
        c.campoOrigen = r->field(u"FK_Column"_s).value().toString();
        c.campoDestino = r->field(u"PK_Column"_s).value().toString();
        c.tablaDestino = r->field(u"pk_table"_s).value().toString();
        c.claveForanea = r->field(u"CONSTRAINT_NAME"_s).value().toString();
    }
    recorta(clavesForaneasLeidas_, n);
    return total;
}

QVariant aConexion::maxLength(const QString& tabla, const QString& campo) {
    if (motor() == Motor::SqlServer) {
        const platform::RecordsetPtr r =
            primeraFila(u"SELECT type,length FROM syscolumns  WHERE id=object_id('"_s +
                        escapa(tabla) + u"','U') AND name='"_s + escapa(campo) + u'\'');
        if (r == nullptr) {
            return QVariant();
        }
        if (r->field(u"type"_s).value().toInt() == kTipoTextSqlServer) {
            return QVariant(qint32(0));
        }
        return QVariant(r->field(u"length"_s).value().toInt());
    }
    const platform::CatalogColumn c = catalogo().table(tabla).column(campo);
    // Long text (201 and the wide 203 this platform reports for it) and BSTR have no length.
    if (c.type == 201 || c.type == 203 || c.type == 8) {
        return QVariant(qint32(0));
    }
    return QVariant(c.definedSize);
}

qint16 aConexion::tamañoCampo(const QString& tabla, const QString& campo) {
    if (motor() == Motor::SqlServer) {
        const platform::RecordsetPtr r =
            primeraFila(u"SELECT length FROM syscolumns  WHERE id=object_id('"_s + escapa(tabla) +
                        u"','U') AND name='"_s + escapa(campo) + u'\'');
        return r == nullptr ? 0 : entero16(r->field(u"length"_s).value());
    }
    return entero16(catalogo().table(tabla).column(campo).definedSize);
}

qint16 aConexion::tipoDatoCampo(const QString& tabla, const QString& campo) {
    if (motor() == Motor::SqlServer) {
        const platform::RecordsetPtr r =
            primeraFila(u"SELECT type FROM syscolumns  WHERE id=object_id('"_s + escapa(tabla) +
                        u"','U') AND name='"_s + escapa(campo) + u'\'');
        return r == nullptr ? 0 : entero16(r->field(u"type"_s).value());
    }
    return entero16(catalogo().table(tabla).column(campo).type);
}

bool aConexion::campoTexto(const QString& tabla, const QString& campo) {
    if (motor() != Motor::SqlServer) {
        return false;
    }
    try {
        const qint32 tipo = catalogo().table(tabla).column(campo).type;
        return tipo == 200 || tipo == 201;
    } catch (const std::exception&) {
        return false;
    }
}

QString aConexion::tabla(qint16 i) const {
    if (i < 1 || i > tablasLeidas_.size()) {
        throw fueraDeIntervalo();
    }
    return tablasLeidas_.at(i - 1);
}

QString aConexion::parametroCampo(qint16 i, qint32 parametro) const {
    if (i < 1 || i > camposLeidos_.size()) {
        throw fueraDeIntervalo();
    }
    const CampoLeido& c = camposLeidos_.at(i - 1);
    switch (parametro) {
        case 0:
            return c.nombre;
        case 1:
            return c.tipo;
        case 2:
            return c.tamano;
        case 3:
            return c.defecto;
        case 4:
            return c.nulos ? u"S"_s : u"N"_s;
        case 5:
            return c.clave ? u"S"_s : u"N"_s;
        case 6:
            return QString::number(c.codigo);
        default:
            return QString();
    }
}

QString aConexion::parametroClaveForanea(qint16 i, const QString& parametro) const {
    if (i < 1 || i > clavesForaneasLeidas_.size()) {
        throw fueraDeIntervalo();
    }
    const ClaveForaneaLeida& c = clavesForaneasLeidas_.at(i - 1);
    if (parametro == u"campoOrigen")
        return c.campoOrigen;
    if (parametro == u"campoDestino")
        return c.campoDestino;
    if (parametro == u"tablaDestino")
        return c.tablaDestino;
    if (parametro == u"claveForanea")
        return c.claveForanea;
    return QString();
}
