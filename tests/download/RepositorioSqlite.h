#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include "dataaccess/aConexion.h"
#include "platform/Compresion.h"
#include "repository/cCorvinal.h"
#include "support/MotoresPrueba.h"

// A file-database repository for the launcher's tests: files published into its root, as the
// publishing tool would, in the folder `carpeta` ("prueba.mdb").
class RepositorioSqlite {
public:
    explicit RepositorioSqlite(const QString& carpeta) : carpeta_(carpeta) {
        prueba::creaFicheroSqlite(carpeta_);
        conexion_.setTipoConexion(0);
        conexion_.setDirectorioBD(carpeta_);
        conexion_.setBaseDatos(QStringLiteral("prueba.mdb"));
        conexion_.conecta(true);
        cor_.setConexion_ac(&conexion_);
        cor_.creaTablas();
    }

    // The record's server field: the database file's folder.
    const QString& carpeta() const { return carpeta_; }

    // Publishes datos as `nombre` in the root; comprimido stores the ".jzp" form, and
    // sinComprimir marks raw bytes as compressed (a damaged file).
    bool publica(const QString& nombre, const QByteArray& datos, bool comprimido,
                 bool sinComprimir = false) {
        const QString origen = QDir(carpeta_).filePath(QStringLiteral("origen-") + nombre);
        QFile f(origen);
        if (!f.open(QIODevice::WriteOnly) || f.write(datos) != datos.size()) {
            return false;
        }
        f.close();
        QString subido = origen;
        if (comprimido && !sinComprimir) {
            subido = origen + QStringLiteral(".jzp");
            platform::Compresion::comprime(origen, subido);
        }
        return cor_.subeFichero(1, subido, nombre, comprimido);
    }

private:
    QString carpeta_;
    aConexion conexion_;
    cCorvinal cor_;
};
