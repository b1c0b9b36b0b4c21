#pragma once

#include <memory>

#include "dataaccess/aConexion.h"
#include "support/ConexionGrabadora.h"

namespace prueba {

// A toolkit instance on engine `tipo`, connected through `grabadora` (which takes any connection
// data, and answers what it was told to before), with the statements of the connect forgotten.
inline std::unique_ptr<aConexion> conectada(qint32 tipo, ConexionGrabadora& grabadora) {
    auto c = std::make_unique<aConexion>();
    c->setTipoConexion(tipo);
    c->setServidor(QStringLiteral("servidor"));
    c->setBaseDatos(QStringLiteral("bd"));
    c->setLogin(QStringLiteral("usuario"));
    c->setPassword(QStringLiteral("clave"));
    c->conecta(true);
    if (!c->conexionAbierta()) {
        qFatal("the recording connection did not open: %s", qPrintable(c->mensajeErrorConexion()));
    }
    grabadora.limpia();
    return c;
}

}  // namespace prueba
