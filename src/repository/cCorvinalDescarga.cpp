#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "dataaccess/aConexion.h"
#include "platform/Compresion.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"
#include "platform/Recordset.h"
#include "platform/Ruta.h"
#include "repository/EscritorBloques.h"
#include "repository/FormatoRepositorio.h"
#include "repository/cCorvinal.h"

using platform::ErrorEjecucion;

namespace {

const QString kOrigen = QStringLiteral("cCorvinal");

// Clears the download flag on every way out of a download.
class FinDescarga {
public:
    explicit FinDescarga(bool& descargando) : descargando_(descargando) { descargando_ = true; }
    ~FinDescarga() { descargando_ = false; }
    FinDescarga(const FinDescarga&) = delete;
    FinDescarga& operator=(const FinDescarga&) = delete;

private:
    bool& descargando_;
};

// The ordered range of blocks `primero`..`ultimo` of a file; the first range has no lower
// bound and the last no upper one, so every row of the file is seen and checked once.
QString sqlRango(qint32 codFichero, qint32 primero, qint32 ultimo, qint32 nBloques) {
    QString sql = QStringLiteral("SELECT nBloque,datos FROM tDatosFichero WHERE codFichero=") +
                  QString::number(codFichero);
    if (primero > 1) {
        sql += QStringLiteral(" AND nBloque>=") + QString::number(primero);
    }
    if (ultimo < nBloques) {
        sql += QStringLiteral(" AND nBloque<=") + QString::number(ultimo);
    }
    return sql + QStringLiteral(" ORDER BY nBloque");
}

// The local file's last change, to the second; invalid when there is no such file.
QDateTime fechaFicheroLocal(const QString& ruta) {
    const QFileInfo info(ruta);
    if (!info.isFile()) {
        return QDateTime();
    }
    return formatoRepositorio::alSegundo(info.lastModified());
}

struct FilaEspejo {
    qint32 codFichero;
    QString nombre;
    QDateTime fechaUm;
    bool comprimido;
};

}  // namespace

// Every folder's children, read in one query for a whole mirroring run.
struct cCorvinal::ArbolCarpetas {
    QHash<qint32, QVector<std::pair<qint32, QString>>> hijos;
};

qint32 cCorvinal::obtieneCodCarpeta(const QString& directorio) {
    if (directorio.isEmpty() || directorio == u"\\" || directorio == u"/") {
        return formatoRepositorio::kCodRaiz;
    }
    qint32 resultado = -1;
    qint32 actual = formatoRepositorio::kCodRaiz;
    QString ruta = directorio;
    for (const QString& segmento : ruta.replace(u'\\', u'/').split(u'/')) {
        auto rs =
            consulta(QStringLiteral("SELECT codCarpeta FROM tCarpetas WHERE codCarpetaPadre=") +
                     QString::number(actual) + QStringLiteral(" AND carpeta=") + texto(segmento));
        if (rs->eof()) {
            return resultado;
        }
        actual = rs->field(QStringLiteral("codCarpeta")).value().toInt();
        resultado = actual;
    }
    return resultado;
}

bool cCorvinal::existeDirectorio(const QString& directorio) {
    return obtieneCodCarpeta(directorio) >= 1;
}

bool cCorvinal::descarga(const QString& fichero, const QString& directorio,
                         const QString& directorioLocal) {
    qint32 codCarpeta = formatoRepositorio::kCodRaiz;
    if (!directorio.isEmpty()) {
        codCarpeta = obtieneCodCarpeta(directorio);
        if (codCarpeta < 1) {
            emit estado(QStringLiteral("No se encontró el directorio:") + directorio, true);
            return false;
        }
    }
    qint32 codFichero = 0;
    {
        auto rs = consulta(QStringLiteral("SELECT codFichero FROM tFicheros WHERE nombre=") +
                           texto(fichero) + QStringLiteral(" AND codCarpeta=") +
                           QString::number(codCarpeta));
        if (rs->eof()) {
            emit estado(QStringLiteral("No se encontró el fichero:") + directorio + u'/' + fichero,
                        true);
            return false;
        }
        codFichero = rs->field(QStringLiteral("codFichero")).value().toInt();
    }
    if (!QFileInfo(directorioLocal).isDir()) {
        emit estado(QStringLiteral("No se encontró el directorio:") + directorioLocal, true);
        return false;
    }
    return bajaFichero(codFichero, directorioLocal, QString());
}

bool cCorvinal::bajaFichero(qint32 codFichero, const QString& carpetaLocal,
                            const QString& nombreLocal) {
    FinDescarga fin(descargando_);
    const QString finTransaccion = empiezaTransaccion();
    struct Cierre {
        cCorvinal* yo;
        const QString& fin;
        ~Cierre() { yo->terminaTransaccion(fin); }
    } cierre{this, finTransaccion};

    QString nombre;
    qint32 nBloques = 0;
    bool comprimido = false;
    {
        auto rs = consulta(
            QStringLiteral(
                "SELECT codFichero,nombre,nBloques,comprimido FROM tFicheros WHERE codFichero=") +
            QString::number(codFichero));
        if (rs->eof()) {
            return false;
        }
        nombre = rs->field(QStringLiteral("nombre")).value().toString();
        nBloques = rs->field(QStringLiteral("nBloques")).value().toInt();
        comprimido = rs->field(QStringLiteral("comprimido")).value().toInt() == 1;
    }
    const QString visible =
        platform::uneRuta(carpetaLocal, nombreLocal.isEmpty() ? nombre : nombreLocal);
    const QString destino = nombreLocal.isEmpty() && comprimido
                                ? visible + formatoRepositorio::kExtensionComprimido
                                : visible;
    const qint64 inicio = ahoraMs();
    try {
        EscritorBloques escritor(destino, nBloques);
        qint32 vel = 0;
        for (qint32 primero = 1; primero == 1 || primero <= nBloques;
             primero += formatoRepositorio::kBloquesPorConsulta) {
            const qint32 ultimo = primero + formatoRepositorio::kBloquesPorConsulta - 1;
            auto rs = con().executeSoloAdelante(sqlRango(codFichero, primero, ultimo, nBloques));
            for (; !rs->eof(); rs->moveNext()) {
                if (!descargando_) {
                    return false;
                }
                escritor.agrega(rs->field(QStringLiteral("nBloque")).value().toLongLong(),
                                rs->field(QStringLiteral("datos")).value().toByteArray());
                informaProgreso(escritor.recibidos(), nBloques, ahoraMs() - inicio, vel);
            }
        }
        if (!descargando_) {
            return false;
        }
        escritor.termina();
    } catch (const ErrorEjecucion& e) {
        emit estado(QStringLiteral("Error bajando fichero: \r") + e.descripcion(), true);
        return false;
    }
    informaFin(nBloques, inicio);
    emit ficheroBajado(visible, comprimido);
    emit ficheroSubido();
    return true;
}

void cCorvinal::virtualizaDirectorio(const QString& origen, const QString& destino,
                                     platform::Compresion& jzp) {
    const qint32 codCarpeta = obtieneCodCarpeta(origen);
    if (codCarpeta <= 0) {
        return;
    }
    ArbolCarpetas arbol;
    {
        auto rs =
            consulta(QStringLiteral("SELECT codCarpeta,carpeta,codCarpetaPadre FROM tCarpetas"));
        for (; !rs->eof(); rs->moveNext()) {
            const QVariant padre = rs->field(QStringLiteral("codCarpetaPadre")).value();
            if (!padre.isNull()) {
                arbol.hijos[padre.toInt()].append(
                    {rs->field(QStringLiteral("codCarpeta")).value().toInt(),
                     rs->field(QStringLiteral("carpeta")).value().toString()});
            }
        }
    }
    reflejaCarpeta(codCarpeta, destino, jzp, arbol);
}

void cCorvinal::reflejaCarpeta(qint32 codCarpeta, const QString& destino, platform::Compresion& jzp,
                               const ArbolCarpetas& arbol) {
    if (!QFileInfo(destino).isDir() && !QDir().mkdir(destino)) {
        throw ErrorEjecucion(platform::kErrorAccesoFichero,
                             QStringLiteral("No se pudo crear la carpeta: ") + destino, kOrigen);
    }
    QVector<FilaEspejo> filas;
    {
        // The table is named as created: MySQL on this platform tells names apart by case.
        auto rs = consulta(
            QStringLiteral("SELECT codFichero,nombre,fechaUm,comprimido  FROM tFicheros WHERE "
                           "codCarpeta=") +
            QString::number(codCarpeta));
        for (; !rs->eof(); rs->moveNext()) {
            filas.append({rs->field(QStringLiteral("codFichero")).value().toInt(),
                          rs->field(QStringLiteral("nombre")).value().toString(),
                          rs->field(QStringLiteral("fechaUm")).value().toDateTime(),
                          conexion_->bolActivo(rs->field(QStringLiteral("comprimido")).value())});
        }
    }
    for (const FilaEspejo& fila : filas) {
        // An unfinished upload is not a file of the repository yet.
        if (fila.nombre.endsWith(formatoRepositorio::kSufijoSubida)) {
            continue;
        }
        const QString local = platform::uneRuta(destino, fila.nombre);
        const QDateTime fechaLocal = fechaFicheroLocal(local);
        const bool nuevo = !fechaLocal.isValid() ||
                           (fila.fechaUm.isValid() && fechaLocal.secsTo(fila.fechaUm) > 0);
        if (!nuevo) {
            continue;
        }
        const bool bajado = bajaFichero(fila.codFichero, destino, QString());
        const QString jzpLocal = local + formatoRepositorio::kExtensionComprimido;
        // A listener of ficheroBajado may have restored it already: restore once.
        if (bajado && fila.comprimido && QFileInfo::exists(jzpLocal)) {
            jzp.setFicheroComprimido(jzpLocal);
            jzp.setFicheroSalida(local);
            jzp.restaura();
            QFile::remove(jzpLocal);
        }
    }
    for (const auto& [codHijo, nombreHijo] : arbol.hijos.value(codCarpeta)) {
        reflejaCarpeta(codHijo, platform::uneRuta(destino, nombreHijo), jzp, arbol);
    }
}
