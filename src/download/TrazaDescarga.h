#pragma once

#include <QString>

class aConexion;

// The trace every launcher run leaves in tSucesos, so that each update of each desktop can be
// followed afterwards.
namespace TrazaDescarga {

// What a run ended in, as the trace says it.
inline const QString kDescargado = QStringLiteral("descargado");
inline const QString kAlDia = QStringLiteral("al día");
inline const QString kFirmaInvalida = QStringLiteral("firma inválida");

// "corvinal: <fichero> <bytes> bytes <ms> ms <resultado>", then the machine's identifier.
QString texto(const QString& fichero, qint64 bytes, qint64 ms, const QString& resultado);
// "error: " and motivo on one line.
QString error(const QString& motivo);
// Records texto through conexion; a failure goes to the debug output only, since the trace
// must never change how the run ends.
void anota(aConexion& conexion, const QString& texto);

}  // namespace TrazaDescarga
