#pragma once

#include <QString>
#include <QStringList>
#include <utility>

// The one rule for the repository's paths and names, shared by the repository class and the
// publishing tool: a folder path is its names separated by "/" or "\" with empty names ignored
// ("a/b", "/a/b" and "a/b/" are one folder), and a stored name becomes one local path segment
// only, so nothing a database holds can reach outside the destination folder.
namespace rutaRepositorio {

// The folder names of ruta, in order; none for the root.
QStringList segmentos(const QString& ruta);
// "carpeta/nombre" split at its last separator; the folder is empty when there is none.
std::pair<QString, QString> separaNombre(const QString& ruta);
// nombre can be used as one local path segment: not empty, "." or "..", without "/", "\",
// NUL or other control characters, and not starting with a drive letter ("C:").
bool esNombreSeguro(const QString& nombre);
// A name a publisher may store: safe, and not ending in the unfinished-upload suffix.
bool esNombrePublicable(const QString& nombre);
// The status text that refuses a stored name.
QString textoNombreNoValido(const QString& nombre);

}  // namespace rutaRepositorio
