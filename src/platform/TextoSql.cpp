#include "platform/TextoSql.h"

namespace platform {

QString escapaTextoSql(const QString& valor, bool barrasInvertidas) {
    QString seguro = valor;
    if (barrasInvertidas) {
        seguro.replace(u'\\', QStringLiteral("\\\\"));
    }
    return seguro.replace(u'\'', QStringLiteral("''"));
}

QString literalTextoSql(const QString& valor, bool barrasInvertidas) {
    return u'\'' + escapaTextoSql(valor, barrasInvertidas) + u'\'';
}

QString identificadorSql(const QString& nombre) {
    QString seguro = nombre;
    return u'"' + seguro.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

}  // namespace platform
