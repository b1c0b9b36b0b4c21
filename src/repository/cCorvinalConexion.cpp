#include <QStringList>
#include <algorithm>

#include "dataaccess/aConexion.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Espera.h"
#include "repository/FormatoRepositorio.h"
#include "repository/cCorvinal.h"

using platform::Connection;
using platform::ErrorEjecucion;

namespace {

// Seconds the connect waits when the connection sets no command time-out.
constexpr qint32 kEsperaSinLimite = 30;

QString textoConexion(qint32 tipo, const QString& servidor, qint32 puerto, const QString& baseDatos,
                      const QString& login, const QString& password, bool encriptar,
                      const QString& provider, const QString& sid) {
    if (tipo == 1) {
        return QStringLiteral("Provider=") +
               (provider.isEmpty() ? QStringLiteral("sqloledb.1") : provider) +
               QStringLiteral(";Network Library=DBMSSOCN;Data Source=") + servidor + u',' +
               QString::number(puerto) + QStringLiteral(";Initial Catalog=") + baseDatos +
               QStringLiteral(";User ID=") + login + QStringLiteral(";Password=") + password +
               (encriptar ? QStringLiteral(";Encrypt=yes") : QString());
    }
    if (tipo == 3 && sid.isEmpty()) {
        return QStringLiteral("Provider=") + provider + QStringLiteral(";Data Source=") + servidor +
               QStringLiteral(";User Id=") + login + QStringLiteral(";Password=") + password;
    }
    if (tipo == 3) {
        return QStringLiteral(
                   "Provider=OraOLEDB.Oracle;Data Source=(DESCRIPTION=(ADDRESS_LIST=(ADDRESS="
                   "(PROTOCOL=TCP)(HOST=") +
               servidor + QStringLiteral(")(PORT=") + QString::number(puerto) +
               QStringLiteral(")))(CONNECT_DATA=(SERVER=DEDICATED)(SERVICE_NAME=") + sid +
               QStringLiteral(")));User Id=") + login + QStringLiteral(";Password=") + password +
               u';';
    }
    return QString();
}

// Column types of the repository tables on each engine (0 file database, 1 SQL Server,
// 2 MySQL, 3 Oracle), as the table builder writes them.
struct TiposMotor {
    const char* entero;
    const char* texto200;
    const char* fecha;
    const char* imagen;
    const char* booleanoNoNulo;
};

constexpr TiposMotor kTipos[] = {
    {"long", "text (200)", "date", "", "yesno NOT NULL  DEFAULT (0) "},
    {"int", "varchar (200)", "datetime", "image", "tinyint NOT NULL DEFAULT 0 "},
    {"int", "varchar (200)", "datetime", "longblob", "tinyint NOT NULL  DEFAULT (0) "},
    {"NUMBER(10)", "VARCHAR2 (200)", "DATE", "BLOB", "NUMBER(1) DEFAULT (0) NOT NULL "},
};

QString campo(const char* nombre, const char* tipo, bool nulos) {
    return QString::fromLatin1(nombre) + u' ' + QString::fromLatin1(tipo) +
           (nulos ? QString() : QStringLiteral(" NOT NULL "));
}

}  // namespace

bool cCorvinal::conecta_(qint32 tipoConexion, const QString& servidor, qint32 puerto,
                         const QString& baseDatos, const QString& login, const QString& password,
                         bool encriptar, platform::Connection** conexion, const QString& provider,
                         const QString& sid) {
    try {
        Connection& c = con();
        if (c.state() != Connection::kAbierto) {
            emit estado(QStringLiteral("Conectando con servidor de datos..."), false);
            const QString texto = textoConexion(tipoConexion, servidor, puerto, baseDatos, login,
                                                password, encriptar, provider, sid);
            if (!texto.isEmpty()) {
                c.setConnectionString(texto);
            }
            QString fallo;
            const auto enlace = connect(&c, &Connection::connectComplete, this,
                                        [&fallo](const ErrorEjecucion* error, qint32) {
                                            if (error != nullptr) {
                                                fallo = error->descripcion();
                                            }
                                        });
            c.open(QString(), Connection::kOpcionAsincrona);
            const qint32 segundos = c.commandTimeout() > 0 ? c.commandTimeout() : kEsperaSinLimite;
            platform::esperaCondicion([&c] { return c.state() != Connection::kConectando; },
                                      qint64(segundos) * 1000);
            disconnect(enlace);
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

// Existence is asked of the engine itself with a query that reads no row, so the test works
// the same on every engine and registers nothing as an error.
static bool respondeConsulta(Connection& c, const QString& sql) {
    try {
        c.execute(sql);
        return true;
    } catch (const ErrorEjecucion&) {
        return false;
    }
}

void cCorvinal::creaTablas() {
    Connection& c = con();
    const qint32 motor = conexion_->tipoConexion();
    if (motor < 0 || motor > 3) {
        throw ErrorEjecucion(5, QStringLiteral("Tipo de conexión desconocido: %1").arg(motor),
                             QStringLiteral("cCorvinal"));
    }
    const TiposMotor& t = kTipos[motor];
    auto crea = [&](const QString& tabla, const QStringList& campos, const QString& clave) {
        c.execute(QStringLiteral("CREATE TABLE ") + tabla + QStringLiteral(" (") +
                      campos.join(u',') + QStringLiteral(",PRIMARY KEY (") + clave +
                      QStringLiteral("))"),
                  nullptr, Connection::kOpcionSinRegistros);
    };
    if (!respondeConsulta(c, QStringLiteral("SELECT * FROM tCarpetas WHERE 1=0"))) {
        crea(QStringLiteral("tCarpetas"),
             {campo("codCarpeta", t.entero, false), campo("carpeta", t.texto200, false),
              campo("codCarpetaPadre", t.entero, true)},
             QStringLiteral("codCarpeta"));
        conexion_->executeNR(
            QStringLiteral("INSERT INTO tCarpetas (codCarpeta,carpeta) VALUES (1,'") +
            formatoRepositorio::kNombreRaiz + QStringLiteral("')"));
    }
    if (!respondeConsulta(c, QStringLiteral("SELECT * FROM tFicheros WHERE 1=0"))) {
        crea(QStringLiteral("tFicheros"),
             {campo("codFichero", t.entero, false), campo("codCarpeta", t.entero, false),
              campo("nombre", t.texto200, false), campo("nBloques", t.entero, false),
              QStringLiteral("comprimido ") + QString::fromLatin1(t.booleanoNoNulo),
              campo("fechaUm", t.fecha, true)},
             QStringLiteral("codFichero"));
    } else if (!respondeConsulta(c, QStringLiteral("SELECT fechaUm FROM tFicheros WHERE 1=0"))) {
        conexion_->executeNR(QStringLiteral("ALTER TABLE tFicheros ADD ") +
                             campo("fechaUm", t.fecha, true));
    }
    if (!respondeConsulta(c, QStringLiteral("SELECT * FROM tDatosFichero WHERE 1=0"))) {
        crea(QStringLiteral("tDatosFichero"),
             {campo("codFichero", t.entero, false), campo("nBloque", t.entero, false),
              campo("datos", t.imagen, false)},
             QStringLiteral("codFichero,nBloque"));
    }
}
