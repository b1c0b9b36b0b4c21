#pragma once

#include <QString>

namespace ui {

// The text as a text box shows it: every CR LF, lone CR or lone LF becomes one line break.
QString textoParaMostrar(const QString& texto);
// How many lines the text has, whichever line break it uses (an empty text is one line).
int lineasDe(const QString& texto);

}  // namespace ui
