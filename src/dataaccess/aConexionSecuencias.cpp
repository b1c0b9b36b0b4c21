#include "dataaccess/aConexion.h"
#include "platform/Recordset.h"

using namespace Qt::Literals::StringLiterals;

qint32 aConexion::codsiguiente(const QString& tabla, const QString& campoCod,
                               const QString& filtro) {
    QString sql = u"SELECT max("_s + campoCod + u") as ultCod FROM "_s + tabla;
    if (!filtro.isEmpty()) {
        sql += u" WHERE "_s + filtro;
    }
    const platform::RecordsetPtr r = con_->execute(sql, nullptr, -1);
    if (r == nullptr || r->eof()) {
        return 1;
    }
    const QVariant ultimo = r->field(u"ultCod"_s).value();
    return ultimo.isNull() ? 1 : static_cast<qint32>(ultimo.toLongLong() + 1);
}
