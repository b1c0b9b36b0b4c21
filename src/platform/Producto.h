#pragma once

#include <QString>

namespace platform {

// The product name the build defines.
QString nombreProducto();
// The product name followed by " v" + major + "." + minor + "." + revision, as window titles show
// it.
QString tituloProducto();

}  // namespace platform
