#pragma once

#include <QString>

// Values made safe to stand inside a quoted SQL text literal.
namespace platform {

// valor with every "'" doubled and, when barrasInvertidas (MySQL/MariaDB, which read a
// backslash inside a literal as an escape), every "\" doubled; no quotes added, nothing trimmed.
QString escapaTextoSql(const QString& valor, bool barrasInvertidas);
// The same enclosed in "'".
QString literalTextoSql(const QString& valor, bool barrasInvertidas);
// A name as a quoted identifier ("name", inner '"' doubled), for SQLite and SQL Server.
QString identificadorSql(const QString& nombre);

}  // namespace platform
