#include "platform/DialectoSqlite.h"

#include <QRegularExpression>

namespace platform {

namespace {

// The literal between two "#" as an SQLite text, or an empty text when it is no date.
QString fechaSqlite(const QString& dentro) {
    static const QRegularExpression fecha(QStringLiteral(
        R"(^\s*(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?\s*$)"));
    const QRegularExpressionMatch m = fecha.match(dentro);
    if (!m.hasMatch()) {
        return {};
    }
    int anio = m.captured(3).toInt();
    if (m.captured(3).size() == 2) {
        anio += anio < 30 ? 2000 : 1900;
    }
    QString texto = QStringLiteral("'%1-%2-%3")
                        .arg(anio, 4, 10, QLatin1Char('0'))
                        .arg(m.captured(1).toInt(), 2, 10, QLatin1Char('0'))
                        .arg(m.captured(2).toInt(), 2, 10, QLatin1Char('0'));
    if (!m.captured(4).isEmpty()) {
        texto += QStringLiteral(" %1:%2:%3")
                     .arg(m.captured(4).toInt(), 2, 10, QLatin1Char('0'))
                     .arg(m.captured(5).toInt(), 2, 10, QLatin1Char('0'))
                     .arg(m.captured(6).toInt(), 2, 10, QLatin1Char('0'));
    }
    return texto + u'\'';
}

// Index just past the quoted piece that starts at `i` (its closing quote included).
qsizetype finCitado(const QString& sql, qsizetype i) {
    const QChar abre = sql[i];
    const QChar cierra = abre == u'[' ? QChar(u']') : abre;
    qsizetype j = i + 1;
    while (j < sql.size()) {
        if (sql[j] == cierra) {
            // A doubled quote stays inside the text.
            if (cierra != u']' && j + 1 < sql.size() && sql[j + 1] == cierra) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return sql.size();
}

}  // namespace

QString adaptaSqlite(const QString& sql) {
    QString salida;
    salida.reserve(sql.size() + 8);
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar ch = sql[i];
        if (ch == u'\'' || ch == u'"' || ch == u'[' || ch == u'`') {
            const qsizetype fin = finCitado(sql, i);
            salida += QStringView(sql).mid(i, fin - i);
            i = fin;
        } else if (ch == u'&') {
            salida += QStringLiteral("||");
            ++i;
        } else if (ch == u'#') {
            const qsizetype cierre = sql.indexOf(u'#', i + 1);
            const QString fecha =
                cierre > i ? fechaSqlite(sql.mid(i + 1, cierre - i - 1)) : QString();
            if (fecha.isEmpty()) {
                salida += ch;
                ++i;
            } else {
                // A quote touching the literal would join them into one text: '2003-01-02''x'.
                if (salida.endsWith(u'\'')) {
                    salida += u' ';
                }
                salida += fecha;
                i = cierre + 1;
                if (i < sql.size() && sql[i] == u'\'') {
                    salida += u' ';
                }
            }
        } else {
            salida += ch;
            ++i;
        }
    }
    return salida;
}

}  // namespace platform
