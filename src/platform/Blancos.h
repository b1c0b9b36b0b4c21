#pragma once

#include <QString>

namespace platform {

// texto without the spaces at either end; tabs and other white space stay, as the system's
// own trimming has always kept them.
QString sinBlancos(const QString& texto);

}  // namespace platform
