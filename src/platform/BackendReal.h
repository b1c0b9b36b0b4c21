#pragma once

#include <QString>
#include <memory>

#include "platform/ConnectionBackend.h"

namespace platform {

// The engine session a connection text leads to on this system (SQLite file or ODBC).
// Throws ErrorEjecucion naming the provider or driver that is unknown or missing.
std::unique_ptr<ConnectionBackend> creaBackendReal(const QString& texto);

}  // namespace platform
