#pragma once

#include <QString>
#include <optional>

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
    QString nombre;            // "sqlite" or "mariadb"
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

// The MariaDB settings from the environment; nothing when they are not set.
std::optional<DatosMariaDb> datosMariaDb();
// The test run asked for MariaDB (CORVINAL_TEST_MARIADB_REQUIRED=1).
bool mariaDbObligatoria();
// The connection text the toolkit writes for MySQL, for the given server.
QString textoMariaDb(const DatosMariaDb& datos);
// The connection text the toolkit writes for a file database at `ruta`.
QString textoSqlite(const QString& ruta);
// Creates an empty SQLite database file `nombre` in `carpeta` and answers its path.
QString creaFicheroSqlite(const QString& carpeta,
                          const QString& nombre = QStringLiteral("prueba.mdb"));
// Stops (false) or starts (true) the private MariaDB through scripts/testdb; false on failure.
bool controlaMariaDb(bool arrancar);

}  // namespace prueba

// Leaves the current test when the engine cannot be reached: a failure when the run requires
// it, a skip otherwise.
#define PRUEBA_REQUIERE_MOTOR(motor)               \
    do {                                           \
        if ((motor).textoConexion.isEmpty()) {     \
            if ((motor).obligatorio) {             \
                QFAIL(qPrintable((motor).motivo)); \
            }                                      \
            QSKIP(qPrintable((motor).motivo));     \
        }                                          \
    } while (false)
