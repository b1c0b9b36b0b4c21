#include "repository/TablaFirmas.h"

#include "dataaccess/Motor.h"
#include "dataaccess/aConexion.h"
#include "platform/CodigosError.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"
#include "platform/TextoSql.h"
#include "repository/FilaPorFichero.h"
#include "repository/FormatoRepositorio.h"

namespace {

// The tag that starts every signed message; a new layout of the message gets a new tag.
const QByteArray kFormato = "corvinal-firma-1";
// Hexadecimal digits of a public key and of a signature.
constexpr qint32 kDigitosClave = 64;
constexpr qint32 kDigitosFirma = 128;
// The counter is a whole number: a decimal with no decimals, exact on every engine.
constexpr qint16 kDecimalesEdicion = 0;

void agregaCampo(QByteArray& mensaje, const QByteArray& campo) {
    mensaje += QByteArray::number(campo.size()) + ':' + campo + '\n';
}

}  // namespace

const QString TablaFirmas::kTabla = QStringLiteral("tFicherosFirma");
const QString TablaFirmas::kTextoSinFirma =
    QStringLiteral("El fichero no está firmado por un editor de confianza.");
const QString TablaFirmas::kTextoFirmaNoValida =
    QStringLiteral("La firma del fichero no es válida.");
const QString TablaFirmas::kTextoAnterior = QStringLiteral("El fichero es anterior al instalado.");

QByteArray TablaFirmas::mensaje(const QString& carpeta, const QString& nombre, const Huella& huella,
                                const QDateTime& fechaUm, qint64 edicion) {
    QByteArray m;
    agregaCampo(m, kFormato);
    agregaCampo(m, carpeta.toUtf8());
    agregaCampo(m, nombre.toUtf8());
    agregaCampo(m, QByteArray::number(huella.longitud));
    agregaCampo(m, huella.sha256.toLatin1());
    agregaCampo(m, huella.sha256Guardado.toLatin1());
    agregaCampo(m, formatoRepositorio::alSegundo(fechaUm)
                       .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                       .toLatin1());
    agregaCampo(m, QByteArray::number(edicion));
    return m;
}

bool TablaFirmas::existe() {
    return conexion_.existeTabla(kTabla);
}

void TablaFirmas::crea() {
    if (existe()) {
        return;
    }
    conexion_.nuevaTabla(kTabla);
    conexion_.nuevoCampo(QStringLiteral("codFichero"), aConexion::kEnteroLargo, -1, false, true);
    conexion_.nuevoCampo(QStringLiteral("edicion"), aConexion::kDecimal, kDecimalesEdicion, false,
                         false);
    conexion_.nuevoCampo(QStringLiteral("clave"), aConexion::kTexto, kDigitosClave, false, false);
    conexion_.nuevoCampo(QStringLiteral("firma"), aConexion::kTexto, kDigitosFirma, false, false);
    conexion_.creaTabla();
}

std::optional<FilaFirma> TablaFirmas::lee(qint32 codFichero) {
    if (!existe()) {
        return std::nullopt;
    }
    auto rs = conexion_.con()->execute(QStringLiteral("SELECT edicion,clave,firma FROM ") + kTabla +
                                       QStringLiteral(" WHERE codFichero=") +
                                       QString::number(codFichero));
    if (!rs || rs->eof()) {
        return std::nullopt;
    }
    bool esNumero = false;
    FilaFirma f;
    f.edicion = rs->field(QStringLiteral("edicion")).value().toLongLong(&esNumero);
    f.clave = rs->field(QStringLiteral("clave")).value().toString().trimmed();
    f.firma = rs->field(QStringLiteral("firma")).value().toString().trimmed();
    if (!esNumero) {
        return std::nullopt;
    }
    return f;
}

qint64 TablaFirmas::siguienteEdicion(qint32 codCarpeta, const QString& nombre,
                                     const QDateTime& fechaUm) {
    const bool mySql = conexion_.motor() == Motor::MySql;
    auto rs = conexion_.con()->execute(
        QStringLiteral("SELECT MAX(f.edicion) AS ultima FROM ") + kTabla +
        QStringLiteral(" f, tFicheros t WHERE f.codFichero=t.codFichero AND t.codCarpeta=") +
        QString::number(codCarpeta) + QStringLiteral(" AND (t.nombre=") +
        platform::literalTextoSql(nombre, mySql) + QStringLiteral(" OR t.nombre=") +
        platform::literalTextoSql(nombre + formatoRepositorio::kSufijoSubida, mySql) +
        QStringLiteral(")"));
    const qint64 ultima =
        rs && !rs->eof() ? rs->field(QStringLiteral("ultima")).value().toLongLong() : 0;
    return qMax(ultima + 1, fechaUm.toSecsSinceEpoch());
}

void TablaFirmas::escribe(qint32 codFichero, const FilaFirma& f) {
    if (!existe()) {
        throw platform::ErrorEjecucion(platform::kErrorNoEncontrado,
                                       QStringLiteral("No existe la tabla ") + kTabla +
                                           QStringLiteral(": créela con crear-tablas."),
                                       QStringLiteral("TablaFirmas"));
    }
    filaPorFichero::reemplaza(conexion_, kTabla, codFichero,
                              {{QStringLiteral("edicion"), f.edicion},
                               {QStringLiteral("clave"), f.clave},
                               {QStringLiteral("firma"), f.firma}});
}

void TablaFirmas::elimina(qint32 codFichero) {
    if (!existe()) {
        return;
    }
    filaPorFichero::elimina(conexion_, kTabla, codFichero);
}
