#include "repository/TablaHuellas.h"

#include "dataaccess/aConexion.h"
#include "platform/Connection.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"
#include "repository/FilaPorFichero.h"
#include "repository/FormatoRepositorio.h"

namespace {

// Hexadecimal digits of a SHA-256.
constexpr qsizetype kDigitosSha256 = 64;
// The length is a whole number of bytes: the builder's decimal with no decimals holds 14 digits,
// files of up to 100 TB, exactly on every engine.
constexpr qint16 kDecimalesLongitud = 0;

bool esSha256(const QString& texto) {
    if (texto.size() != kDigitosSha256) {
        return false;
    }
    for (const QChar c : texto) {
        if (!c.isDigit() && !(c >= u'a' && c <= u'f')) {
            return false;
        }
    }
    return true;
}

}  // namespace

const QString TablaHuellas::kTabla = QStringLiteral("tFicherosHuella");

bool Huella::esDe(const QDateTime& fechaUmFichero) const {
    return fechaUm.isValid() && fechaUmFichero.isValid() &&
           formatoRepositorio::alSegundo(fechaUm) == formatoRepositorio::alSegundo(fechaUmFichero);
}

bool TablaHuellas::existe() {
    return conexion_.existeTabla(kTabla);
}

void TablaHuellas::crea() {
    if (existe()) {
        return;
    }
    conexion_.nuevaTabla(kTabla);
    conexion_.nuevoCampo(QStringLiteral("codFichero"), aConexion::kEnteroLargo, -1, false, true);
    conexion_.nuevoCampo(QStringLiteral("fechaUm"), aConexion::kFechaPrecisa, -1, false, false);
    conexion_.nuevoCampo(QStringLiteral("longitud"), aConexion::kDecimal, kDecimalesLongitud, false,
                         false);
    conexion_.nuevoCampo(QStringLiteral("sha256"), aConexion::kTexto, kDigitosSha256, false, false);
    conexion_.nuevoCampo(QStringLiteral("sha256Guardado"), aConexion::kTexto, kDigitosSha256, false,
                         false);
    conexion_.creaTabla();
}

std::optional<Huella> TablaHuellas::lee(qint32 codFichero) {
    try {
        // Asked first: a query on a missing table would be registered as an error.
        if (!existe()) {
            return std::nullopt;
        }
        auto rs = conexion_.con()->execute(
            QStringLiteral("SELECT fechaUm,longitud,sha256,sha256Guardado FROM ") + kTabla +
            QStringLiteral(" WHERE codFichero=") + QString::number(codFichero));
        if (!rs || rs->eof()) {
            return std::nullopt;
        }
        Huella h;
        bool esNumero = false;
        h.fechaUm = rs->field(QStringLiteral("fechaUm")).value().toDateTime();
        h.longitud = rs->field(QStringLiteral("longitud")).value().toLongLong(&esNumero);
        h.sha256 = rs->field(QStringLiteral("sha256")).value().toString().trimmed().toLower();
        h.sha256Guardado =
            rs->field(QStringLiteral("sha256Guardado")).value().toString().trimmed().toLower();
        // A row that some other tool filled wrongly is no fingerprint at all.
        if (!esNumero || h.longitud < 0 || !esSha256(h.sha256) || !esSha256(h.sha256Guardado)) {
            return std::nullopt;
        }
        return h;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void TablaHuellas::escribe(qint32 codFichero, const Huella& h) {
    if (!existe()) {
        return;
    }
    filaPorFichero::reemplaza(
        conexion_, kTabla, codFichero,
        {{QStringLiteral("fechaUm"), formatoRepositorio::alSegundo(h.fechaUm)},
         {QStringLiteral("longitud"), h.longitud},
         {QStringLiteral("sha256"), h.sha256},
         {QStringLiteral("sha256Guardado"), h.sha256Guardado}});
}

void TablaHuellas::elimina(qint32 codFichero) {
    if (!existe()) {
        return;
    }
    filaPorFichero::elimina(conexion_, kTabla, codFichero);
}
