#include "setup/DirectorioCentral.h"

#include <utility>

#include "arranque/RegistroArranque.h"
#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"
#include "setup/fDatosConexionTolvane.h"
#include "setup/fHost.h"

namespace DirectorioCentral {

namespace {

Solicitud solicitudInstalada;

bool muestraSolicitud(fDatosConexionTolvane& ventana) {
    if (solicitudInstalada) {
        return solicitudInstalada(ventana);
    }
    ventana.exec();
    return ventana.seAcepto();
}

// Opens the connection to the directory; the connection reports its own failure.
bool conectaDirectorio(aConexion& directorio) {
    const Conexion datos = conexion();
    if (!datos.error.isEmpty()) {
        modTolvane1::aviso(datos.error);
        return false;
    }
    datos.datos.aplicaA(directorio);
    directorio.conecta(false);
    return directorio.conexionAbierta();
}

Fila leeFila(platform::Recordset& rs) {
    const auto valor = [&rs](const char* columna) {
        return rs.field(QString::fromLatin1(columna)).value();
    };
    return {valor("tipoConexion"),  valor("provider"),  valor("sid"),   valor("servidor"),
            valor("servidorLocal"), valor("baseDatos"), valor("login"), valor("Password"),
            valor("puerto"),        valor("ejecutable")};
}

// Asks until a database is found for the typed client and application; nothing when the
// request is abandoned.
std::optional<Fila> buscaFila(aConexion& directorio) {
    const auto aplana = [&directorio](const QString& s) { return directorio.aplana(s); };
    fDatosConexionTolvane ventana;
    while (muestraSolicitud(ventana)) {
        const QString ref = ventana.refCliente();
        const QString clave = ventana.claveInstalacion();
        const QString app = ventana.aplicacion();
        if (ref.isEmpty() || clave.isEmpty()) {
            return std::nullopt;
        }
        auto cliente = directorio.con()->execute(consultaCliente(ref, clave, aplana));
        if (!cliente || cliente->eof()) {
            modTolvane1::aviso(QStringLiteral("No se encuentra ningún cliente con referencia: ") +
                               ref + QStringLiteral(" y la clave de instalación introducida."));
            continue;
        }
        const qint32 codCliente = cliente->field(QStringLiteral("codCliente")).value().toInt();
        auto base = directorio.con()->execute(consultaBaseDatos(app, codCliente, aplana));
        if (!base || base->eof()) {
            modTolvane1::aviso(
                QStringLiteral(
                    "No se existe aplicación asociada al cliente seleccionado con el nombre: ") +
                app);
            continue;
        }
        return leeFila(*base);
    }
    return std::nullopt;
}

}  // namespace

Conexion conexion() {
    Conexion datos;
    const QString registro = qEnvironmentVariable(kVariableEntorno);
    if (registro.isEmpty()) {
        datos.datos.servidor = QString::fromLatin1(kServidor);
        datos.datos.baseDatos = QStringLiteral("corvinal");
        datos.datos.login = QStringLiteral("corvinal");
        datos.datos.password = QStringLiteral("qel_u_dorn_XPT");
        datos.datos.puerto = 1442;
        return datos;
    }
    const RegistroArranque r = RegistroArranque::analiza(registro);
    if (!r.valido) {
        datos.error = QStringLiteral("La variable ") + QString::fromLatin1(kVariableEntorno) +
                      QStringLiteral(" no contiene un registro de conexión válido: ") + r.motivo;
        return datos;
    }
    datos.datos = r.datosConexion();
    return datos;
}

QString consultaCliente(const QString& refCliente, const QString& claveInstalacion,
                        const std::function<QString(const QString&)>& aplana) {
    return QStringLiteral("SELECT codCliente FROM tClientesF7 ") +
           QStringLiteral(" WHERE refCliente='") + aplana(refCliente) +
           QStringLiteral("' AND claveInstalacion='") + aplana(claveInstalacion) +
           QStringLiteral("'");
}

QString consultaBaseDatos(const QString& aplicacion, qint32 codCliente,
                          const std::function<QString(const QString&)>& aplana) {
    return QStringLiteral(
               "SELECT tb.*,ta.ejecutable FROM tBasesDatos tb INNER JOIN "
               "tAplicacionBaseDatos tap ") +
           QStringLiteral(" ON tb.codBaseDatos=tap.codBaseDatos INNER JOIN tAplicaciones ta ON ") +
           QStringLiteral(" tap.codAplicacion=ta.codAplicacion WHERE ta.aplicacion='") +
           aplana(aplicacion) + QStringLiteral("' ") + QStringLiteral(" AND codCliente=") +
           QString::number(codCliente);
}

Solicitud estableceSolicitud(Solicitud solicitud) {
    return std::exchange(solicitudInstalada, std::move(solicitud));
}

void obtieneDatos(fHost& host) {
    aConexion directorio;
    if (!conectaDirectorio(directorio)) {
        return;
    }
    std::optional<Fila> fila;
    try {
        fila = buscaFila(directorio);
    } catch (const platform::ErrorEjecucion& error) {
        // A directory without its tables, or a connection lost on the way: say so and stop,
        // the window keeps what it holds.
        modTolvane1::aviso(error.descripcion());
    }
    directorio.desconecta();
    if (fila) {
        host.rellena(*fila);
    }
}

}  // namespace DirectorioCentral
