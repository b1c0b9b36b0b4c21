#include "launcher/modCorvinal.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <memory>

#include "arranque/Salida.h"
#include "comun/cListaParametros.h"
#include "comun/modTolvane1.h"
#include "download/fBajandoFichero.h"
#include "launcher/Arranque.h"
#include "platform/Cp1252.h"
#include "platform/Espera.h"
#include "platform/Producto.h"
#include "platform/Reloj.h"
#include "platform/Ruta.h"
#include "setup/fHost.h"

namespace modCorvinal {

namespace {

std::unique_ptr<fBajandoFichero> ventana;
// Bytes read at a time when copying a component.
constexpr qint64 kTrozoCopia = 1 << 20;

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

bool reiniciaAplicacion(const PlanArranque& plan, Sistema& sistema) {
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
        return false;
    }
    return true;
}

// Puts a copy of origen in place of destino through a temporary file beside destino, so that
// the old file goes only by the final rename and stays whole on any failure. A file copied
// onto itself is already in place.
bool copiaSustituyendo(const QString& origen, const QString& destino) {
    const QString canonico = QFileInfo(origen).canonicalFilePath();
    if (!canonico.isEmpty() && canonico == QFileInfo(destino).canonicalFilePath()) {
        return true;
    }
    QFile entrada(origen);
    QSaveFile salida(destino);
    if (!entrada.open(QIODevice::ReadOnly) || !salida.open(QIODevice::WriteOnly)) {
        return false;
    }
    while (!entrada.atEnd()) {
        const QByteArray trozo = entrada.read(kTrozoCopia);
        if (trozo.isEmpty() || salida.write(trozo) != trozo.size()) {
            salida.cancelWriting();
            return false;
        }
    }
    return salida.commit();
}

bool instalaComponente(const PlanArranque& plan, Sistema& sistema) {
    const QString origen = rutaDescargada(plan);
    const QString carpetaWindows = sistema.carpetaWindows();
    if (carpetaWindows.isEmpty()) {
        modTolvane1::aviso(
            QStringLiteral("No se encuentra la carpeta de Windows (variable Systemroot): ") +
            origen + QStringLiteral(" no se ha copiado ni registrado."));
        return false;
    }
    const QString nombre = plan.ficheroRegistro.isEmpty() ? plan.fichero : plan.ficheroRegistro;
    const QString destino = platform::uneRuta(carpetaWindows, nombre);
    if (!copiaSustituyendo(origen, destino)) {
        modTolvane1::aviso(QStringLiteral("No se pudo copiar ") + origen + QStringLiteral(" en ") +
                           destino + QStringLiteral("."));
        return false;
    }
    if (!sistema.registraComponente(origen)) {
        modTolvane1::aviso(QStringLiteral("No se pudo iniciar el registro del componente ") +
                           origen + QStringLiteral("."));
        return false;
    }
    return true;
}

// The plan of the record read at ruta, when it can be used; why not, when it cannot. previo
// receives what could be read, for the set-up window to show.
std::optional<PlanArranque> planDelFichero(const QString& ruta, const QString& carpeta,
                                           std::optional<RegistroArranque>& previo) {
    const std::optional<QString> contenido = RegistroArranque::leeFichero(ruta);
    if (!contenido) {
        modTolvane1::aviso(QStringLiteral("No se puede leer el registro de conexión de ") + ruta +
                           QStringLiteral(": no es un fichero de texto legible."));
        return std::nullopt;
    }
    PlanArranque plan = planificaArranque(QString(), contenido, carpeta);
    if (!plan.valido) {
        modTolvane1::aviso(plan.motivo);
        previo = plan.registro;
        return std::nullopt;
    }
    return plan;
}

// A usable record: the command line's, else corvinal.ini's, else the one the set-up window
// stores. An unusable record is explained; one from corvinal.ini (or an unreadable file) opens
// the set-up window, filled with what could be read, so the user can mend it.
std::optional<PlanArranque> planUtilizable(const QString& lineaOrdenes, const QString& carpeta,
                                           Sistema& sistema) {
    if (!lineaOrdenes.trimmed().isEmpty()) {
        PlanArranque plan = planificaArranque(lineaOrdenes, std::nullopt, carpeta);
        if (!plan.valido) {
            modTolvane1::aviso(plan.motivo);
            return std::nullopt;
        }
        return plan;
    }
    const QString ruta = RegistroArranque::rutaFichero(carpeta);
    std::optional<RegistroArranque> previo;
    if (QFileInfo::exists(ruta)) {
        if (std::optional<PlanArranque> plan = planDelFichero(ruta, carpeta, previo)) {
            return plan;
        }
    }
    if (!sistema.configura(carpeta, previo)) {
        return std::nullopt;
    }
    if (!RegistroArranque::leeFichero(ruta)) {
        modTolvane1::muestraMensaje(
            QStringLiteral(
                "No ha sido posible encontrar la información de acceso a la base de datos."),
            platform::nombreProducto());
        return std::nullopt;
    }
    std::optional<RegistroArranque> descartado;
    return planDelFichero(ruta, carpeta, descartado);
}

// Stores the record, unless its password holds characters corvinal.ini cannot carry: then the
// password serves this run only and the stored record stays as it was.
void guardaRegistro(const PlanArranque& plan, const QString& carpeta) {
    if (platform::deCp1252(platform::aCp1252(plan.conexion.password)) != plan.conexion.password) {
        modTolvane1::aviso(QStringLiteral("No se pudo guardar la contraseña en corvinal.ini: tiene "
                                          "caracteres que no admite Windows-1252. Se usa solo en "
                                          "esta ejecución."),
                           kSegundosAviso);
        return;
    }
    RegistroArranque::escribeFichero(RegistroArranque::rutaFichero(carpeta), plan.lineaFichero);
}

}  // namespace

bool Sistema::configura(const QString& carpetaLanzador,
                        const std::optional<RegistroArranque>& previo) {
    fHost host;
    host.setCarpetaLanzador(carpetaLanzador);
    if (previo) {
        host.muestraDatos(DatosHost::deRegistro(*previo));
    }
    host.exec();
    return host.seAcepto();
}

bool Sistema::iniciaPrograma(const QString& ruta) {
    return QProcess::startDetached(ruta, {}, QFileInfo(ruta).absolutePath());
}

bool Sistema::registraComponente(const QString& ruta) {
    return QProcess::startDetached(QStringLiteral("regsvr32"), {ruta});
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

    const std::optional<PlanArranque> utilizable =
        planUtilizable(lineaOrdenes, carpetaLanzador, sistema);
    if (!utilizable) {
        salida::termina(salida::kSinRegistro);
        return;
    }
    const PlanArranque& plan = *utilizable;
    guardaRegistro(plan, carpetaLanzador);

    ventana = std::make_unique<fBajandoFichero>();
    ventana->setCarpeta(plan.carpeta);
    ventana->setCarpetaLocal(plan.carpetaLocal);
    ventana->setFichero(plan.fichero);
    ventana->setModoIndependiente(plan.modoIndependiente);
    ventana->show();
    platform::cede();
    ventana->bajaFichero(plan.conexion);
    if (plan.modoIndependiente) {
        return;
    }

    // Measured on the monotonic clock, so that a wait across midnight still ends; a window
    // that closed without the file ends it at once.
    fBajandoFichero& v = *ventana;
    platform::esperaCondicion([&v] { return v.ficheroDescargado() || v.cerrada(); },
                              kEsperaDescargaMs, kPasoEsperaMs);
    if (!v.ficheroDescargado()) {
        salida::termina(salida::kFallo);
        return;
    }
    bool hecho = true;
    if (plan.modo == QLatin1String("E")) {
        hecho = reiniciaAplicacion(plan, sistema);
    } else if (plan.modo == QLatin1String("I")) {
        hecho = instalaComponente(plan, sistema);
    }
    salida::termina(hecho ? salida::kHecho : salida::kFallo);
}

}  // namespace modCorvinal
