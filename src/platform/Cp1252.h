#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

// The single-byte code page of corvinal.ini and of the text codec: Windows-1252.
//
// Every one of the 256 codes has a character and comes back to itself: the five codes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the
// same number (U+0081 ...), as Windows itself converts them. A character the code page does not
// hold (including U+0080 ... U+009F other than those five, and every character written with a
// surrogate pair) becomes '?' (code 63), so the conversion never fails.
namespace platform {

// The Windows-1252 bytes of texto, one per character ('?' for characters outside the code page).
QByteArray aCp1252(const QString& texto);
// The characters of Windows-1252 bytes; never fails, every byte has a character.
QString deCp1252(const QByteArray& bytes);
// The Windows-1252 code of one character, 63 ('?') when the code page lacks it.
int codigoCaracter(QChar caracter);
// The character of a Windows-1252 code; codigo must lie in 0 ... 255 (error 5 otherwise).
QChar caracterCodigo(int codigo);

}  // namespace platform
