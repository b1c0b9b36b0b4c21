#include "support/MotoresPrueba.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include "platform/Connection.h"

namespace prueba {

namespace {

QString entorno(const char* nombre) {
    return QProcessEnvironment::systemEnvironment().value(QString::fromLatin1(nombre));
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

QString textoMariaDb(const DatosMariaDb& d) {
    return QStringLiteral(
               "Driver={mySQL};Server=%1;Port=%2;Option=149512;Stmt=;Database=%3;"
               "Uid=%4;Pwd=%5;Option=3")
        .arg(d.host, d.puerto, d.baseDatos, d.usuario, d.password);
}

QString textoSqlite(const QString& ruta) {
    return QStringLiteral(
               "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=%1;Persist Security "
               "Info=False")
        .arg(ruta);
}

QString creaFicheroSqlite(const QString& carpeta, const QString& nombre) {
    const QString ruta = QDir(carpeta).filePath(nombre);
    QFile::remove(ruta);
    QFile fichero(ruta);
    // SQLite takes an empty file for an empty database.
    if (!fichero.open(QIODevice::WriteOnly)) {
        return {};
    }
    return ruta;
}

MotorPrueba motorPrueba(const QString& nombre, const QString& carpeta) {
    MotorPrueba m;
    m.nombre = nombre;
    if (nombre == u"sqlite") {
        const QString ruta = creaFicheroSqlite(carpeta);
        m.textoConexion = ruta.isEmpty() ? QString() : textoSqlite(ruta);
        m.motivo = QStringLiteral("No se pudo crear la base de datos SQLite en %1").arg(carpeta);
        m.obligatorio = true;
        return m;
    }
    m.obligatorio = mariaDbObligatoria();
    const std::optional<DatosMariaDb> datos = datosMariaDb();
    if (!datos) {
        m.motivo = QStringLiteral("MariaDB no configurada (scripts/testdb env)");
        return m;
    }
    m.motivo = motivoMariaDbAusente(*datos);
    if (m.motivo.isEmpty()) {
        m.textoConexion = textoMariaDb(*datos);
    }
    return m;
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
