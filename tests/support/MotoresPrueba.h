#pragma once

#include <QString>
#include <memory>
#include <optional>

class aConexion;
namespace platform {
class Connection;
}

namespace prueba {

// Where the private test MariaDB is (scripts/testdb env).
struct DatosMariaDb {
    QString host;
    QString puerto;
    QString baseDatos;
    QString usuario;
    QString password;
};

// One engine as a test reaches it.
struct MotorPrueba {
    QString textoConexion;     // empty when the engine is not available
    QString motivo;            // why it is not available
    bool obligatorio = false;  // unavailable means the test fails, not that it is skipped
};

// Adds one row per engine ("sqlite", "mariadb") to the current data-driven test, in a
// QString column called "motor".
void filasMotores();

// Prepares `nombre` for one test: a new empty SQLite file inside `carpeta`, or the private
// MariaDB (which must answer when CORVINAL_TEST_MARIADB_REQUIRED is 1).
MotorPrueba motorPrueba(const QString& nombre, const QString& carpeta);
// False, with the current test already failed or skipped as the run asks, when `motor` cannot
// be reached: the caller then returns at once.
bool disponible(const MotorPrueba& motor);

// Opens `con` (with `opciones`) on the engine named in the current row's "motor" column, with
// its database in `carpeta`; false as disponible().
bool abreMotorFila(platform::Connection& con, const QString& carpeta, qint32 opciones = -1);
// A toolkit instance connected to engine `nombre` (MySQL for MariaDB, the file database
// otherwise); null as disponible(), or with the test failed when it does not open.
std::unique_ptr<aConexion> conectaMotor(const QString& nombre, const QString& carpeta);
// Fills c's own fields (not a ready-made text) for engine `nombre`, so that the text the class
// builds is the one that reaches the engine: the file `fichero` in `carpeta`, or MariaDB.
void ajustaMotor(aConexion& c, const QString& nombre, const QString& carpeta,
                 const QString& fichero = QStringLiteral("prueba.mdb"));
// The connection part of a launch record for engine `nombre` (as ajustaMotor), with the
// password in clear.
QString registroMotor(const QString& nombre, const QString& carpeta,
                      const QString& fichero = QStringLiteral("prueba.mdb"),
                      const QString& login = QString(), const QString& password = QString());

// The MariaDB settings from the environment; nothing when they are not set.
std::optional<DatosMariaDb> datosMariaDb();
// The test run asked for MariaDB (CORVINAL_TEST_MARIADB_REQUIRED=1).
bool mariaDbObligatoria();
// Creates an empty SQLite database file `nombre` in `carpeta` and answers its path.
QString creaFicheroSqlite(const QString& carpeta,
                          const QString& nombre = QStringLiteral("prueba.mdb"));
// Stops (false) or starts (true) the private MariaDB through scripts/testdb; false on failure.
bool controlaMariaDb(bool arrancar);

}  // namespace prueba
