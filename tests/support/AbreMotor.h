#pragma once

#include <QString>

namespace platform {
class Connection;
}

namespace prueba {

// Opens `con` (with `opciones`) on the engine named in the current row's "motor" column, with
// its database in `carpeta`. False, with the test already skipped or failed as the run asks,
// when the engine cannot be reached: the caller then returns at once.
bool abreMotorFila(platform::Connection& con, const QString& carpeta, qint32 opciones = -1);

}  // namespace prueba
