#include "repository/FilaPorFichero.h"

#include "dataaccess/aConexion.h"
#include "platform/Recordset.h"

namespace filaPorFichero {

void elimina(aConexion& conexion, const QString& tabla, qint32 codFichero) {
    conexion.executeNR(QStringLiteral("DELETE FROM ") + tabla +
                       QStringLiteral(" WHERE codFichero=") + QString::number(codFichero));
}

void reemplaza(aConexion& conexion, const QString& tabla, qint32 codFichero,
               const Valores& valores) {
    elimina(conexion, tabla, codFichero);
    platform::Recordset fila;
    fila.open(QStringLiteral("SELECT * FROM ") + tabla + QStringLiteral(" WHERE codFichero=-1"),
              conexion.con(), 0, platform::Recordset::kOptimista);
    fila.addNew();
    fila.field(QStringLiteral("codFichero")).setValue(codFichero);
    for (const auto& [columna, valor] : valores) {
        fila.field(columna).setValue(valor);
    }
    fila.update();
    fila.close();
}

}  // namespace filaPorFichero
