#include "download/TrabajoDescarga.h"

#include <QFileInfo>
#include <limits>

#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"
#include "download/TextosDescarga.h"
#include "download/TrazaDescarga.h"
#include "platform/CodigosError.h"
#include "platform/Compresion.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Espera.h"
#include "platform/Producto.h"
#include "platform/Reloj.h"
#include "platform/Ruta.h"
#include "repository/Confianza.h"
#include "repository/cCorvinal.h"

TrabajoDescarga::TrabajoDescarga(QObject* padre)
    : QObject(padre), cor_(std::make_unique<cCorvinal>()) {
    connect(cor_.get(), &cCorvinal::estado, this, &TrabajoDescarga::estado);
    connect(cor_.get(), &cCorvinal::ficheroBajado, this, &TrabajoDescarga::restaura);
    connect(cor_.get(), &cCorvinal::ficheroAlDia, this, [this] { alDia_ = true; });
    connect(cor_.get(), &cCorvinal::firmaRechazada, this, [this] { firmaRechazada_ = true; });
    connect(this, &TrabajoDescarga::estado, this, [this](const QString& texto, bool error) {
        if (error) {
            ultimoError_ = texto;
        }
    });
}

TrabajoDescarga::~TrabajoDescarga() = default;

TrabajoDescarga::Resultado TrabajoDescarga::ejecuta() {
    emit estado(TextosDescarga::textoConexion(datos_.tipoConexion, datos_.servidor, datos_.puerto,
                                              datos_.baseDatos, datos_.sid),
                false);
    platform::cede();
    platform::esperaSegundos(1);
    if (abandonado_) {
        return Resultado::kAbandonado;
    }
    if (datos_.puerto < 0 || datos_.puerto > std::numeric_limits<qint16>::max()) {
        // The connection holds the port in 16 bits: such a port cannot be handed over.
        emit estado(QStringLiteral("El puerto %1 no es válido: debe estar entre 0 y 32767.")
                        .arg(datos_.puerto),
                    true);
        return Resultado::kFallo;
    }
    const bool conectada = conecta();
    if (abandonado_) {
        return Resultado::kAbandonado;
    }
    if (!conectada) {
        emit estado(QStringLiteral("No pudo establecerse conexión con la base de datos: ") + u'\r' +
                        conexion_->mensajeErrorConexion(),
                    true);
        return Resultado::kFallo;
    }
    return descarga();
}

bool TrabajoDescarga::conecta() {
    if (!conexion_) {
        conexion_ = std::make_unique<aConexion>();
    }
    datos_.aplicaA(*conexion_);
    platform::cede();
    conexion_->conecta(true);
    return conexion_->conexionAbierta();
}

TrabajoDescarga::Resultado TrabajoDescarga::descarga() {
    cor_->setConexion_ac(conexion_.get());
    // The trust compiled into the program, if any: never one read from a folder.
    cor_->setConfianza(Confianza::instalada());
    emit estado(QStringLiteral("Obteniendo fichero: ") + fichero_, false);
    restauracionFallida_ = false;
    alDia_ = false;
    firmaRechazada_ = false;
    ultimoError_.clear();
    const qint64 inicio = platform::reloj().monotonoMs();
    Resultado r = Resultado::kFallo;
    try {
        const bool bajado = cor_->descarga(fichero_, carpeta_, carpetaLocal_);
        r = bajado && !restauracionFallida_ ? Resultado::kHecho : Resultado::kFallo;
    } catch (const platform::ErrorEjecucion& error) {
        // A query that failed on the way (a repository without its tables, a lost connection)
        // is a failed download, said in red like the others.
        emit estado(error.descripcion(), true);
    }
    const qint64 bytes = r == Resultado::kHecho && !alDia_
                             ? QFileInfo(platform::uneRuta(carpetaLocal_, fichero_)).size()
                             : 0;
    TrazaDescarga::anota(
        *conexion_, TrazaDescarga::texto(fichero_, bytes, platform::reloj().monotonoMs() - inicio,
                                         resultadoTraza(r)));
    return r;
}

QString TrabajoDescarga::resultadoTraza(Resultado r) const {
    if (r == Resultado::kHecho) {
        return alDia_ ? TrazaDescarga::kAlDia : TrazaDescarga::kDescargado;
    }
    return firmaRechazada_ ? TrazaDescarga::kFirmaInvalida : TrazaDescarga::error(ultimoError_);
}

void TrabajoDescarga::restaura(const QString& fichero, bool comprimido) {
    if (!comprimido) {
        return;
    }
    try {
        platform::Compresion jzp;
        cCorvinal::restauraComprimido(fichero, jzp);
    } catch (const platform::ErrorEjecucion& error) {
        // The old file stays as it was: this is not the program that was asked for.
        restauracionFallida_ = true;
        if (error.numero() != platform::kPermisoDenegado) {
            emit estado(QStringLiteral("Error al bajar el fichero.") + error.descripcion(), true);
            return;
        }
        emit estado(QStringLiteral("No es posible actualizar el fichero por estar en uso."), true);
        if (fichero.right(3) == QLatin1String("exe")) {
            modTolvane1::muestraMensaje(
                QStringLiteral("El fichero ") + fichero +
                    QStringLiteral(" se encuentra actualmente en uso.") + u'\r' +
                    QStringLiteral("Abandone la aplicación y vuelva a ejecutar el corvinal."),
                platform::nombreProducto());
        }
    }
}
