#include <QApplication>
#include <QRandomGenerator>

#include "dataaccess/aConexion.h"
#include "platform/ErrorEjecucion.h"
#include "platform/FechaTexto.h"
#include "platform/Formato.h"
#include "platform/TextoSql.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const char* const kNombresTipo[] = {
    "Entero largo", "Entero", "Fecha", "Booleano",      "Moneda", "Memo",    "Byte",
    "Texto",        "Simple", "Doble", "Fecha precisa", "Imagen", "Decimal",
};

// Column type texts per code, one column per engine (Access, SQL Server, MySQL, Oracle). The
// sized types (Memo, Texto, Decimal) are written by tipoDato itself. The file database is
// SQLite here, which converts number-like text stored in a "memo" column into a number
// ("00123" would read back 123), so Memo is Jet's unsized "text", kept as text; it has no
// Jet type for Imagen, and "blob" is its binary large object, kept byte for byte.
const char* const kTipos[13][4] = {
    {"long", "int", "int", "NUMBER(10)"},
    {"integer", "smallint", "smallint", "NUMBER(5)"},
    {"date", "smalldatetime", "datetime", "DATE"},
    {"yesno", "tinyint", "tinyint", "NUMBER(1)"},
    {"money", "money", "double", "NUMBER(12,2)"},
    {"text", "text", "text", "VARCHAR2(4000)"},
    {"byte", "tinyint", "tinyint", "NUMBER(3)"},
    {"text (", "varchar (", "varchar (", "VARCHAR2 ("},
    {"single", "real", "double", "NUMBER(14,4)"},
    {"double", "float", "double", "NUMBER(18,8)"},
    {"date", "datetime", "datetime", "DATE"},
    {"blob", "image", "longblob", "BLOB"},
    {"double", "decimal(14,", "decimal(14,", "NUMBER(14,"},
};

// Builder code of a field type per engine; -1 where the engine's column type list has no entry
// (the caller beeps).
struct TipoCampoMotor {
    qint32 tipo;
    qint32 codigo[4];
};
constexpr TipoCampoMotor kTiposCampo[] = {
    {2, {1, 1, 1, 1}},      {3, {0, 0, 0, -1}},      {4, {8, 8, 8, 8}},    {5, {9, 9, 9, 9}},
    {6, {4, 4, 4, 4}},      {7, {2, -1, -1, -1}},    {16, {1, -1, 1, -1}}, {17, {3, 3, 3, 3}},
    {131, {8, 8, 8, -2}},   {135, {2, 2, 2, 2}},     {200, {7, 7, 7, 7}},  {201, {5, 5, 5, 5}},
    {202, {7, -1, -1, -1}}, {205, {11, 11, 11, 11}},
};

// Oracle's NUMBER columns by their precision and scale, as tipoDato writes them.
qint32 numeroOracle(qint16 precision, qint16 escala) {
    if (escala != 0) {
        if (precision == 18 && escala == 8)
            return aConexion::kDoble;
        if (precision == 14 && escala == 4)
            return aConexion::kSimple;
        if (precision == 12 && escala == 2)
            return aConexion::kMoneda;
        return 0;
    }
    if (precision == 10)
        return aConexion::kEnteroLargo;
    if (precision == 5)
        return aConexion::kEntero;
    if (precision == 1)
        return aConexion::kBooleano;
    return 0;
}

}  // namespace

QString aConexion::descTipoDato(qint32 tipo) {
    if (tipo < 0 || tipo > kDecimal) {
        return QString();
    }
    return QString::fromUtf8(kNombresTipo[tipo]);
}

QString aConexion::tipoDato(qint32 tipo, qint16 tamano) const {
    if (tipo < 0 || tipo > kDecimal || !esMotorConocido(tipoConexion_)) {
        return QString();
    }
    QString base = QString::fromLatin1(kTipos[tipo][tipoConexion_]);
    const QString numero = QString::number(tamano);
    switch (tipo) {
        case kMemo:
            if ((motor() == Motor::SqlServer || motor() == Motor::MySql) && tamano > 0) {
                return base + u" ("_s + numero + u')';
            }
            return base;
        case kTexto:
            if (tamano <= 0 && motor() == Motor::MySql) {
                throw platform::ErrorEjecucion(
                    kErrorTamanoTexto,
                    u"No es posible que el tipo de datos varchar tenga un tamaño menor o igual a 0."_s,
                    u"aConexion"_s);
            }
            if (tamano <= 0 && motor() == Motor::Oracle) {
                throw platform::ErrorEjecucion(
                    kErrorTamanoTexto,
                    u"No es posible que el tipo de datos 'texto' tenga un tamaño menor o igual a 0."_s,
                    u"aConexion"_s);
            }
            return base + numero + u')';
        case kDecimal:
            return motor() == Motor::Fichero ? base : base + numero + u')';
        default:
            return base;
    }
}

qint32 aConexion::datoTipo(const QString& tipo, qint16 precision, qint16 escala) const {
    if (motor() != Motor::Oracle) {
        return 0;
    }
    if (tipo == u"NUMBER") {
        switch (precision) {
            case 1:
                return kBooleano;
            case 3:
                return kByte;
            case 5:
                return kEntero;
            case 10:
                return kEnteroLargo;
            case 12:
                return escala == 2 ? kMoneda : 0;
            case 14:
                return escala == 4 ? kSimple : 0;
            case 18:
                return escala == 8 ? kDoble : 0;
            default:
                return kDecimal;
        }
    }
    if (tipo == u"VARCHAR2") {
        return precision == 4000 ? kMemo : kTexto;
    }
    if (tipo == u"DATE") {
        return kFecha;
    }
    if (tipo == u"BLOB") {
        return kImagen;
    }
    return 0;
}

qint32 aConexion::tipoDatoType(qint32 tipo, qint16 precision, qint16 escala) const {
    if (!esMotorConocido(tipoConexion_)) {
        return 0;
    }
    for (const TipoCampoMotor& t : kTiposCampo) {
        if (t.tipo != tipo) {
            continue;
        }
        const qint32 codigo = t.codigo[tipoConexion_];
        if (codigo == -2) {
            return numeroOracle(precision, escala);
        }
        if (codigo >= 0) {
            return codigo;
        }
        break;
    }
    avisoBeep();
    return 0;
}

void aConexion::avisoBeep() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        QApplication::beep();
    }
}

bool aConexion::bolActivo(const QVariant& valor) const {
    if (!valor.isValid() || valor.isNull()) {
        return false;
    }
    switch (motor()) {
        case Motor::Fichero:
            // A yes/no column holds any non-zero number as true (-1 when the engine wrote it,
            // 1 when a caller stored 1), so every non-zero number counts.
            return valor.toDouble() != 0.0;
        case Motor::SqlServer:
        case Motor::MySql:
        case Motor::Oracle:
            return static_cast<qint16>(valor.toInt()) == 1;
    }
    return false;
}

QString aConexion::textoDefecto(qint32 tipo, const QVariant& defecto) const {
    if (!defecto.isValid() || defecto.isNull()) {
        return QString();
    }
    if (tipo == kTexto || tipo == kMemo) {
        QString texto = defecto.toString();
        return u'\'' + texto.replace(u'\'', u"''"_s) + u'\'';
    }
    if (tipo == kFecha || tipo == kFechaPrecisa) {
        const std::optional<QDateTime> fechaLeida = platform::leeFecha(defecto);
        if (fechaLeida) {
            return fecha(fechaLeida->date());
        }
    }
    return defecto.toString();
}

void aConexion::nuevaTabla(const QString& tabla, bool eliminaSiExiste) {
    tablaNueva_.clear();
    camposNuevos_.clear();
    clavesNuevas_.clear();
    if (conexionAbierta() && existeTabla(tabla)) {
        if (!eliminaSiExiste) {
            throw platform::ErrorEjecucion(
                kErrorTablaExiste,
                u"Ya existe una tabla con el mismo nombre en la base de datos."_s, u"aConexion"_s);
        }
        executeNR(u"DROP TABLE "_s + tabla);
    }
    tablaNueva_ = tabla;
}

void aConexion::nuevoCampo(const QString& nombre, qint32 tipo, qint16 tamano, bool nulos,
                           bool clave, const QVariant& defecto) {
    const QString d = textoDefecto(tipo, defecto);
    const QString t = tipoDato(tipo, tamano);
    const QString nn = nulos ? QString() : u" NOT NULL "_s;
    QString df;
    if (tipo == kBooleano) {
        df = u" DEFAULT (0) "_s;
    } else if (!d.isEmpty()) {
        df = u" DEFAULT "_s + d;
    }
    QString definicion;
    if (tipo == kBooleano && motor() == Motor::SqlServer) {
        definicion = nombre + u" tinyint NOT NULL DEFAULT 0 "_s;
    } else if (tipo == kBooleano && motor() == Motor::Oracle) {
        definicion = nombre + u" NUMBER(1) DEFAULT (0) NOT NULL "_s;
    } else if (motor() == Motor::Oracle) {
        definicion = nombre + u' ' + t + df + nn;
    } else {
        definicion = nombre + u' ' + t + nn + df;
    }
    if (!camposNuevos_.isEmpty()) {
        camposNuevos_ += u';';
    }
    camposNuevos_ += definicion;
    if (clave) {
        if (!clavesNuevas_.isEmpty()) {
            clavesNuevas_ += u',';
        }
        clavesNuevas_ += nombre;
    }
}

QString aConexion::sqlCreateTable() const {
    QString campos = camposNuevos_;
    QString sql = u"CREATE TABLE "_s + tablaNueva_ + u" ("_s + campos.replace(u';', u',');
    if (!clavesNuevas_.isEmpty()) {
        sql += u",PRIMARY KEY ("_s + clavesNuevas_ + u')';
    }
    return sql + u')';
}

void aConexion::creaTabla() {
    con_->execute(sqlCreateTable());
    tablaNueva_.clear();
    camposNuevos_.clear();
    clavesNuevas_.clear();
}

void aConexion::creaTablaRapida(const QString& tabla, const QString& camposClave,
                                const QString& campos) {
    nuevaTabla(tabla, true);
    if (!camposClave.isEmpty()) {
        for (const QString& nombre : camposClave.split(u',')) {
            nuevoCampo(nombre, kEnteroLargo, -1, false, true);
        }
    }
    if (!campos.isEmpty()) {
        for (const QString& item : campos.split(u',')) {
            const QStringList partes = item.split(u' ');
            const QString letra = partes.value(1);
            qint32 tipo = -1;
            qint16 tamano = -1;
            int siguiente = 2;
            if (letra == u"T") {
                tipo = kTexto;
                tamano = static_cast<qint16>(partes.value(2).toShort());
                siguiente = 3;
            } else if (letra.size() == 1 && QStringLiteral("LISMDFB").contains(letra)) {
                static const QHash<QString, qint32> tipos = {
                    {u"L"_s, kEnteroLargo}, {u"I"_s, kEntero}, {u"S"_s, kSimple},
                    {u"M"_s, kMoneda},      {u"D"_s, kDoble},  {u"F"_s, kFecha},
                    {u"B"_s, kBooleano}};
                tipo = tipos.value(letra);
            } else {
                continue;
            }
            const bool nulos = partes.value(siguiente) == u"N";
            const QVariant defecto =
                partes.size() > siguiente + 1 ? QVariant(partes.at(siguiente + 1)) : QVariant();
            nuevoCampo(partes.at(0), tipo, tamano, nulos, false, defecto);
        }
    }
    creaTabla();
}

QString aConexion::nuevaTablaTemporal() {
    const float valor = static_cast<float>(QRandomGenerator::global()->generateDouble()) * 1000.0f;
    QString nombre = u"temp"_s + platform::formatoNumero(valor, u"0000"_s);
    if (motor() == Motor::SqlServer) {
        return u'#' + nombre;
    }
    try {
        executeNR(u"DROP TABLE "_s + nombre);
    } catch (const platform::ErrorEjecucion&) {
        // The table usually does not exist.
    }
    return nombre;
}

void aConexion::eliminaTabla(const QString& tabla) {
    if (tabla.isEmpty()) {
        throw platform::ErrorEjecucion(
            kErrorTablaSinNombre, u"Ha intentado eliminar una tabla sin el nombre de la tabla."_s,
            u"aConexion"_s);
    }
    try {
        if (existeTabla(tabla)) {
            executeNR(u"DROP TABLE "_s + tabla);
        }
    } catch (const platform::ErrorEjecucion&) {
        // Dropping is best effort: a table that cannot be dropped stays as it is.
    }
}
