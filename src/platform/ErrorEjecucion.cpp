#include "platform/ErrorEjecucion.h"

#include <utility>

namespace platform {

ErrorEjecucion::ErrorEjecucion(qint32 numero, QString descripcion, QString origen, QString sqlState,
                               qint32 codigoNativo)
    : numero_(numero),
      descripcion_(std::move(descripcion)),
      origen_(std::move(origen)),
      sqlState_(std::move(sqlState)),
      codigoNativo_(codigoNativo),
      utf8_(descripcion_.toUtf8()) {}

}  // namespace platform
