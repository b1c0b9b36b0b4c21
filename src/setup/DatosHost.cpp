#include "setup/DatosHost.h"

#include <limits>
#include <utility>

#include "arranque/RegistroArranque.h"
#include "comun/modTolvane1.h"
#include "platform/Cp1252.h"
#include "platform/Numero.h"

namespace {

// The report lines for the fields the record cannot carry.
QString informeRegistro(const DatosHost& d) {
    // The record separates its fields with "," and its prefix with "|", and corvinal.ini is
    // Windows-1252: a field holding either would be read back as something else.
    const std::pair<const char*, QString> separados[] = {{"Servidor", d.servidor()},
                                                         {"Base de Datos", d.baseDatos},
                                                         {"Login", d.login},
                                                         {"Proveedor", d.provider},
                                                         {"SID", d.sid},
                                                         {"Aplicación", d.aplicacion}};
    QString informe;
    for (const auto& [campo, valor] : separados) {
        if (valor.contains(u',') || valor.contains(u'|')) {
            informe += QStringLiteral("·El campo ") + QString::fromUtf8(campo) +
                       QStringLiteral(" no puede llevar «,» ni «|».\r");
        }
    }
    const std::pair<const char*, QString> todos[] = {{"Servidor", d.servidor()},
                                                     {"Base de Datos", d.baseDatos},
                                                     {"Login", d.login},
                                                     {"Password", d.password},
                                                     {"Puerto", d.puerto},
                                                     {"Proveedor", d.provider},
                                                     {"SID", d.sid},
                                                     {"Aplicación", d.aplicacion}};
    for (const auto& [campo, valor] : todos) {
        if (platform::deCp1252(platform::aCp1252(valor)) != valor) {
            informe += QStringLiteral("·El campo ") + QString::fromUtf8(campo) +
                       QStringLiteral(" tiene caracteres que no admite Windows-1252.\r");
        }
    }
    return informe;
}

}  // namespace

DatosHost::AjustesTipo DatosHost::ajustesTipo(int tipo) {
    if (!esMotorConocido(tipo)) {
        return {};
    }
    switch (motorDe(tipo)) {
        case Motor::Fichero:
            return {QString(), false, false, QString()};
        case Motor::SqlServer:
            return {QStringLiteral("1433"), true, false, QString()};
        case Motor::MySql:
            return {QStringLiteral("3306"), true, false, QString()};
        case Motor::Oracle:
            return {QStringLiteral("1521"), true, true, QStringLiteral("OraOLEDB.Oracle")};
    }
    return {};
}

DatosHost DatosHost::deRegistro(const RegistroArranque& registro) {
    using C = RegistroArranque::Campo;
    const QStringList& campos = registro.campos;
    DatosHost d;
    d.tipo =
        registro.tipo >= kMsAccess && registro.tipo <= kOracle ? int(registro.tipo) : int(kNinguno);
    d.provider = registro.provider;
    d.sid = registro.sid;
    d.tServidorLocal = campos.value(C::kServidor);
    d.baseDatos = campos.value(C::kBaseDatos);
    d.login = campos.value(C::kLogin);
    d.password = modTolvane1::decodifica(campos.value(C::kPassword));
    d.password2 = d.password;
    d.puerto = campos.value(C::kPuerto);
    d.aplicacion = campos.value(C::kFichero);
    return d;
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
    return informe + informeRegistro(*this);
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
