#include "setup/DatosHost.h"

#include <limits>

#include "launcher/RegistroArranque.h"
#include "platform/Numero.h"

DatosHost::AjustesTipo DatosHost::ajustesTipo(int tipo) {
    switch (tipo) {
        case kMsAccess:
            return {QString(), false, false, QString()};
        case kSqlServer:
            return {QStringLiteral("1433"), true, false, QString()};
        case kMySql:
            return {QStringLiteral("3306"), true, false, QString()};
        case kOracle:
            return {QStringLiteral("1521"), true, true, QStringLiteral("OraOLEDB.Oracle")};
        default:
            return {};
    }
}

QString DatosHost::informe() const {
    QString informe;
    const auto falla = [&informe](const char* mensaje) {
        informe += QString::fromUtf8(mensaje) + u'\r';
    };
    if (tipo < kMsAccess || tipo > kOracle) {
        falla("·No se seleccionó tipo de conexión.");
    }
    const bool conServidor =
        servidorLocal ? !tServidorLocal.trimmed().isEmpty() : !tServidorRemoto.trimmed().isEmpty();
    if (!conServidor) {
        falla("·Dirección del servidor Nula.");
    }
    if (baseDatos.trimmed().isEmpty()) {
        falla("·Base de datos nula.");
    }
    if (login.trimmed().isEmpty()) {
        falla("·Login de acceso nula.");
    }
    if (password != password2) {
        falla("·Los passwords introducidos no coinciden.");
    }
    // MS Access uses no port and hides its box. Any other port must be one the launcher can
    // hand to the connection, or the stored record would be refused at every start.
    const bool puertoValido =
        tipo == kMsAccess ||
        platform::enteroNumerico(puerto, 0, std::numeric_limits<qint16>::max()).has_value();
    if (!puertoValido) {
        falla("·Nº de Puerto incorrecto.");
    }
    return informe;
}

QString DatosHost::servidor() const {
    return servidorLocal ? tServidorLocal : tServidorRemoto;
}

QString DatosHost::puertoGuardado() const {
    return tipo == kMsAccess ? QStringLiteral("0") : puerto;
}

QString DatosHost::lineaFichero() const {
    return RegistroArranque::lineaVentanaConfiguracion(
        tipo, provider, sid, servidor(), baseDatos, login, password, puertoGuardado(), aplicacion);
}
