#include "platform/ErrorMotor.h"

namespace platform {

qint32 clasificaErrorMotor(const QString& sqlState, qint32 codigoNativo) {
    const QString estado = sqlState.toUpper();
    if (estado == u"HYT00" || estado == u"HYT01" || estado == u"S1T00") {
        return ErrorEjecucion::kTiempoAgotado;
    }
    if (estado == QLatin1String(kEstadoBloqueo)) {
        return ErrorEjecucion::kBloqueado;
    }
    // MariaDB: 2006 server has gone away, 2013 lost during query, 5014 lost (Connector/ODBC).
    if (estado.startsWith(u"08") || codigoNativo == 2006 || codigoNativo == 2013 ||
        codigoNativo == 5014) {
        return ErrorEjecucion::kConexionRota;
    }
    return kErrorMotorGenerico;
}

bool esServidorLleno(const ErrorEjecucion& error) {
    // MySQL/MariaDB 1040 too many connections, 1203 too many for this user; SQL Server 17809
    // no more user connections, which some drivers report only in their text.
    const qint32 nativo = error.codigoNativo();
    return nativo == 1040 || nativo == 1203 || nativo == 17809 ||
           error.descripcion().contains(QStringLiteral("Too many connections"),
                                        Qt::CaseInsensitive) ||
           error.descripcion().contains(QStringLiteral("maximum number of user connections"),
                                        Qt::CaseInsensitive);
}

ErrorEjecucion errorMotor(const QString& descripcion, const QString& sqlState, qint32 codigoNativo,
                          const QString& origen) {
    return ErrorEjecucion(clasificaErrorMotor(sqlState, codigoNativo), descripcion, origen,
                          sqlState, codigoNativo);
}

}  // namespace platform
