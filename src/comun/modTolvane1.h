#pragma once

#include <QString>
#include <QVariant>

class QWidget;

// The small helpers every part of the program shares: messages and questions, the temporary
// folder, the machine identifier and the password codec of corvinal.ini.
namespace modTolvane1 {

// The key added to the character codes by the codec.
inline constexpr char kClave[] = "vobrenilt";

// The value of "temp" in its long form; empty when "temp" is unset or empty.
QString carpetaTemporal();
// carpetaTemporal(), or the system's temporary folder when that is empty: never the root.
QString carpetaTemporalSegura();

// Yes/No question titled with the product name; true when answered Yes.
bool pregunta(const QString& texto);
// Modal exclamation message titled with the product name and version; closes by itself after
// segundos when segundos > 0.
void aviso(const QString& texto, qint16 segundos = 0);
// Modal message window with the given caption and picture ("E", "I" or none).
void muestraMensaje(const QString& texto, const QString& titulo, const QString& tipo = QString(),
                    qint16 segundos = 0);
// Sliding system message window owned by ventana; abandonar ends the program when it closes.
void mensajeSistema(const QString& texto, QWidget* ventana = nullptr, bool abandonar = false,
                    qint32 tiempo = 0, const QVariant& sinUso = QVariant());

// Identifier of the file system holding the program's folder, upper-case hexadecimal without
// leading zeros; empty when it cannot tell.
QString obtieneSemilla();

// Each character's Windows-1252 code as two upper-case hexadecimal digits.
QString aHexadecimal(const QString& texto);
// Pairs of hexadecimal digits back to characters (a last single digit is read alone).
QString deHexadecimal(const QString& texto);
// The codec's block permutation; applying it twice gives the text back.
QString permutaBloques(const QString& texto);
// Permutes texto and adds the key to every code (wrapping past 255).
QString sumaClave(const QString& texto, const QString& clave);
// Subtracts the key from every code (wrapping below 1) and permutes the result.
QString restaClave(const QString& texto, const QString& clave);
// The raw encoded form of texto.
QString codifica(const QString& texto);
// The clear text of either the raw or the hex encoded form.
QString decodifica(const QString& texto);

}  // namespace modTolvane1
