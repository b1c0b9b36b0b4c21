#include <QDesktopServices>
#include <QDir>
#include <QPixmap>
#include <QUrl>
#include <utility>

#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"
#include "platform/Blancos.h"
#include "platform/EnlaceTardio.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"
#include "platform/Stream.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint32 kOpcionesSinEspecificar = -1;

aConexion::AbridorFicheros& abridor() {
    static aConexion::AbridorFicheros actual;
    return actual;
}

bool abreEnEscritorio(const QString& fichero) {
    if (abridor()) {
        return abridor()(fichero);
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fichero));
}

QByteArray bytesImagen(platform::Field& campo) {
    const QVariant valor = campo.value();
    return valor.isValid() && !valor.isNull() ? valor.toByteArray() : QByteArray();
}

// The agent codes of a comma-separated list, each a whole number, joined by ",".
QString codigosAgentes(const QString& agentes) {
    QStringList codigos;
    for (const QString& elemento : agentes.split(u',')) {
        bool ok = false;
        const qlonglong codigo = platform::sinBlancos(elemento).toLongLong(&ok);
        if (!ok) {
            throw platform::ErrorEjecucion(
                platform::kErrorTipos,
                u"El código de agente \""_s + elemento + u"\" no es un número entero"_s,
                u"aConexion"_s);
        }
        codigos.append(QString::number(codigo));
    }
    return codigos.join(u',');
}

}  // namespace

void aConexion::cargaImagen(platform::Field& campo, const QString& fichero) {
    platform::Stream s;
    s.open();
    s.loadFromFile(fichero);
    campo.setValue(s.read());
    s.close();
}

QPixmap aConexion::obtieneImagen(platform::Field& campo) {
    const QByteArray bytes = bytesImagen(campo);
    if (bytes.isEmpty()) {
        return QPixmap();
    }
    platform::Stream s;
    s.open();
    s.write(bytes);
    const QString ruta = QDir(modTolvane1::carpetaTemporalSegura()).filePath(u"resImagen"_s);
    s.saveToFile(ruta, platform::Stream::kSobrescribir);
    s.close();
    return QPixmap(ruta);
}

QPixmap aConexion::obtieneImagenMemoria(platform::Field& campo) {
    QPixmap imagen;
    const QByteArray bytes = bytesImagen(campo);
    if (!bytes.isEmpty()) {
        imagen.loadFromData(bytes);
    }
    return imagen;
}

void aConexion::eliminafichero(qint32 codFichero) {
    const QString codigo = QString::number(codFichero);
    executeNR(u"DELETE FROM tDatosFichero WHERE codFichero="_s + codigo);
    executeNR(u"DELETE FROM tFicheros WHERE codfichero="_s + codigo);
}

bool aConexion::abrirPdf(const QString& fichero) {
    return abreEnEscritorio(fichero);
}

bool aConexion::abrirFichero(const QString& fichero) {
    return abreEnEscritorio(fichero);
}

aConexion::AbridorFicheros aConexion::estableceAbridorFicheros(AbridorFicheros nuevo) {
    return std::exchange(abridor(), std::move(nuevo));
}

QString aConexion::perfilesEntreComillas(const QString& lista) const {
    if (lista.isEmpty()) {
        return QString();
    }
    QStringList perfiles;
    for (const QString& perfil : lista.split(u',')) {
        perfiles.append(u'\'' + literal(perfil) + u'\'');
    }
    return perfiles.join(u',');
}

QString aConexion::codigoRol(const QString& rol) {
    const platform::RecordsetPtr r =
        con_->execute(u"SELECT codRol FROM tRoles WHERE rol='"_s + literal(rol) + u'\'', nullptr,
                      kOpcionesSinEspecificar);
    if (r != nullptr && !r->eof()) {
        return QString::number(r->field(u"codRol"_s).value().toLongLong());
    }
    QString codigo = QString::number(codsiguiente(u"tRoles"_s, u"codRol"_s));
    executeNR(u"INSERT INTO tRoles (codRol,rol) VALUES ("_s + codigo + u",'"_s + literal(rol) +
              u"')"_s);
    return codigo;
}

void aConexion::quitaRol(const QString& rol, const QString& listaPerfiles) {
    const QString perfiles = perfilesEntreComillas(listaPerfiles);
    QString sql =
        u"DELETE FROM tPerfilesRoles WHERE codRol=(SELECT codRol FROM tRoles WHERE rol ='"_s +
        literal(rol) + u"') "_s;
    if (!perfiles.isEmpty()) {
        sql += u" AND codPerfil IN (SELECT codPerfil FROM tPerfiles WHERE perfil IN ("_s +
               perfiles + u"))"_s;
    }
    executeNR(sql);
}

void aConexion::añadeRolAgentes(const QString& rol, const QString& agentes) {
    if (platform::sinBlancos(agentes).isEmpty()) {
        modTolvane1::aviso(u"No se seleccionaron agentes para añadir el rol."_s);
        return;
    }
    const QString lista = codigosAgentes(agentes);
    const QString codigo = codigoRol(rol);
    const platform::RecordsetPtr r =
        con_->execute(u"SELECT codAgente FROM tAgentes WHERE codagente IN ("_s + lista + u')',
                      nullptr, kOpcionesSinEspecificar);
    for (; r != nullptr && !r->eof(); r->moveNext()) {
        const QString agente = QString::number(r->field(u"codAgente"_s).value().toLongLong());
        executeNR(u"IF NOT EXISTS (SELECT codRol FROM tRolPermisoAgente WHERE codAgente="_s +
                  agente + u" AND codRol="_s + codigo +
                  u") BEGIN INSERT INTO tRolPermisoAgente (codAgente,codRol) "_s + u" VALUES ("_s +
                  agente + u',' + codigo + u") END"_s);
    }
}

void aConexion::añadeRol(const QString& rol, const QString& perfiles) {
    const QString lista = perfilesEntreComillas(perfiles);
    const QString codigo = codigoRol(rol);
    QString sql = u"SELECT codPerfil FROM tPerfiles"_s;
    if (!lista.isEmpty()) {
        sql += u" WHERE perfil IN ("_s + lista + u')';
    }
    const platform::RecordsetPtr r = con_->execute(sql, nullptr, kOpcionesSinEspecificar);
    for (; r != nullptr && !r->eof(); r->moveNext()) {
        const QString perfil = QString::number(r->field(u"codPerfil"_s).value().toLongLong());
        executeNR(u"IF NOT EXISTS (SELECT codPerfil FROM tPerfilesRoles WHERE codPerfil="_s +
                  perfil + u" AND codRol="_s + codigo +
                  u") BEGIN INSERT INTO tPerfilesRoles (codPerfil,codRol) "_s + u" VALUES ("_s +
                  perfil + u',' + codigo + u") END"_s);
    }
}
