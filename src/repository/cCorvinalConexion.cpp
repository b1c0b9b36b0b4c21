#include "dataaccess/DatosConexion.h"
#include "dataaccess/aConexion.h"
#include "platform/CodigosError.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Espera.h"
#include "repository/FormatoRepositorio.h"
#include "repository/TablaFirmas.h"
#include "repository/TablaHuellas.h"
#include "repository/cCorvinal.h"

using platform::Connection;
using platform::ErrorEjecucion;

namespace {

// Seconds the connect waits when the connection sets no command time-out.
constexpr qint32 kEsperaSinLimite = 30;
const QString kFechaUm = QStringLiteral("fechaUm");

}  // namespace

bool cCorvinal::conecta_(qint32 tipoConexion, const QString& servidor, qint32 puerto,
                         const QString& baseDatos, const QString& login, const QString& password,
                         bool encriptar, platform::Connection** conexion, const QString& provider,
                         const QString& sid) {
    return conecta_(
        DatosConexion{tipoConexion, servidor, baseDatos, login, password, puerto, provider, sid},
        encriptar, conexion);
}

bool cCorvinal::conecta_(const DatosConexion& datos, bool encriptar,
                         platform::Connection** conexion) {
    try {
        Connection& c = con();
        if (c.state() != Connection::kAbierto) {
            emit estado(QStringLiteral("Conectando con servidor de datos..."), false);
            // Only the network engines get a text of their own here; the others keep the
            // connection's.
            if (datos.motor() == Motor::SqlServer || datos.motor() == Motor::Oracle) {
                DatosConexion::Forma forma;
                forma.red = true;
                forma.encriptada = encriptar;
                c.setConnectionString(datos.textoConexion(forma));
            }
            QString fallo;
            // The handler writes to this frame: it must die with it on every way out.
            QObject contexto;
            connect(&c, &Connection::connectComplete, &contexto,
                    [&fallo](const ErrorEjecucion* error, qint32) {
                        if (error != nullptr) {
                            fallo = error->descripcion();
                        }
                    });
            c.open(QString(), Connection::kOpcionAsincrona);
            const qint32 segundos = c.commandTimeout() > 0 ? c.commandTimeout() : kEsperaSinLimite;
            platform::esperaCondicion([&c] { return c.state() != Connection::kConectando; },
                                      qint64(segundos) * 1000);
            if (c.state() != Connection::kAbierto) {
                if (c.state() == Connection::kConectando) {
                    c.close();
                    fallo = QStringLiteral("No hubo respuesta del servidor en %1 segundos.")
                                .arg(segundos);
                }
                emit estado(
                    QStringLiteral("No se pudo conectar con el servidor de datos: ") + fallo, true);
                return false;
            }
        }
        if (conexion != nullptr) {
            *conexion = &c;
        }
        return true;
    } catch (const ErrorEjecucion& e) {
        emit estado(e.descripcion(), true);
        return false;
    }
}

void cCorvinal::creaTablas() {
    con();  // a clear error when there is no connection
    aConexion& c = *conexion_;
    if (!esMotorConocido(c.tipoConexion())) {
        throw ErrorEjecucion(
            platform::kErrorArgumento,
            QStringLiteral("Tipo de conexión desconocido: %1").arg(c.tipoConexion()),
            QStringLiteral("cCorvinal"));
    }
    if (!c.existeTabla(QStringLiteral("tCarpetas"))) {
        c.nuevaTabla(QStringLiteral("tCarpetas"));
        c.nuevoCampo(QStringLiteral("codCarpeta"), aConexion::kEnteroLargo, -1, false, true);
        c.nuevoCampo(QStringLiteral("carpeta"), aConexion::kTexto, 200, false, false);
        c.nuevoCampo(QStringLiteral("codCarpetaPadre"), aConexion::kEnteroLargo, -1, true, false);
        c.creaTabla();
        c.executeNR(QStringLiteral("INSERT INTO tCarpetas (codCarpeta,carpeta) VALUES (1,'") +
                    formatoRepositorio::kNombreRaiz + QStringLiteral("')"));
    }
    // The upload stamps every file with fechaUm and the mirror compares it to the second, so
    // the table gets it when created and a table made without it gets it added.
    if (!c.existeTabla(QStringLiteral("tFicheros"))) {
        c.nuevaTabla(QStringLiteral("tFicheros"));
        c.nuevoCampo(QStringLiteral("codFichero"), aConexion::kEnteroLargo, -1, false, true);
        c.nuevoCampo(QStringLiteral("codCarpeta"), aConexion::kEnteroLargo, -1, false, false);
        c.nuevoCampo(QStringLiteral("nombre"), aConexion::kTexto, 200, false, false);
        c.nuevoCampo(QStringLiteral("nBloques"), aConexion::kEnteroLargo, -1, false, false);
        c.nuevoCampo(QStringLiteral("comprimido"), aConexion::kBooleano, -1, false, false);
        c.nuevoCampo(kFechaUm, aConexion::kFechaPrecisa, -1, true, false);
        c.creaTabla();
    } else if (!c.existeCampo(QStringLiteral("tFicheros"), kFechaUm)) {
        // Added straight rather than through añadeCampoTabla, which would show a failure as a
        // message instead of letting it reach the caller.
        c.executeNR(QStringLiteral("ALTER TABLE tFicheros ADD ") + kFechaUm + u' ' +
                    c.tipoDato(aConexion::kFechaPrecisa, -1));
    }
    if (!c.existeTabla(QStringLiteral("tDatosFichero"))) {
        c.nuevaTabla(QStringLiteral("tDatosFichero"));
        c.nuevoCampo(QStringLiteral("codFichero"), aConexion::kEnteroLargo, -1, false, true);
        c.nuevoCampo(QStringLiteral("nBloque"), aConexion::kEnteroLargo, -1, false, true);
        c.nuevoCampo(QStringLiteral("datos"), aConexion::kImagen, -1, false, false);
        c.creaTabla();
    }
    // Beside the three tables, which other installations share as they are: a download looks
    // here to skip a file that is already in place, and a launcher with trusted keys for the
    // signature of what it places.
    TablaHuellas(c).crea();
    TablaFirmas(c).crea();
    // Every launcher run leaves its trace here.
    if (!c.existeTabla(QStringLiteral("tSucesos"))) {
        c.nuevaTabla(QStringLiteral("tSucesos"));
        c.nuevoCampo(QStringLiteral("codSuceso"), aConexion::kEnteroLargo, -1, false, true);
        c.nuevoCampo(QStringLiteral("fecha"), aConexion::kFechaPrecisa, -1, true, false);
        c.nuevoCampo(QStringLiteral("suceso"), aConexion::kMemo, -1, true, false);
        c.nuevoCampo(QStringLiteral("codConexion"), aConexion::kEnteroLargo, -1, true, false);
        c.creaTabla();
    }
}
