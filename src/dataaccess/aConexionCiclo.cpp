#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"
#include "platform/Connection.h"
#include "platform/Espera.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint32 kSegundosPorSentencia = 60;

// Whether this class has the hourglass up; the pointer is one for the whole screen.
bool& relojPuesto() {
    static bool puesto = false;
    return puesto;
}

// The description of whatever a platform call threw.
QString descripcion(const std::exception& error) {
    if (const auto* propio = dynamic_cast<const platform::ErrorEjecucion*>(&error)) {
        return propio->descripcion();
    }
    return QString::fromUtf8(error.what());
}

}  // namespace

void aConexion::ponReloj() {
    if (relojPuesto() || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    relojPuesto() = true;
}

void aConexion::quitaReloj() {
    if (!relojPuesto()) {
        return;
    }
    QGuiApplication::restoreOverrideCursor();
    relojPuesto() = false;
}

void aConexion::abre() {
    con_->open(QString(), conexionAsincrona_ ? platform::Connection::kOpcionAsincrona : -1);
}

void aConexion::conecta(bool silencioso) {
    // Closing the old session, setting the text or the time-out fail to the caller; from the
    // open on every failure is reported through the flags.
    if (con_->state() != platform::Connection::kCerrado) {
        con_->close();
    }
    roturaConexion_ = false;
    errorProtocoloTDS_ = false;
    errorConexion_ = false;
    mensajeErrorConexion_.clear();
    conectando_ = true;
    normalizaAjustes();
    const QString texto = textoConexion();
    if (!texto.isEmpty()) {
        con_->setConnectionString(texto);
    }
    con_->setCommandTimeout(kSegundosPorSentencia);

    try {
        ponReloj();
        platform::cede();
        abre();
        if (!conexionAsincrona_) {
            conectando_ = false;
        }
        quitaReloj();
        // Schema toolkit: the sequence table is there and loaded after every synchronous open.
        if (!conexionAsincrona_) {
            cargaTablasSecuencia();
        }
        // Only SQL Server knows @@language, and only its date literals depend on it.
        if (!conexionAsincrona_ && motor() == Motor::SqlServer) {
            lenguaje_ = contenido(u"lenguaje"_s, u"SELECT @@language as lenguaje"_s).toString();
        }
    } catch (const std::exception& error) {
        falloConexion(descripcion(error), silencioso);
    }
}

void aConexion::falloConexion(const QString& descripcion, bool silencioso) {
    quitaReloj();
    mensajeErrorConexion_ = descripcion;
    conectando_ = false;
    errorConexion_ = true;
    if (!silencioso) {
        modTolvane1::muestraMensaje(u"Error abriendo la base de datos."_s + u'\r' + descripcion,
                                    u"Objeto AConexion"_s);
    }
}

bool aConexion::reconecta(bool sinMensaje) {
    try {
        if (!sinMensaje) {
            ponReloj();
        }
        if (con_->state() != platform::Connection::kCerrado) {
            con_->close();
        }
        platform::cede();
        // Schema toolkit: buffers belong to the closed session.
        vaciaBuffers();
        abre();
        // Schema toolkit: the sequence table is reloaded after a synchronous open.
        if (!conexionAsincrona_) {
            cargaTablasSecuencia();
        }
        if (!sinMensaje) {
            quitaReloj();
        }
        roturaConexion_ = false;
        return true;
    } catch (const std::exception& error) {
        if (!sinMensaje) {
            quitaReloj();
            modTolvane1::muestraMensaje(
                u"Error abriendo la base de datos."_s + u'\r' + descripcion(error),
                u"OBjeto AConexion"_s);
        }
        return false;
    }
}

void aConexion::desconecta() {
    try {
        if (conexionAbierta()) {
            // Schema toolkit: buffers belong to the closed session.
            vaciaBuffers();
            con_->close();
        }
    } catch (const std::exception& error) {
        modTolvane1::aviso(
            u"Error al cerrar la conexión con la base de datos."_s + u'\r' + descripcion(error), 0);
    }
}

void aConexion::pruebaConexion() {
    try {
        hoySistema();
    } catch (const std::exception&) {
        // The statement's events have already marked what happened to the connection.
    }
}

bool aConexion::conexionAbierta() const {
    try {
        // An asynchronous statement in progress leaves the session open.
        return (con_->state() & platform::Connection::kAbierto) != 0;
    } catch (const std::exception&) {
        return false;
    }
}

bool aConexion::conexionRota() const {
    return !conexionAbierta() || roturaConexion_;
}

void aConexion::con_ConnectComplete(const platform::ErrorEjecucion* pError, qint32 adStatus) {
    Q_UNUSED(adStatus);
    conectando_ = false;
    if (pError != nullptr) {
        errorConexion_ = true;
        mensajeErrorConexion_ = pError->descripcion();
    }
}
