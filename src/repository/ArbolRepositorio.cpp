#include "repository/ArbolRepositorio.h"

#include "dataaccess/aConexion.h"
#include "platform/CodigosError.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"
#include "platform/TextoSql.h"
#include "repository/FormatoRepositorio.h"
#include "repository/cCorvinal.h"

namespace {

const QString kOrigen = QStringLiteral("ArbolRepositorio");

// The byte length of a binary value, as each engine's SQL names it.
QString funcionLongitud(Motor motor) {
    switch (motor) {
        case Motor::SqlServer:
            return QStringLiteral("DATALENGTH");
        case Motor::Oracle:
            return QStringLiteral("DBMS_LOB.GETLENGTH");
        case Motor::Fichero:
        case Motor::MySql:
            break;
    }
    return QStringLiteral("LENGTH");
}

// Every block but the last is full, so only the last one's length needs reading.
qint64 bytesDe(qint64 bloques, qint64 bytesUltimo) {
    return bloques == 0 ? 0 : (bloques - 1) * formatoRepositorio::kTamBloque + bytesUltimo;
}

}  // namespace

ArbolRepositorio::ArbolRepositorio(cCorvinal& repositorio) : repositorio_(repositorio) {}

std::optional<qint32> ArbolRepositorio::carpeta(const QString& ruta) const {
    const qint32 codigo = repositorio_.obtieneCodCarpeta(ruta);
    if (codigo < 1) {
        return std::nullopt;
    }
    return codigo;
}

std::optional<qint32> ArbolRepositorio::fichero(qint32 codCarpeta, const QString& nombre) const {
    const QString texto = platform::literalTextoSql(nombre, conexion().motor() == Motor::MySql);
    auto rs = consulta(QStringLiteral("SELECT codFichero FROM tFicheros WHERE codCarpeta=") +
                       QString::number(codCarpeta) + QStringLiteral(" AND nombre=") + texto);
    if (rs->eof()) {
        return std::nullopt;
    }
    return rs->field(QStringLiteral("codFichero")).value().toInt();
}

QVector<std::pair<qint32, QString>> ArbolRepositorio::subcarpetas(qint32 codCarpeta) const {
    QVector<std::pair<qint32, QString>> hijas;
    auto rs =
        consulta(QStringLiteral("SELECT codCarpeta,carpeta FROM tCarpetas WHERE codCarpetaPadre=") +
                 QString::number(codCarpeta) + QStringLiteral(" ORDER BY carpeta"));
    for (; !rs->eof(); rs->moveNext()) {
        hijas.append({rs->field(QStringLiteral("codCarpeta")).value().toInt(),
                      rs->field(QStringLiteral("carpeta")).value().toString()});
    }
    return hijas;
}

QVector<FicheroListado> ArbolRepositorio::ficheros(qint32 codCarpeta) const {
    QVector<FicheroListado> lista;
    auto rs = consulta(
        QStringLiteral("SELECT f.codFichero,f.nombre,f.nBloques,f.comprimido,f.fechaUm,") +
        funcionLongitud(conexion().motor()) +
        QStringLiteral("(d.datos) AS ultimo FROM tFicheros f LEFT JOIN tDatosFichero d ON "
                       "d.codFichero=f.codFichero AND d.nBloque=f.nBloques WHERE f.codCarpeta=") +
        QString::number(codCarpeta) + QStringLiteral(" ORDER BY f.nombre"));
    for (; !rs->eof(); rs->moveNext()) {
        FicheroListado f;
        f.codFichero = rs->field(QStringLiteral("codFichero")).value().toInt();
        f.nombre = rs->field(QStringLiteral("nombre")).value().toString();
        f.bloques = rs->field(QStringLiteral("nBloques")).value().toLongLong();
        f.bytes = bytesDe(f.bloques, rs->field(QStringLiteral("ultimo")).value().toLongLong());
        f.comprimido = rs->field(QStringLiteral("comprimido")).value().toInt();
        f.fechaUm = rs->field(QStringLiteral("fechaUm")).value().toDateTime();
        lista.append(f);
    }
    return lista;
}

aConexion& ArbolRepositorio::conexion() const {
    aConexion* conexion = repositorio_.conexion_ac();
    if (conexion == nullptr || conexion->con() == nullptr) {
        throw platform::ErrorEjecucion(platform::kErrorSinObjeto,
                                       QStringLiteral("El repositorio no tiene conexión."),
                                       kOrigen);
    }
    return *conexion;
}

std::shared_ptr<platform::Recordset> ArbolRepositorio::consulta(const QString& sql) const {
    auto rs = conexion().con()->execute(sql);
    if (!rs) {
        throw platform::ErrorEjecucion(platform::kErrorObjetoCerrado,
                                       QStringLiteral("La consulta no devolvió registros: ") + sql,
                                       kOrigen);
    }
    return rs;
}
