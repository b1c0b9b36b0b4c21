#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <utility>

class aConexion;

// The side tables beside tFicheros hold at most one row per codFichero; these keep it so.
namespace filaPorFichero {

// A column's name and the value it takes.
using Valores = QList<std::pair<QString, QVariant>>;

// Deletes the row of codFichero from tabla (which must exist).
void elimina(aConexion& conexion, const QString& tabla, qint32 codFichero);
// Makes codFichero's row of tabla (which must exist) hold valores, in place of any it had.
void reemplaza(aConexion& conexion, const QString& tabla, qint32 codFichero,
               const Valores& valores);

}  // namespace filaPorFichero
