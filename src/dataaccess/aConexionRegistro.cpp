#include <QFile>

#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"
#include "platform/Connection.h"
#include "platform/Cp1252.h"
#include "platform/Formato.h"
#include "platform/Ruta.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kLargoTextoError = 250;

}  // namespace

QString aConexion::insercionError(const QString& error, const QString& query,
                                  const QString& historial) const {
    return u"INSERT INTO tErrores (fecha,codConexion,error,query,historial) "_s + u" VALUES ("_s +
           ahora() + u","_s + QString::number(codConexionRemota_) + u","_s + error + u","_s +
           query + u","_s + historial + u" )"_s;
}

void aConexion::registraError(const platform::ErrorEjecucion& error, const QString& commandText) {
    registrandoError_ = true;
    try {
        const QString historial = historialQuerys();
        const QString prefijo =
            descripcionAccion_.isEmpty() ? QString() : descripcionAccion_ + u' ';
        const QString texto = (prefijo + error.descripcion()).left(kLargoTextoError);
        con_->execute(
            insercionError(u'\'' + literal(texto) + u'\'', u'\'' + literal(commandText) + u'\'',
                           historial.isEmpty() ? u"null"_s : u'\'' + aplana(historial) + u'\''),
            nullptr, platform::Connection::kOpcionSinRegistros);
    } catch (const std::exception&) {
        // A registration that fails has nowhere to be registered; the caller still gets the
        // original failure.
    }
    descripcionAccion_.clear();
    registrandoError_ = false;
}

QString aConexion::rutaDepuracion() {
    // Never the root of the disk, even when "temp" is unset.
    return platform::uneRuta(modTolvane1::carpetaTemporalSegura(), kFicheroDepuracion);
}

QString aConexion::milisegundosEnCurso() const {
    const qint64 transcurrido = inicioQuery_.isValid() ? inicioQuery_.elapsed() : 0;
    return platform::formatoNumero(static_cast<double>(transcurrido), u"######"_s);
}

void aConexion::escribeDepuracion(const QString& linea) const {
    QFile log(rutaDepuracion());
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return;
    }
    // The codec works on Windows-1252 codes, one byte each; clear lines keep every character.
    const QByteArray bytes =
        encriptarDepuracion_ ? platform::aCp1252(modTolvane1::codifica(linea)) : linea.toUtf8();
    log.write(bytes + "\r\n");
}

void aConexion::setModoDepuracion(bool valor) {
    if (valor) {
        QFile::remove(rutaDepuracion());
    }
    modoDepuracion_ = valor;
}

void aConexion::con_InfoMessage(const QString& mensaje) {
    quitaReloj();
    if (modoDepuracion_) {
        escribeDepuracion(milisegundosEnCurso() + u' ' + queryEnCurso_ + u" ERROR: "_s + mensaje);
    }
}
