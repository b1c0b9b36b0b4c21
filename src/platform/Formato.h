#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The number and date patterns the system formats values with, written the same whatever the
// locale.
namespace platform {

// valor written by a number pattern of '#' (a digit shown only when needed), '0' (a digit always
// shown) and at most one '.' (the decimal point, written as separador), for example "######",
// "##0.00" or "0000". Rounds half away from zero on the value's 15 significant digits; integer
// digits beyond the pattern's are all written; a pattern with a point and optional decimals only
// keeps the point ("#.##" of 5 gives "5."). "-" is written only when a non-zero digit is shown.
// Any other character in the pattern is error 5. Non-finite values give textoDecimal's words.
QString formatoNumero(double valor, const QString& patron, QChar separador = u'.');

// valor written by a date pattern: yyyy (four-digit year), yy (two-digit year), mm / m (month
// with / without leading zero), dd / d (day), hh / h (hour 0 to 23), nn / n (minutes), ss / s
// (seconds), in either case; every other character ("/", "-", ":", space ...) is written as it
// stands. An invalid date-time gives an empty text.
QString formatoFecha(const QDateTime& valor, const QString& patron);
// The same for a date (its time is midnight).
QString formatoFecha(const QDate& valor, const QString& patron);

}  // namespace platform
