#include "launcher/Arranque.h"

#include "comun/modTolvane1.h"

namespace modCorvinal {

namespace {

using C = RegistroArranque::Campo;

// The folder, local folder and file of the download, with their defaults.
void fijaDescarga(PlanArranque& plan, const QStringList& campos, const QString& carpetaLanzador) {
    plan.carpeta = campos.value(C::kCarpeta);
    const QString carpetaLocal = campos.value(C::kCarpetaLocal);
    plan.carpetaLocal = carpetaLocal.isEmpty() ? carpetaLanzador : carpetaLocal;
    const QString fichero = campos.value(C::kFichero);
    plan.fichero = fichero.isEmpty() ? QString::fromLatin1(kFicheroPorDefecto) : fichero;
}

}  // namespace

PlanArranque planificaArranque(const QString& lineaOrdenes,
                               const std::optional<QString>& contenidoFichero,
                               const QString& carpetaLanzador) {
    PlanArranque plan;
    const bool desdeOrdenes = !lineaOrdenes.trimmed().isEmpty();
    if (!desdeOrdenes && !contenidoFichero) {
        plan.necesitaVentanaConfiguracion = true;
        return plan;
    }
    plan.registro = RegistroArranque::analiza(desdeOrdenes ? lineaOrdenes : *contenidoFichero);
    const RegistroArranque& r = plan.registro;
    if (!r.valido) {
        plan.motivo = r.motivo;
        return plan;
    }
    const QStringList& campos = r.campos;
    plan.valido = true;
    plan.conexion = r.datosConexion();
    // The file always holds the encoded form, whatever the command line held: decoding only on
    // an exactly empty line would re-encode an encoded password on every start with blanks.
    if (!desdeOrdenes) {
        plan.conexion.password = modTolvane1::decodifica(plan.conexion.password);
    }
    fijaDescarga(plan, campos, carpetaLanzador);

    const QStringList descarga = campos.size() > C::kCarpeta
                                     ? QStringList{plan.carpeta, plan.carpetaLocal, plan.fichero}
                                     : QStringList();
    plan.lineaFichero = RegistroArranque::lineaArranque(
        plan.conexion.tipoConexion, plan.conexion.provider, plan.conexion.sid,
        plan.conexion.servidor, plan.conexion.baseDatos, plan.conexion.login,
        plan.conexion.password, campos.at(C::kPuerto), descarga);

    if (campos.size() > C::kModo) {
        plan.modoIndependiente = false;
        plan.modo = campos.at(C::kModo);
        plan.carpetaLocalRegistro = campos.at(C::kCarpetaLocal);
        plan.ficheroRegistro = campos.at(C::kFichero);
    }
    plan.espera = r.espera;
    return plan;
}

}  // namespace modCorvinal
