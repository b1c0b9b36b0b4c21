#pragma once

#include <QString>

// When CORVINAL_ECO is set, the windows also write what they show to the standard output, so
// that a run without a display (the demo, the end-to-end tests) can be followed.
namespace Eco {

// CORVINAL_ECO is set and not empty.
bool activo();
// Writes "[ventana] control: texto" as one line (line breaks shown as " / ") when active.
void escribe(const QString& ventana, const QString& control, const QString& texto);

}  // namespace Eco
