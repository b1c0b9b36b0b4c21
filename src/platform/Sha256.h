#pragma once

#include <QString>
#include <functional>
#include <optional>

// The SHA-256 fingerprints the repository compares files by, always written as 64 lower-case
// hexadecimal digits.
namespace platform {

// The fingerprint of the file at ruta, read in pieces of about a megabyte with sigue() asked
// after each (false stops the reading); nothing when the file cannot be read or was stopped.
std::optional<QString> sha256Fichero(const QString& ruta,
                                     const std::function<bool()>& sigue = nullptr);

}  // namespace platform
