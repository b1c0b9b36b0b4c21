#include "support/MotoresPrueba.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include "dataaccess/aConexion.h"
#include "platform/Connection.h"

namespace prueba {

namespace {

QString entorno(const char* nombre) {
    return QProcessEnvironment::systemEnvironment().value(QString::fromLatin1(nombre));
}

QString textoMariaDb(const DatosMariaDb& d) {
    return QStringLiteral(
               "Driver={mySQL};Server=%1;Port=%2;Option=149512;Stmt=;Database=%3;"
               "Uid=%4;Pwd=%5;Option=3")
        .arg(d.host, d.puerto, d.baseDatos, d.usuario, d.password);
}

// The connection text the toolkit writes for a file database at `ruta`.
QString textoSqlite(const QString& ruta) {
    return QStringLiteral(
               "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=%1;Persist Security Info=False")
        .arg(ruta);
}

// Whether the server answers, asked once per test program.
QString motivoMariaDbAusente(const DatosMariaDb& datos) {
    static std::optional<QString> motivo;
    if (motivo) {
        return *motivo;
    }
    platform::Connection con;
    con.setConnectionTimeout(10);
    try {
        con.open(textoMariaDb(datos));
        con.close();
        motivo = QString();
    } catch (const platform::ErrorEjecucion& e) {
        motivo = QStringLiteral("MariaDB no responde en %1:%2: %3")
                     .arg(datos.host, datos.puerto, e.descripcion());
    }
    return *motivo;
}

}  // namespace

void filasMotores() {
    QTest::addColumn<QString>("motor");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("mariadb") << QStringLiteral("mariadb");
}

std::optional<DatosMariaDb> datosMariaDb() {
    DatosMariaDb d{entorno("CORVINAL_TEST_MARIADB_HOST"), entorno("CORVINAL_TEST_MARIADB_PORT"),
                   entorno("CORVINAL_TEST_MARIADB_DB"), entorno("CORVINAL_TEST_MARIADB_USER"),
                   entorno("CORVINAL_TEST_MARIADB_PASSWORD")};
    if (d.host.isEmpty() || d.puerto.isEmpty() || d.baseDatos.isEmpty()) {
        return std::nullopt;
    }
    return d;
}

bool mariaDbObligatoria() {
    return entorno("CORVINAL_TEST_MARIADB_REQUIRED") == u"1";
}

QString creaFicheroSqlite(const QString& carpeta, const QString& nombre) {
    const QString ruta = QDir(carpeta).filePath(nombre);
    QFile fichero(ruta);
    // SQLite takes an empty file for an empty database.
    return fichero.open(QIODevice::WriteOnly | QIODevice::Truncate) ? ruta : QString();
}

MotorPrueba motorPrueba(const QString& nombre, const QString& carpeta) {
    MotorPrueba m;
    if (nombre == u"sqlite") {
        const QString ruta = creaFicheroSqlite(carpeta);
        m.textoConexion = ruta.isEmpty() ? QString() : textoSqlite(ruta);
        m.motivo = QStringLiteral("No se pudo crear la base de datos SQLite en %1").arg(carpeta);
        m.obligatorio = true;
        return m;
    }
    m.obligatorio = mariaDbObligatoria();
    const std::optional<DatosMariaDb> datos = datosMariaDb();
    m.motivo = datos ? motivoMariaDbAusente(*datos)
                     : QStringLiteral("MariaDB no configurada (scripts/testdb env)");
    if (m.motivo.isEmpty()) {
        m.textoConexion = textoMariaDb(*datos);
    }
    return m;
}

bool disponible(const MotorPrueba& m) {
    if (!m.textoConexion.isEmpty()) {
        return true;
    }
    if (m.obligatorio) {
        QTest::qFail(qPrintable(m.motivo), __FILE__, __LINE__);
    } else {
        QTest::qSkip(qPrintable(m.motivo), __FILE__, __LINE__);
    }
    return false;
}

bool abreMotorFila(platform::Connection& con, const QString& carpeta, qint32 opciones) {
    QFETCH(QString, motor);
    const MotorPrueba m = motorPrueba(motor, carpeta);
    if (!disponible(m)) {
        return false;
    }
    con.open(m.textoConexion, opciones);
    return true;
}

std::unique_ptr<aConexion> conectaMotor(const QString& nombre, const QString& carpeta) {
    const MotorPrueba m = motorPrueba(nombre, carpeta);
    if (!disponible(m)) {
        return nullptr;
    }
    auto c = std::make_unique<aConexion>();
    c->setTipoConexion(nombre == u"mariadb" ? 2 : 0);
    c->setCadenaConexion(m.textoConexion);
    c->conecta(true);
    if (!c->conexionAbierta()) {
        QTest::qFail(qPrintable(c->mensajeErrorConexion()), __FILE__, __LINE__);
        return nullptr;
    }
    return c;
}

void ajustaMotor(aConexion& c, const QString& nombre, const QString& carpeta,
                 const QString& fichero) {
    if (nombre == u"sqlite") {
        c.setTipoConexion(0);
        c.setDirectorioBD(carpeta);
        c.setBaseDatos(fichero);
        return;
    }
    const DatosMariaDb d = datosMariaDb().value_or(DatosMariaDb{});
    c.setTipoConexion(2);
    c.setServidor(d.host);
    c.setPuerto(static_cast<qint16>(d.puerto.toInt()));
    c.setBaseDatos(d.baseDatos);
    c.setLogin(d.usuario);
    c.setPassword(d.password);
}

QString registroMotor(const QString& nombre, const QString& carpeta, const QString& fichero,
                      const QString& login, const QString& password) {
    if (nombre == u"sqlite") {
        return QStringLiteral("0,,|%1,%2,%3,%4,0").arg(carpeta, fichero, login, password);
    }
    const DatosMariaDb d = datosMariaDb().value_or(DatosMariaDb{});
    return QStringLiteral("2,,|%1,%2,%3,%4,%5")
        .arg(d.host, d.baseDatos, d.usuario, d.password, d.puerto);
}

bool controlaMariaDb(bool arrancar) {
    const QString script = entorno("CORVINAL_TESTDB");
    if (script.isEmpty()) {
        return false;
    }
    QProcess proceso;
    proceso.start(script, {arrancar ? QStringLiteral("start") : QStringLiteral("stop")});
    return proceso.waitForFinished(120000) && proceso.exitStatus() == QProcess::NormalExit &&
           proceso.exitCode() == 0;
}

}  // namespace prueba
