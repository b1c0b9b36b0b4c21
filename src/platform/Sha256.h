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

// The fingerprint of the file at ruta as sha256Fichero gives it, remembered beside the file
// (rutaRecuerdo) with its size and modification time: while both stay the same the file is
// not read again, so an unchanged application is not hashed whole on every start. A failure
// to remember is not an error.
std::optional<QString> sha256Recordado(const QString& ruta,
                                       const std::function<bool()>& sigue = nullptr);

// Where sha256Recordado keeps what it remembers of ruta: a hidden file beside it.
QString rutaRecuerdo(const QString& ruta);

}  // namespace platform
