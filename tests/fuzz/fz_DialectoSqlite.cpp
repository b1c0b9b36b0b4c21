// The file-database rewrite of statements: quoted texts and names come out as they went in,
// dates and "&" are rewritten only between them and never run into a quoted text, and a
// rewritten statement is left as it is.
//
// Input: lines taken in turn as statement text outside quotes and as the content of a quoted
// piece whose first character is its opening quote (', ", [ or `).
#include "Fuzz.h"
#include "platform/DialectoSqlite.h"

namespace {

const QString kComillas = QStringLiteral("'\"[`");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using platform::adaptaSqlite;
    const QString libre = fuzz::utf8(datos, n);
    EXIGE(adaptaSqlite(adaptaSqlite(libre)) == adaptaSqlite(libre));

    const QStringList lineas = fuzz::campos(datos, n);
    QString sql;
    QString esperado;
    bool fechaAlFinal = false;
    for (int i = 0; i < lineas.size(); ++i) {
        QString pieza = lineas[i];
        if (i % 2 == 0) {
            pieza.removeIf([](QChar c) { return kComillas.contains(c); });
            const QString adaptada = adaptaSqlite(pieza);
            EXIGE(!adaptada.contains(QStringLiteral("''")));
            // A blank keeps a date from running into a quoted text before it.
            esperado +=
                (adaptada.startsWith(u'\'') && esperado.endsWith(u'\'') ? " " : "") + adaptada;
            fechaAlFinal = adaptada.endsWith(u'\'');
        } else {
            const QChar abre =
                !pieza.isEmpty() && kComillas.contains(pieza[0]) ? pieza[0] : QChar(u'\'');
            const QChar cierra = abre == u'[' ? QChar(u']') : abre;
            QString dentro = pieza.mid(pieza.startsWith(abre) ? 1 : 0);
            dentro = abre == u'[' ? dentro.remove(u']') : dentro.replace(abre, QString(2, abre));
            pieza = abre + dentro + cierra;
            esperado += (fechaAlFinal && abre == u'\'' ? " " : "") + pieza;
        }
        sql += pieza;
    }
    EXIGE(adaptaSqlite(sql) == esperado);
    return 0;
}
