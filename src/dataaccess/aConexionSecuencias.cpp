#include "dataaccess/aConexion.h"
#include "platform/Recordset.h"
#include "platform/TextoSql.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QVariant nulo() {
    return QVariant::fromValue(nullptr);
}

}  // namespace

void aConexion::cargaTablasSecuencia() {
    if (!existeTabla(u"tSecuencias"_s)) {
        nuevaTabla(u"tSecuencias"_s);
        nuevoCampo(u"tabla"_s, kTexto, 50, false, true);
        nuevoCampo(u"campoCod"_s, kTexto, 50, false, true);
        nuevoCampo(u"codigo"_s, kEnteroLargo, -1, false, false);
        creaTabla();
    }
    secuencias_ = con_->execute(u"SELECT * FROM tSecuencias"_s);
}

qint32 aConexion::codsiguiente(const QString& tabla, const QString& campoCod,
                               const QString& filtro) {
    qint32 codigo = 0;
    if (filtro.isEmpty() && secuencias_ != nullptr &&
        secuencias_->state() == platform::Recordset::kAbierto) {
        secuencias_->setFilter(QVariant());
        // The filter is read by the recordset itself, which knows only doubled quotes.
        secuencias_->setFilter(u"tabla='"_s + platform::escapaTextoSql(tabla, false) +
                               u"' AND campocod='"_s + platform::escapaTextoSql(campoCod, false) +
                               u'\'');
        if (!secuencias_->eof()) {
            // A stored function answers only inside a SELECT on MySQL.
            const QString llamada =
                u"secuencia('"_s + escapa(tabla) + u"','"_s + escapa(campoCod) + u"')"_s;
            const platform::RecordsetPtr r =
                primeraFila(motor() == Motor::MySql ? u"SELECT "_s + llamada : llamada);
            if (r != nullptr) {
                codigo = r->fields().item(0).value().toInt();
            }
        }
    }
    if (codigo != 0) {
        return codigo;
    }
    QString sql = u"SELECT max("_s + campoCod + u") as ultCod FROM "_s + tabla;
    if (!filtro.isEmpty()) {
        sql += u" WHERE "_s + filtro;
    }
    codigo = 1;
    const platform::RecordsetPtr r = primeraFila(sql);
    if (r != nullptr) {
        const QVariant ultimo = r->field(u"ultCod"_s).value();
        if (!ultimo.isNull()) {
            codigo = ultimo.toInt() + 1;
        }
    }
    return codigo;
}

QVariant aConexion::nuevoElemento(const QString& tabla, const QString& campoCod,
                                  const QString& campoDes, const QString& valorCampo) {
    if (valorCampo.trimmed().isEmpty()) {
        return nulo();
    }
    auto r = std::make_shared<platform::Recordset>();
    r->open(u"SELECT * FROM "_s + tabla + u" WHERE "_s + campoDes + u"='"_s + escapa(valorCampo) +
                u'\'',
            con_.get(), 0, platform::Recordset::kOptimista, -1);
    QVariant resultado;
    if (r->eof()) {
        r->addNew();
        const qint32 codigo = codsiguiente(tabla, campoCod);
        r->field(campoCod).setValue(codigo);
        r->field(campoDes).setValue(valorCampo);
        actualiza(*r);
        resultado = codigo;
    } else {
        resultado = r->field(campoCod).value();
    }
    r->close();
    return resultado;
}

bool aConexion::verificaVersion(const Aplicacion& a, QString& versionMinima) {
    versionMinima.clear();
    if (!existeTabla(u"tVersiones"_s)) {
        nuevaTabla(u"tVersiones"_s);
        nuevoCampo(u"appName"_s, kTexto, 50, false, true);
        nuevoCampo(u"versionMayor"_s, kEnteroLargo, -1, true, false);
        nuevoCampo(u"versionMenor"_s, kEnteroLargo, -1, true, false);
        nuevoCampo(u"revision"_s, kEnteroLargo, -1, true, false);
        creaTabla();
    }
    if (a.ProductName.isEmpty()) {
        return true;
    }
    const platform::RecordsetPtr r =
        primeraFila(u"SELECT * FROM tVersiones WHERE appName='"_s + escapa(a.ProductName) + u'\'');
    if (r == nullptr) {
        executeNR(u"INSERT INTO tVersiones (appName,versionMayor,versionMenor,revision) "_s +
                  u" VALUES ('"_s + escapa(a.ProductName) + u"',"_s + QString::number(a.Major) +
                  u',' + QString::number(a.Minor) + u',' + QString::number(a.Revision) + u')');
        return true;
    }
    const QVariant mayor = r->field(u"versionMayor"_s).value();
    const QVariant menor = r->field(u"versionMenor"_s).value();
    const QVariant revision = r->field(u"revision"_s).value();
    if (mayor.isNull() || menor.isNull() || revision.isNull()) {
        return true;
    }
    const qint32 M = mayor.toInt();
    const qint32 m = menor.toInt();
    const qint32 rv = revision.toInt();
    versionMinima = QString::number(M) + u'.' + QString::number(m) + u'.' + QString::number(rv);
    if (a.Major != M) {
        return a.Major > M;
    }
    if (a.Minor != m) {
        return a.Minor > m;
    }
    return a.Revision >= rv;
}
