#include "launcher/modCorvinal.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <memory>

#include "download/fBajandoFichero.h"
#include "launcher/Arranque.h"
#include "launcher/cListaParametros.h"
#include "launcher/modTolvane1.h"
#include "platform/Espera.h"
#include "platform/Fin.h"
#include "platform/Producto.h"
#include "platform/Reloj.h"
#include "platform/Ruta.h"
#include "setup/fHost.h"

namespace modCorvinal {

namespace {

std::unique_ptr<fBajandoFichero> ventana;

// The program or component to act on after the download: fields 6 and 7 of the record, or,
// where the record leaves them empty, the folder and file the download used.
QString rutaDescargada(const PlanArranque& plan) {
    const QString carpeta =
        plan.carpetaLocalRegistro.isEmpty() ? plan.carpetaLocal : plan.carpetaLocalRegistro;
    const QString fichero = plan.ficheroRegistro.isEmpty() ? plan.fichero : plan.ficheroRegistro;
    return platform::uneRuta(carpeta, fichero);
}

void hazEjecutable(const QString& ruta) {
    QFile::setPermissions(ruta, QFile::permissions(ruta) | QFileDevice::ExeOwner |
                                    QFileDevice::ExeUser | QFileDevice::ExeGroup |
                                    QFileDevice::ExeOther);
}

void reiniciaAplicacion(const PlanArranque& plan, Sistema& sistema) {
    const qint64 inicio = platform::reloj().monotonoMs();
    modTolvane1::aviso(QString::fromUtf8(kAvisoReinicio), kSegundosAviso);
    if (plan.espera) {
        const double quedaMs =
            *plan.espera * 1000.0 - double(platform::reloj().monotonoMs() - inicio);
        platform::esperaSegundos(quedaMs / 1000.0);
    }
    const QString ruta = rutaDescargada(plan);
    hazEjecutable(ruta);
    if (!sistema.iniciaPrograma(ruta)) {
        modTolvane1::aviso(QStringLiteral("No se pudo iniciar la aplicación: ") + ruta);
    }
}

void instalaComponente(const PlanArranque& plan, Sistema& sistema) {
    const QString origen = rutaDescargada(plan);
    const QString carpetaWindows = sistema.carpetaWindows();
    if (carpetaWindows.isEmpty()) {
        modTolvane1::aviso(
            QStringLiteral("No se encuentra la carpeta de Windows (variable Systemroot): ") +
            origen + QStringLiteral(" no se ha copiado ni registrado."));
        return;
    }
    const QString nombre = plan.ficheroRegistro.isEmpty() ? plan.fichero : plan.ficheroRegistro;
    const QString destino = platform::uneRuta(carpetaWindows, nombre);
    QFile::remove(destino);
    if (!QFile::copy(origen, destino)) {
        modTolvane1::aviso(QStringLiteral("No se pudo copiar ") + origen + QStringLiteral(" en ") +
                           destino + QStringLiteral("."));
        return;
    }
    sistema.registraComponente(origen);
}

// The content of corvinal.ini when the command line holds no record, showing the set-up
// window when there is no file; terminar says the program must end.
std::optional<QString> contenidoFichero(const QString& lineaOrdenes, const QString& carpeta,
                                        Sistema& sistema, bool& terminar) {
    const QString ruta = RegistroArranque::rutaFichero(carpeta);
    terminar = false;
    if (!lineaOrdenes.trimmed().isEmpty()) {
        return std::nullopt;
    }
    if (QFileInfo::exists(ruta)) {
        return RegistroArranque::leeFichero(ruta);
    }
    if (!sistema.configura(carpeta)) {
        terminar = true;
        return std::nullopt;
    }
    std::optional<QString> contenido = RegistroArranque::leeFichero(ruta);
    if (!contenido) {
        modTolvane1::muestraMensaje(
            QStringLiteral(
                "No ha sido posible encontrar la información de acceso a la base de datos."),
            platform::nombreProducto());
        terminar = true;
    }
    return contenido;
}

}  // namespace

bool Sistema::configura(const QString& carpetaLanzador) {
    fHost host;
    host.setCarpetaLanzador(carpetaLanzador);
    host.exec();
    return host.seAcepto();
}

bool Sistema::iniciaPrograma(const QString& ruta) {
    return QProcess::startDetached(ruta, {}, QFileInfo(ruta).absolutePath());
}

void Sistema::registraComponente(const QString& ruta) {
    QProcess::startDetached(QStringLiteral("regsvr32"), {ruta});
}

QString Sistema::carpetaWindows() const {
    return qEnvironmentVariable("Systemroot");
}

fBajandoFichero* ventanaDescarga() {
    return ventana.get();
}

void Main(const QString& lineaOrdenes, const QString& carpetaLanzador, Sistema& sistema) {
    parametros.setValor(QStringLiteral("formatoFecha"), QStringLiteral("dd-mm-yy"));
    ventana.reset();

    bool terminar = false;
    const std::optional<QString> fichero =
        contenidoFichero(lineaOrdenes, carpetaLanzador, sistema, terminar);
    if (terminar) {
        platform::terminaPrograma();
        return;
    }
    const PlanArranque plan = planificaArranque(lineaOrdenes, fichero, carpetaLanzador);
    if (!plan.valido) {
        platform::terminaPrograma();
        return;
    }
    RegistroArranque::escribeFichero(RegistroArranque::rutaFichero(carpetaLanzador),
                                     plan.lineaFichero);

    ventana = std::make_unique<fBajandoFichero>();
    ventana->setCarpeta(plan.carpeta);
    ventana->setCarpetaLocal(plan.carpetaLocal);
    ventana->setFichero(plan.fichero);
    ventana->setModoIndependiente(plan.modoIndependiente);
    ventana->show();
    platform::cede();
    ventana->bajaFichero(plan.tipoConexion, plan.servidor, plan.baseDatos, plan.login,
                         plan.password, plan.puerto, plan.provider, plan.sid);
    if (plan.modoIndependiente) {
        return;
    }

    // Measured on the monotonic clock, so that a wait across midnight still ends; a window
    // that closed without the file ends it at once.
    fBajandoFichero& v = *ventana;
    platform::esperaCondicion([&v] { return v.ficheroDescargado() || v.cerrada(); },
                              kEsperaDescargaMs, 100);
    if (!v.ficheroDescargado()) {
        platform::terminaPrograma();
        return;
    }
    if (plan.modo == QLatin1String("E")) {
        reiniciaAplicacion(plan, sistema);
    } else if (plan.modo == QLatin1String("I")) {
        instalaComponente(plan, sistema);
    }
    platform::terminaPrograma();
}

}  // namespace modCorvinal
