#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The storage format of the repository, shared with every other installation that reads or
// writes the same three tables: tCarpetas (folder tree), tFicheros (one row per file) and
// tDatosFichero (the contents in numbered blocks).
namespace formatoRepositorio {

// Every block holds this many bytes except the last, which holds the rest.
inline constexpr qint32 kTamBloque = 10240;
// Code and name of the root folder.
inline constexpr qint32 kCodRaiz = 1;
inline const QString kNombreRaiz = QStringLiteral("RAIZ");
// A file row under its name plus this suffix is an upload that has not finished.
inline const QString kSufijoSubida = QStringLiteral(".new");
// The downloaded compressed form is the file name plus this extension.
inline const QString kExtensionComprimido = QStringLiteral(".jzp");
// Blocks fetched per query when reading a file: enough to keep the engine busy, few enough
// that a driver holding a whole result in memory stays at a few megabytes.
inline constexpr qint32 kBloquesPorConsulta = 256;

// Blocks needed for a file of `bytes` bytes (0 for an empty file).
constexpr qint32 nBloques(qint64 bytes) {
    return static_cast<qint32>(bytes / kTamBloque + (bytes % kTamBloque != 0 ? 1 : 0));
}

// fechaUm is written and compared to the second: d without its milliseconds.
inline QDateTime alSegundo(QDateTime d) {
    d.setTime(QTime(d.time().hour(), d.time().minute(), d.time().second()));
    return d;
}

}  // namespace formatoRepositorio
