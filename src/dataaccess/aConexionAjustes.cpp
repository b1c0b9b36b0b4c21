#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringDecoder>
#include <utility>

#include "comun/modTolvane1.h"
#include "dataaccess/DatosConexion.h"
#include "dataaccess/aConexion.h"
#include "platform/Connection.h"
#include "platform/Cp1252.h"
#include "platform/Ruta.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint32 kPuertoSqlServer = 1433;
constexpr qint32 kPuertoMySql = 3306;
constexpr qint32 kPuertoOracle = 1521;
const QString kProviderSqlServer = QStringLiteral("sqloledb.1");
const QString kProviderOracle = QStringLiteral("OraOLEDB.Oracle");

QString dialogoCarpeta(QWidget* ventana, const QString& titulo) {
    // A program without widgets (the command-line tool) has nobody to ask.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return QString();
    }
    return QFileDialog::getExistingDirectory(ventana, titulo);
}

aConexion::SelectorDirectorio& selectorEnVigor() {
    static aConexion::SelectorDirectorio selector = dialogoCarpeta;
    return selector;
}

// Earlier installations wrote the file in Windows-1252; a folder that code page cannot hold is
// written in UTF-8 instead, so no folder is ever lost.
QString leeTextoConfiguracion(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString texto = utf8.decode(bytes);
    return utf8.hasError() ? platform::deCp1252(bytes) : texto;
}

QByteArray textoConfiguracion(const QString& texto) {
    const QByteArray cp1252 = platform::aCp1252(texto);
    return platform::deCp1252(cp1252) == texto ? cp1252 : texto.toUtf8();
}

}  // namespace

aConexion::aConexion(QObject* parent)
    : QObject(parent), con_(std::make_unique<platform::Connection>()) {
    con_->setCursorLocation(3);
    connect(con_.get(), &platform::Connection::willExecute, this, &aConexion::con_WillExecute);
    connect(con_.get(), &platform::Connection::executeComplete, this,
            &aConexion::con_ExecuteComplete);
    connect(con_.get(), &platform::Connection::connectComplete, this,
            &aConexion::con_ConnectComplete);
    connect(con_.get(), &platform::Connection::infoMessage, this, &aConexion::con_InfoMessage);
    activaReloj();
}

aConexion::~aConexion() = default;

platform::Connection* aConexion::con() const {
    return con_.get();
}

void aConexion::setTipoConexion(qint32 valor) {
    tipoConexion_ = valor;
    if (valor == 1 && provider_.isEmpty()) {
        provider_ = kProviderSqlServer;
    }
}

QString aConexion::carpetaPrograma() {
    return QCoreApplication::applicationDirPath();
}

void aConexion::normalizaAjustes() {
    ficheroBD_ = baseDatos_;
    if (provider_.isEmpty() && motor() == Motor::SqlServer) {
        provider_ = kProviderSqlServer;
    }
    directorioBD_ =
        platform::conSeparador(directorioBD_.isEmpty() ? carpetaPrograma() : directorioBD_);
    if (motor() == Motor::MySql && puerto_ == kPuertoSqlServer) {
        puerto_ = kPuertoMySql;
    }
    if (motor() == Motor::Oracle) {
        if (puerto_ == kPuertoSqlServer) {
            puerto_ = kPuertoOracle;
        }
        provider_ = kProviderOracle;
    }
}

QString aConexion::textoConexion() const {
    if (!cadenaConexion_.isEmpty()) {
        return cadenaConexion_;
    }
    // The same values normalizaAjustes leaves, without storing them.
    DatosConexion datos{tipoConexion_,
                        servidor_,
                        baseDatos_,
                        login_,
                        password_,
                        puerto_,
                        motor() == Motor::Oracle ? kProviderOracle : provider_,
                        sid_};
    if (motor() == Motor::MySql && puerto_ == kPuertoSqlServer) {
        datos.puerto = kPuertoMySql;
    } else if (motor() == Motor::Oracle && puerto_ == kPuertoSqlServer) {
        datos.puerto = kPuertoOracle;
    }
    DatosConexion::Forma forma;
    forma.red = servidorRemoto_;
    forma.encriptada = conexionEncriptada_;
    forma.driverMySql = driver_;
    forma.carpetaFichero =
        platform::conSeparador(directorioBD_.isEmpty() ? carpetaPrograma() : directorioBD_);
    return datos.textoConexion(forma);
}

QString aConexion::ubicacion() const {
    if (motor() != Motor::Fichero) {
        return QString();
    }
    const QString origen = con_->property(u"Data Source"_s).toString();
    const qsizetype p = std::max(origen.lastIndexOf(u'/'), origen.lastIndexOf(u'\\'));
    return p < 0 ? origen : origen.left(p);
}

aConexion::SelectorDirectorio aConexion::estableceSelectorDirectorio(SelectorDirectorio selector) {
    return std::exchange(selectorEnVigor(),
                         selector ? std::move(selector) : SelectorDirectorio(dialogoCarpeta));
}

QString aConexion::seleccionaDirectorio(QWidget* ventana, const QString& titulo) {
    const QString carpeta = selectorEnVigor()(ventana, titulo);
    if (carpeta.isEmpty()) {
        return kCancelar;
    }
    return platform::conSeparador(carpeta);
}

QString aConexion::carpetaBaseDatos(QWidget* ventana, const QString& baseDatos) {
    QFile configuracion(carpetaPrograma() + u'/' + kFicheroConfiguracion);
    if (configuracion.open(QIODevice::ReadOnly)) {
        const QString texto = leeTextoConfiguracion(configuracion.readAll());
        return texto.section(u'\n', 0, 0).section(u'\r', 0, 0);
    }
    const QString titulo =
        u"Seleccione el directorio donde se encuentra almacenada la base de datos."_s;
    for (;;) {
        QString carpeta = seleccionaDirectorio(ventana, titulo);
        if (QFileInfo(carpeta + baseDatos).isFile()) {
            return carpeta;
        }
        const bool otraVez =
            modTolvane1::pregunta(u"No se ha encontrado ninguna base de datos "_s + baseDatos +
                                  u" en el directorio seleccionado."_s + u'\r' +
                                  u"¿Desea probar seleccionando otro directorio?"_s);
        // Giving up without a database leaves nothing to test (an empty file database
        // must not be created in its place).
        if (!otraVez) {
            return kCancelar;
        }
    }
}

void aConexion::estableceConexion(qint32 t, QWidget* ventana, const QString& baseDatos) {
    if (motorDe(t) != Motor::Fichero) {
        modTolvane1::aviso(
            u"No se encuentra disponible el algoritmo de establecimiento de conexión con bases "_s
            u"de datos distintas a Access."_s,
            0);
        return;
    }
    const QString carpeta = carpetaBaseDatos(ventana, baseDatos);
    if (carpeta == kCancelar) {
        return;
    }
    // The test opens the database that was found, so that the folder remembered below is one
    // that really holds it.
    setTipoConexion(codigoDe(Motor::Fichero));
    setDirectorioBD(carpeta);
    setBaseDatos(baseDatos);
    conecta(false);
    if (!conexionAbierta()) {
        return;
    }
    QFile configuracion(carpetaPrograma() + u'/' + kFicheroConfiguracion);
    if (!configuracion.exists() && configuracion.open(QIODevice::WriteOnly)) {
        configuracion.write(textoConfiguracion(carpeta + u"\r\n"_s));
    }
    desconecta();
}

// aConexion.h has no aConexion.cpp for automoc to pair it with, so its moc output comes here.
#include "moc_aConexion.cpp"  // NOLINT(bugprone-suspicious-include): automoc's output
