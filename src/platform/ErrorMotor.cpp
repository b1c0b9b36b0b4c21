#include "platform/ErrorMotor.h"

namespace platform {

qint32 clasificaErrorMotor(const QString& sqlState, qint32 codigoNativo) {
    const QString estado = sqlState.toUpper();
    if (estado == u"HYT00" || estado == u"HYT01" || estado == u"S1T00") {
        return ErrorEjecucion::kTiempoAgotado;
    }
    // MariaDB: 2006 server has gone away, 2013 lost during query, 5014 lost (Connector/ODBC).
    if (estado.startsWith(u"08") || codigoNativo == 2006 || codigoNativo == 2013 ||
        codigoNativo == 5014) {
        return ErrorEjecucion::kConexionRota;
    }
    return kErrorMotorGenerico;
}

ErrorEjecucion errorMotor(const QString& descripcion, const QString& sqlState, qint32 codigoNativo,
                          const QString& origen) {
    return ErrorEjecucion(clasificaErrorMotor(sqlState, codigoNativo), descripcion, origen,
                          sqlState, codigoNativo);
}

}  // namespace platform
