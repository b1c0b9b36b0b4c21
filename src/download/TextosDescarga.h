#pragma once

#include <QChar>
#include <QString>

// The texts the download window shows: the connection line, the remaining time and the speed.
namespace TextosDescarga {

// "MS Access", "SQL Server", "MySQL" or "ORACLE" for the engine codes 0 to 3; empty otherwise.
QString nombreMotor(qint32 tipoConexion);
// "Conexion: <engine> Servidor: <servidor>, <puerto>. BDD: <baseDatos>" and " SID:<sid>" when
// sid is not empty.
QString textoConexion(qint32 tipoConexion, const QString& servidor, qint32 puerto,
                      const QString& baseDatos, const QString& sid);
// The remaining time as days, hours, minutes and seconds (" 1 H.  2 m.  5 s. "); empty for
// 1000 ms or less.
QString textoTiempoQueda(qint32 restanteMs);
// The speed in kilobytes per second with two decimals and the given decimal separator
// ("1.50 Kb./s").
QString textoVelocidad(qint32 bytesPorSegundo, QChar separador);

}  // namespace TextosDescarga
