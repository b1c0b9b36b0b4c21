#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

#include "repository/TablaHuellas.h"

class aConexion;

// The signature of one release: the release counter it was signed with, the public key that
// signed it and the signature, all as text.
struct FilaFirma {
    qint64 edicion = 0;
    QString clave;
    QString firma;
};

// The side table tFicherosFirma, one row per signed file, beside tFicherosHuella, whose
// fingerprint the signature covers; the three repository tables stay as every installation
// reads them.
class TablaFirmas {
public:
    static const QString kTabla;
    // What a launcher with trusted keys says when it refuses a file.
    static const QString kTextoSinFirma;
    static const QString kTextoFirmaNoValida;
    static const QString kTextoAnterior;

    // Works through conexion, open; borrowed, not owned.
    explicit TablaFirmas(aConexion& conexion) : conexion_(conexion) {}

    // The message a publisher signs for the file `nombre` of the folder at path `carpeta` ("a/b",
    // empty for the root): every field length-prefixed, so no two releases share one.
    static QByteArray mensaje(const QString& carpeta, const QString& nombre, const Huella& huella,
                              const QDateTime& fechaUm, qint64 edicion);

    // The table is in the database.
    bool existe();
    // Creates it unless it exists.
    void crea();
    // The row of codFichero; nothing when there is none, it is malformed or the table is missing.
    std::optional<FilaFirma> lee(qint32 codFichero);
    // The next release counter for the file `nombre` of folder codCarpeta: above every counter
    // signed there before (its unfinished upload included), and never below the seconds of
    // fechaUm since 1970, so that a path deleted and published again still goes forward.
    qint64 siguienteEdicion(qint32 codCarpeta, const QString& nombre, const QDateTime& fechaUm);
    // Makes f the one row of codFichero; throws ErrorEjecucion when the table is missing or
    // the engine refuses.
    void escribe(qint32 codFichero, const FilaFirma& f);
    // Deletes the row of codFichero; nothing when the table is missing.
    void elimina(qint32 codFichero);

private:
    aConexion& conexion_;
};
