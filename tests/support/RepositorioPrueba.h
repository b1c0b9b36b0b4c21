#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/Compresion.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "repository/cCorvinal.h"
#include "support/FicherosPrueba.h"
#include "support/MotoresPrueba.h"

// A repository on a real engine for one test: "sqlite" is a database file in a fresh folder,
// "mariadb" the private server the test scripts start (its repository tables are dropped
// first). The connection is opened through aConexion as the programs open it.
class RepositorioPrueba {
public:
    enum class Tablas { Nuevas, Ninguna, Existentes };

    // The engines to test on: SQLite always, MariaDB when the test run provides or requires
    // one (a required server that does not answer then fails the test).
    static QStringList motores() {
        QStringList m{QStringLiteral("sqlite")};
        if (prueba::datosMariaDb() || prueba::mariaDbObligatoria()) {
            m.append(QStringLiteral("mariadb"));
        }
        return m;
    }

    // The publishing tool beside the tests.
    static QString herramienta() {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/../corvinal-repo");
    }

    explicit RepositorioPrueba(const QString& motor, Tablas tablas = Tablas::Nuevas,
                               const QString& directorio = QString())
        : motor_(motor), directorio_(directorio.isEmpty() ? carpeta_.path() : directorio) {
        if (motor == u"sqlite" && !QFile::exists(directorio_ + QStringLiteral("/repo.db"))) {
            prueba::creaFicheroSqlite(directorio_, QStringLiteral("repo.db"));
        } else if (motor != u"sqlite" && !prueba::datosMariaDb()) {
            qFatal("the test run requires MariaDB and gives no server (scripts/testdb env)");
        }
        prueba::ajustaMotor(*conexion, motor, directorio_, QStringLiteral("repo.db"));
        conexion->conecta(true);
        if (!conexion->conexionAbierta()) {
            qFatal("no connection to %s: %s", qPrintable(motor),
                   qPrintable(conexion->mensajeErrorConexion()));
        }
        cor.setConexion_ac(conexion.get());
        if (tablas != Tablas::Existentes) {
            for (const char* t : {"tDatosFichero", "tFicheros", "tCarpetas", "tFicherosHuella",
                                  "tFicherosFirma", "tSucesos"}) {
                ejecuta(QStringLiteral("DROP TABLE IF EXISTS ") + QString::fromLatin1(t));
            }
        }
        if (tablas == Tablas::Nuevas) {
            cor.creaTablas();
        }
    }

    // The folder of the SQLite file.
    const QString& directorio() const { return directorio_; }

    // The launch record the publishing tool takes for this repository.
    QString registro() const { return prueba::registroMotor(motor_, directorio_, "repo.db"); }

    // Publishes datos as `nombre` in folder `carpeta`, as the publishing tool would from a local
    // file; comprimido stores the ".jzp" form, and sinComprimir marks raw bytes as compressed
    // (a damaged file).
    bool publica(const QString& nombre, const QByteArray& datos, bool comprimido = false,
                 bool sinComprimir = false, qint32 carpeta = 1) {
        const QString origen = QDir(directorio_).filePath(QStringLiteral("origen-") + nombre);
        prueba::escribe(origen, datos);
        QString subido = origen;
        if (comprimido && !sinComprimir) {
            subido = origen + QStringLiteral(".jzp");
            platform::Compresion::comprime(origen, subido);
        }
        return cor.subeFichero(carpeta, subido, nombre, comprimido);
    }

    void ejecuta(const QString& sql) {
        conexion->con()->execute(sql, nullptr, platform::Connection::kOpcionSinRegistros);
    }

    // The first column of every row of sql.
    QList<QVariant> columna(const QString& sql) {
        QList<QVariant> valores;
        auto rs = conexion->con()->execute(sql);
        for (; rs && !rs->eof(); rs->moveNext()) {
            valores.append(rs->fields().item(0).value());
        }
        return valores;
    }

    // The first column of the first row of sql (invalid when there is no row).
    QVariant valor(const QString& sql) { return columna(sql).value(0); }

    // A new folder under padre; its code. The name is quoted, not escaped: no backslashes.
    qint32 carpeta(QString nombre, qint32 padre) {
        const qint32 cod = valor("SELECT MAX(codCarpeta) AS m FROM tCarpetas").toInt() + 1;
        ejecuta(QStringLiteral("INSERT INTO tCarpetas (codCarpeta,carpeta,codCarpetaPadre) VALUES "
                               "(%1,'%2',%3)")
                    .arg(cod)
                    .arg(nombre.replace(u'\'', QStringLiteral("''")))
                    .arg(padre));
        return cod;
    }

    // Takes the engine away under the repository (MariaDB is stopped; SQLite's connection is
    // closed) until recuperaConexion().
    void pierdeConexion() {
        if (motor_ == u"sqlite") {
            conexion->con()->close();
            return;
        }
        QVERIFY(prueba::controlaMariaDb(false));
    }
    void recuperaConexion() {
        if (motor_ != u"sqlite") {
            QVERIFY(prueba::controlaMariaDb(true));
        }
    }

    std::unique_ptr<aConexion> conexion = std::make_unique<aConexion>();
    cCorvinal cor;

private:
    QString motor_;
    QTemporaryDir carpeta_;
    QString directorio_;
};
