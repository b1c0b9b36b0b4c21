#include <QStringList>

#include "dataaccess/aConexion.h"
#include "platform/Blancos.h"
#include "platform/CodigosError.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Formato.h"
#include "platform/Numero.h"
#include "platform/Recordset.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The alias of "table [alias]": the second word when there are exactly two, else the table.
QString alias(const QString& tablaConAlias) {
    const QStringList palabras = tablaConAlias.split(u' ');
    return palabras.size() == 2 ? palabras.at(1) : palabras.at(0);
}

// A two-digit year reads as 1930 ... 2029, as dates typed with two digits always have.
QDate conSiglo(const QDate& fecha, bool anyoCorto) {
    if (!anyoCorto || !fecha.isValid()) {
        return fecha;
    }
    const int anyo = fecha.year() % 100;
    return QDate(anyo < 30 ? 2000 + anyo : 1900 + anyo, fecha.month(), fecha.day());
}

// A date the server answered: a date value, or a text day/month/year (the SQL Server and
// Oracle forms) or year-month-day (the file database's form).
QDate fechaDeValor(const QVariant& valor) {
    if (valor.metaType().id() == QMetaType::QDate ||
        valor.metaType().id() == QMetaType::QDateTime) {
        return valor.toDate();
    }
    const QString texto = valor.toString().trimmed();
    for (const QString& patron : {u"dd/MM/yyyy"_s, u"d/M/yyyy"_s, u"yyyy-MM-dd"_s}) {
        const QDate fecha = QDate::fromString(texto, patron);
        if (fecha.isValid()) {
            return fecha;
        }
    }
    for (const QString& patron : {u"dd/MM/yy"_s, u"d/M/yy"_s}) {
        const QDate fecha = QDate::fromString(texto, patron);
        if (fecha.isValid()) {
            return conSiglo(fecha, true);
        }
    }
    throw platform::ErrorEjecucion(
        platform::kErrorTipos, u"El servidor no devolvió una fecha: "_s + texto, u"aConexion"_s);
}

QDateTime fechaHoraDeValor(const QVariant& valor) {
    if (valor.metaType().id() == QMetaType::QDateTime) {
        return valor.toDateTime();
    }
    if (valor.metaType().id() == QMetaType::QDate) {
        return valor.toDate().startOfDay();
    }
    const QString texto = valor.toString().trimmed();
    for (const QString& patron :
         {u"yyyy-MM-dd HH:mm:ss"_s, u"yyyy-MM-dd HH:mm:ss.zzz"_s, u"yyyy-MM-ddTHH:mm:ss"_s,
          u"dd/MM/yyyy HH:mm:ss"_s, u"yyyy/MM/dd HH:mm:ss"_s}) {
        QDateTime fechaHora = QDateTime::fromString(texto, patron);
        if (fechaHora.isValid()) {
            return fechaHora;
        }
    }
    throw platform::ErrorEjecucion(platform::kErrorTipos,
                                   u"El servidor no devolvió una fecha y hora: "_s + texto,
                                   u"aConexion"_s);
}

}  // namespace

QString aConexion::ahora() const {
    switch (motor()) {
        case Motor::Fichero:
        case Motor::MySql:
            return u"now()"_s;
        case Motor::SqlServer:
            return u"getdate()"_s;
        case Motor::Oracle:
            return u"sysdate"_s;
    }
    return QString();
}

QString aConexion::hoy() const {
    switch (motor()) {
        case Motor::Fichero:
            return u"date()"_s;
        case Motor::SqlServer:
            return u"CONVERT(char(12),getdate(),3)"_s;
        case Motor::MySql:
            return u"curdate()"_s;
        case Motor::Oracle:
            return u"to_char(sysdate, 'DD/MM/YYYY')"_s;
    }
    return QString();
}

QString aConexion::fechav(const QDate& d) const {
    switch (motor()) {
        case Motor::Fichero:
            return platform::formatoFecha(d, u"mm/dd/yy"_s);
        case Motor::SqlServer:
            return platform::formatoFecha(
                d, lenguaje_ == u"us_english"_s ? u"mm/dd/yy"_s : u"dd/mm/yy"_s);
        case Motor::MySql:
            return platform::formatoFecha(d, u"yyyy-mm-dd"_s);
        case Motor::Oracle:
            return platform::formatoFecha(d, u"yyyy/mm/dd"_s);
    }
    return QString();
}

QString aConexion::fecha(const QDate& d) const {
    if (motor() == Motor::Fichero) {
        return u'#' + fechav(d) + u'#';
    }
    return u'\'' + fechav(d) + u'\'';
}

QString aConexion::fechaHora(const QDateTime& d) const {
    switch (motor()) {
        case Motor::Fichero:
            return u'#' + platform::formatoFecha(d, u"mm/dd/yy hh:nn:ss"_s) + u'#';
        case Motor::SqlServer:
            return u'\'' +
                   platform::formatoFecha(d, lenguaje_ == u"us_english"_s
                                                 ? u"mm/dd/yy hh:nn:ss"_s
                                                 : u"dd/mm/yy hh:nn:ss"_s) +
                   u'\'';
        case Motor::MySql:
            return u'\'' + platform::formatoFecha(d, u"yyyy-mm-dd hh:nn:ss"_s) + u'\'';
        case Motor::Oracle:
            return u'\'' + platform::formatoFecha(d, u"yyyy/mm/dd hh:nn:ss"_s) + u'\'';
    }
    return QString();
}

QDateTime aConexion::ahoraSistema() {
    QString sql = u"SELECT "_s + ahora() + u" as ahora"_s;
    if (motor() == Motor::Oracle) {
        sql += u" FROM DUAL"_s;
    }
    const platform::RecordsetPtr r = con_->execute(sql, nullptr, -1);
    ahoraCache_ = (r == nullptr || r->eof()) ? QDateTime::currentDateTime()
                                             : fechaHoraDeValor(r->field(u"ahora"_s).value());
    return ahoraCache_;
}

QDate aConexion::hoySistema() {
    QString sql = u"SELECT "_s + hoy() + u" as hoy"_s;
    if (motor() == Motor::Oracle) {
        sql += u" FROM DUAL"_s;
    }
    const platform::RecordsetPtr r = con_->execute(sql, nullptr, -1);
    hoyCache_ = (r == nullptr || r->eof()) ? QDate::currentDate()
                                           : fechaDeValor(r->field(u"hoy"_s).value());
    return hoyCache_;
}

QString aConexion::concat(const QString& cadena) const {
    if (motor() != Motor::SqlServer) {
        return cadena;
    }
    return QString(cadena).replace(u'&', u'+');
}

QString aConexion::concatena(const QString& cad) const {
    if (!esMotorConocido(tipoConexion_) || motor() == Motor::Oracle) {
        throw platform::ErrorEjecucion(platform::kErrorArgumento,
                                       u"concatena no tiene forma para el tipo de conexión "_s +
                                           QString::number(tipoConexion_),
                                       u"aConexion"_s);
    }
    QString resultado;
    for (const QString& p : cad.split(u',')) {
        switch (motor()) {
            case Motor::Fichero:
                resultado += p + u" & "_s;
                break;
            case Motor::SqlServer:
                resultado += u"isnull("_s + p + u",'')"_s + u" + "_s;
                break;
            case Motor::MySql:
            case Motor::Oracle:
                resultado += u"if(isnull("_s + p + u"),'',"_s + p + u")"_s + u" , "_s;
                break;
        }
    }
    resultado.chop(3);
    if (motor() == Motor::MySql) {
        resultado = u" concat("_s + resultado + u")"_s;
    }
    return resultado;
}

QString aConexion::siNulo(const QString& campo, const QString& valor) const {
    switch (motor()) {
        case Motor::Fichero:
            return u"iif("_s + campo + u" is null,"_s + valor + u","_s + campo + u")"_s;
        case Motor::SqlServer:
            return u"isnull("_s + campo + u","_s + valor + u")"_s;
        case Motor::MySql:
        case Motor::Oracle:
            break;
    }
    return QString();
}

QString aConexion::condicion(const QString& expresion, const QString& verdad,
                             const QString& falso) const {
    switch (motor()) {
        case Motor::Fichero:
            return u"iif("_s + expresion + u","_s + verdad + u","_s + falso + u")"_s;
        case Motor::SqlServer:
            return u" CASE WHEN "_s + expresion + u" THEN "_s + verdad + u" ELSE "_s + falso +
                   u" END "_s;
        case Motor::MySql:
            return u"if("_s + expresion + u","_s + verdad + u","_s + falso + u")"_s;
        case Motor::Oracle:
            return u" DECODE("_s + expresion + u",true,"_s + verdad + u","_s + falso + u")"_s;
    }
    return QString();
}

QString aConexion::sql_like(const QString& campo, const QString& busqueda) const {
    if (motor() == Motor::Oracle) {
        return u"lower("_s + campo + u") like "_s + busqueda.toLower();
    }
    return campo + u" like "_s + busqueda;
}

QString aConexion::literal(const QString& texto) const {
    QString seguro = texto;
    // MySQL reads a backslash inside a literal as an escape: doubling only the quotes would let
    // a value ending in "\" swallow its closing quote.
    if (motor() == Motor::MySql) {
        seguro.replace(u'\\', u"\\\\"_s);
    }
    return seguro.replace(u'\'', u"''"_s);
}

QString aConexion::aplana(const QString& s) const {
    return platform::sinBlancos(literal(s));
}

QString aConexion::como(const QVariant& s) const {
    QString patron = platform::sinBlancos(s.toString());
    // MySQL's LIKE reads a backslash as its escape as well: a typed one must stay a backslash.
    if (motor() == Motor::MySql) {
        patron.replace(u'\\', u"\\\\"_s);
    }
    return literal(patron).replace(u'*', u'%');
}

QString aConexion::numero(const QVariant& C) const {
    if (!C.isValid()) {
        return u"0"_s;
    }
    if (C.isNull()) {
        throw platform::ErrorEjecucion(
            platform::kErrorUsoNull, u"Uso no válido de Null: numero sin valor"_s, u"aConexion"_s);
    }
    std::optional<double> valor;
    if (C.metaType().id() == QMetaType::QString) {
        valor = platform::valorNumerico(C.toString());
    } else {
        bool correcto = false;
        const double d = C.toDouble(&correcto);
        if (correcto) {
            valor = d;
        }
    }
    if (!valor) {
        throw platform::ErrorEjecucion(
            platform::kErrorTipos, u"No coinciden los tipos: no es un número: "_s + C.toString(),
            u"aConexion"_s);
    }
    return dbl(*valor);
}

QString aConexion::cur(double C) const {
    return dbl(platform::redondeaPar(C * 10000.0) / 10000.0);
}

QString aConexion::dbl(double d) const {
    return platform::textoDecimal(d).replace(u',', u'.');
}

QString aConexion::bol(bool b) const {
    switch (motor()) {
        case Motor::Fichero:
            return b ? u"True"_s : u"False"_s;
        case Motor::SqlServer:
        case Motor::MySql:
        case Motor::Oracle:
            return b ? u"1"_s : u"0"_s;
    }
    return QString();
}

QVariant aConexion::bolv(bool b) const {
    if (motor() == Motor::Fichero) {
        return QVariant(b);
    }
    return QVariant::fromValue<qint16>(b ? 1 : 0);
}

QVariant aConexion::verdad() const {
    switch (motor()) {
        case Motor::Fichero:
            return QVariant(true);
        case Motor::SqlServer:
        case Motor::MySql:
            return QVariant::fromValue<qint16>(1);
        case Motor::Oracle:
            break;
    }
    return QVariant();
}

QString aConexion::une(const QString& tabla, const QString& listaTablas) const {
    QString resultado = tabla;
    if (listaTablas.isEmpty()) {
        return resultado;
    }
    const QString aliasPrincipal = alias(tabla);
    for (const QString& elemento : listaTablas.split(u',')) {
        const QStringList partes = elemento.split(u';');
        if (partes.size() < 2) {
            throw platform::ErrorEjecucion(
                platform::kErrorSubindice,
                u"Tabla de unión sin columna (se esperaba \"tabla [alias];columna\"): "_s +
                    elemento,
                u"aConexion"_s);
        }
        const QString& otra = partes.at(0);
        const QString& columna = partes.at(1);
        resultado += u" INNER JOIN "_s + otra + u" ON "_s + aliasPrincipal + u"."_s + columna +
                     u"="_s + alias(otra) + u"."_s + columna;
    }
    return resultado;
}

QVariant aConexion::contenido(const QString& campo, const QString& sql) {
    const platform::RecordsetPtr r = con_->execute(sql, nullptr, -1);
    if (r == nullptr || r->eof()) {
        throw platform::ErrorEjecucion(platform::kErrorSinResultados,
                                       u"La query no devolvió resultados: "_s + sql,
                                       u"aConexion"_s);
    }
    return r->field(campo).value();
}
