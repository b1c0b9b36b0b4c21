#pragma once

#include <QString>
#include <optional>

// Numbers as the system reads, rounds and writes them, independent of the locale.
namespace platform {

// x rounded to a whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double redondeaPar(double x);

// True when texto is a plain decimal number: blanks (spaces, tabs) around, an optional "+" or
// "-", digits with an optional "." and decimals (".5" and "5." count, "." alone does not).
// Empty or blank text, exponents ("1e5"), hexadecimal ("&H10"), thousands separators and the
// comma as decimal point are refused, so a value that passes always converts exactly as typed.
bool esNumerico(const QString& texto);
// The value of a text that esNumerico accepts; nothing otherwise.
std::optional<double> valorNumerico(const QString& texto);
// The value of a text that esNumerico accepts, rounded half to even, when it lies in
// minimo ... maximo; nothing otherwise.
std::optional<qint64> enteroNumerico(const QString& texto, qint64 minimo, qint64 maximo);

// The shortest decimal text that reads back as the same double, with "." as the decimal point
// (1.5 -> "1.5", 3.0 -> "3", -0.0 -> "0"). Magnitudes from 1e-6 up to below 1e15 are written
// without exponent; others as "1e+20", "1e-07". Not-a-number and the infinities give "NaN",
// "Infinity" and "-Infinity".
QString textoDecimal(double x);

}  // namespace platform
