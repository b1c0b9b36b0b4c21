#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <optional>
#include <utility>

class aConexion;
class cCorvinal;

namespace platform {
class Recordset;
}

// One stored file as a listing shows it.
struct FicheroListado {
    qint32 codFichero = 0;
    QString nombre;
    qint64 bytes = 0;
    qint64 bloques = 0;
    qint32 comprimido = 0;
    QDateTime fechaUm;
};

// The repository's tree of folders and files seen by name, for a tool that takes paths from a
// person: it finds the codes the tables use and lists what a folder holds, reading tCarpetas
// and tFicheros and, of a file's blocks, only its last.
class ArbolRepositorio {
public:
    // Reads through the connection of repositorio, which must be open; borrowed, not owned.
    explicit ArbolRepositorio(cCorvinal& repositorio);

    // Code of the folder at ruta by the repository's own path rule (the root when empty);
    // nothing when a name of it is unknown.
    std::optional<qint32> carpeta(const QString& ruta) const;
    // Code of the file nombre in folder codCarpeta; nothing when the folder holds none.
    std::optional<qint32> fichero(qint32 codCarpeta, const QString& nombre) const;
    // Codes and names of the folders inside codCarpeta, ordered by name.
    QVector<std::pair<qint32, QString>> subcarpetas(qint32 codCarpeta) const;
    // The files in codCarpeta, ordered by name, their sizes counted from their blocks.
    QVector<FicheroListado> ficheros(qint32 codCarpeta) const;

private:
    aConexion& conexion() const;
    std::shared_ptr<platform::Recordset> consulta(const QString& sql) const;

    cCorvinal& repositorio_;
};
