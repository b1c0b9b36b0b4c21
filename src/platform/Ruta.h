#pragma once

#include <QString>

// Paths join with "/" here; a folder that already ends in "/" or "\" gets no second one.
namespace platform {

// carpeta followed by "/" unless it already ends in "/" or "\".
QString conSeparador(const QString& carpeta);
// carpeta and nombre joined as above.
QString uneRuta(const QString& carpeta, const QString& nombre);

}  // namespace platform
