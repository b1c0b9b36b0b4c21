#pragma once

#include <QString>

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"

namespace platform {

// SQLSTATE of a statement that could not get a lock another session holds.
inline constexpr const char* kEstadoBloqueo = "40001";

// The number the toolkit classifies an engine failure by: time-out (HYT00, HYT01, S1T00),
// lock (40001), lost connection (SQLSTATE class 08, MariaDB 2006, 2013, 5014), or
// kErrorMotorGenerico.
qint32 clasificaErrorMotor(const QString& sqlState, qint32 codigoNativo);

// The server refused a connect because it has no room for another session (MySQL/MariaDB
// 1040, 1203; SQL Server 17809): worth trying again shortly, unlike a wrong login.
bool esServidorLleno(const ErrorEjecucion& error);

// An ErrorEjecucion for an engine failure, numbered by clasificaErrorMotor.
ErrorEjecucion errorMotor(const QString& descripcion, const QString& sqlState, qint32 codigoNativo,
                          const QString& origen);

}  // namespace platform
