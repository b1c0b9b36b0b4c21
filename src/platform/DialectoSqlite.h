#pragma once

#include <QString>

namespace platform {

// Rewrites the file-database dialect the toolkit writes into SQLite's, outside quoted text
// and quoted names only: #mm/dd/yy# and #mm/dd/yy hh:nn:ss# date literals become
// 'yyyy-mm-dd[ hh:nn:ss]' texts (two-digit years 30-99 are 19xx, 00-29 are 20xx), and the
// "&" concatenation becomes "||". A blank keeps such a date apart from a quoted text it touches;
// anything else is left exactly as it is.
QString adaptaSqlite(const QString& sql);

}  // namespace platform
