#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

class aConexion;

// The fingerprint of one stored file: the version it was worked out for (the fechaUm of the
// file row), the length and SHA-256 of the file as it lands on disk (restored, when stored
// compressed), and the SHA-256 of the stored content; hashes in lower-case hexadecimal.
struct Huella {
    QDateTime fechaUm;
    qint64 longitud = 0;
    QString sha256;
    QString sha256Guardado;

    // It was worked out for the file row stamped fechaUm (to the second); never for a row
    // without a stamp, whose versions cannot be told apart.
    bool esDe(const QDateTime& fechaUmFichero) const;
    // otra describes the same stored content and placed file (its fechaUm aside).
    bool mismoContenido(const Huella& otra) const {
        return longitud == otra.longitud && sha256 == otra.sha256 &&
               sha256Guardado == otra.sha256Guardado;
    }
};

// The side table tFicherosHuella, one row per stored file, beside the three repository tables,
// which stay as every other installation reads and writes them. A database without it works as
// before: it is only ever a reason to skip a download, never needed for one.
class TablaHuellas {
public:
    static const QString kTabla;

    // Works through conexion, open; borrowed, not owned.
    explicit TablaHuellas(aConexion& conexion) : conexion_(conexion) {}

    // The table is in the database.
    bool existe();
    // Creates it, with the builder's portable types, unless it exists.
    void crea();
    // The row of codFichero; nothing when there is none, the table is missing or reading it
    // fails in any way.
    std::optional<Huella> lee(qint32 codFichero);
    // Makes h the one row of codFichero; nothing when the table is missing; throws
    // ErrorEjecucion when the engine refuses.
    void escribe(qint32 codFichero, const Huella& h);
    // Deletes the row of codFichero; nothing when the table is missing; throws ErrorEjecucion
    // when the engine refuses.
    void elimina(qint32 codFichero);

private:
    aConexion& conexion_;
};
