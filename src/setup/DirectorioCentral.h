#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

#include "dataaccess/DatosConexion.h"
#include "platform/Instalado.h"

class fDatosConexionTolvane;
class fHost;

// The maker's central directory: by client reference, installation key and application it
// finds the connection data of the client's database and fills the set-up window with it.
namespace DirectorioCentral {

// The directory's host; the installer maps it in DNS or the hosts file.
inline constexpr char kServidor[] = "corvinal-directorio";
// The environment variable whose launch record (type, server, database, login, clear password,
// port) replaces the whole directory connection.
inline constexpr char kVariableEntorno[] = "CORVINAL_DIRECTORIO";

// How the directory is reached.
struct Conexion {
    DatosConexion datos;
    // Why the replacement record cannot be used; empty when it can.
    QString error;
};
// The fixed directory connection, or the one of CORVINAL_DIRECTORIO when it is set.
Conexion conexion();

// The columns of a directory row that fill the set-up window.
struct Fila {
    QVariant tipoConexion;
    QVariant provider;
    QVariant sid;
    QVariant servidor;
    QVariant servidorLocal;
    QVariant baseDatos;
    QVariant login;
    QVariant Password;
    QVariant puerto;
    QVariant ejecutable;
};

// The client query for a reference and key, quote-safe and trimmed.
QString consultaCliente(const QString& refCliente, const QString& claveInstalacion,
                        const std::function<QString(const QString&)>& aplana);
// The database query for an application of a client.
QString consultaBaseDatos(const QString& aplicacion, qint32 codCliente,
                          const std::function<QString(const QString&)>& aplana);

// Shows the request window modally; true when it was accepted.
using Solicitud = std::function<bool(fDatosConexionTolvane& ventana)>;
// Installs another way to answer the request window (a test's); an empty one restores showing it.
// Returns the one replaced.
Solicitud estableceSolicitud(Solicitud solicitud);
// A way to answer the request window installed for the lifetime of the guard.
using SolicitudInstalada = platform::Instalado<Solicitud, &estableceSolicitud>;

// Connects to the directory, asks for the client's data (again after each not-found message)
// and fills host from the first row found. Nothing changes when the connection fails, the
// request is not accepted or its reference or key is empty.
void obtieneDatos(fHost& host);

}  // namespace DirectorioCentral
