#include <algorithm>

#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"
#include "platform/Connection.h"
#include "platform/Espera.h"
#include "platform/Formato.h"
#include "platform/Recordset.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint32 kOpcionesSinEspecificar = -1;
constexpr qint32 kOpcionesSinRegistros = platform::Connection::kOpcionSinRegistros;
constexpr qint32 kOpcionesSinRegistrosAsincrona =
    platform::Connection::kOpcionSinRegistros | platform::Connection::kOpcionEjecucionAsincrona;
constexpr qint32 kCursorServidor = 2;
constexpr qint32 kCursorSoloAdelante = 0;
constexpr int kMsEntreMiradas = 100;
constexpr int kEntradasHistorial = 10;

// A broken TDS stream in the words of each driver: the Spanish OLE DB provider, Microsoft's
// ODBC drivers and FreeTDS. Drivers prefix and suffix their texts, so a part is enough.
bool esErrorProtocoloTds(const QString& descripcion) {
    static const QStringList textos = {
        u"Error en protocolo en secuencia TDS"_s, u"Protocol error in TDS stream"_s,
        u"Datastream processing out of sync"_s, u"Read attempted while out of synchronization"_s};
    return std::any_of(textos.cbegin(), textos.cend(), [&descripcion](const QString& texto) {
        return descripcion.contains(texto, Qt::CaseInsensitive);
    });
}

}  // namespace

void aConexion::ejecuta(const QString& sql) {
    for (;;) {
        try {
            con_->execute(sql, nullptr, kOpcionesSinEspecificar);
            return;
        } catch (const platform::ErrorEjecucion& error) {
            if (!modTolvane1::pregunta(error.descripcion() + u'\r' +
                                       u"¿Desea repetir la query?"_s)) {
                return;
            }
        }
    }
}

void aConexion::executeNR(const QString& sql) {
    con_->execute(sql, nullptr, kOpcionesSinRegistros);
}

void aConexion::executeAsincronoNR(const QString& sql) {
    con_->execute(sql, nullptr, kOpcionesSinRegistrosAsincrona);
}

platform::RecordsetPtr aConexion::ejecutaAccion(const QString& sql,
                                                const QString& descripcionAccion) {
    descripcionAccion_ = descripcionAccion;
    platform::RecordsetPtr resultado;
    for (int intento = 0; intento < 2; ++intento) {
        try {
            resultado = con_->execute(sql, nullptr, kOpcionesSinEspecificar);
        } catch (const platform::ErrorEjecucion&) {
            resultado.reset();
        }
        if (!errorProtocoloTDS_) {
            break;
        }
    }
    // The description belongs to this statement's failure only, never to a later one.
    descripcionAccion_.clear();
    return resultado;
}

void aConexion::ejecutaSinTimeout(const QString& sql, qint16 nVecesMaximo) {
    qint16 intentos = 0;
    for (;;) {
        std::optional<platform::ErrorEjecucion> fallo;
        sinRegistrarTimeOut_ = true;
        try {
            con_->execute(sql, nullptr, kOpcionesSinEspecificar);
        } catch (const platform::ErrorEjecucion& error) {
            fallo = error;
        }
        sinRegistrarTimeOut_ = false;
        if (!fallo) {
            return;
        }
        if (!errorTimeOut_) {
            throw *fallo;
        }
        ++intentos;
        if (intentos >= nVecesMaximo) {
            throw *fallo;
        }
    }
}

bool aConexion::rs(platform::RecordsetPtr& r, const QString& sql, bool asinc) {
    for (;;) {
        try {
            if (!asinc) {
                r = con_->execute(sql, nullptr, kOpcionesSinEspecificar);
                return true;
            }
            if (r == nullptr) {
                r = std::make_shared<platform::Recordset>();
            } else if (r->state() == platform::Recordset::kAbierto) {
                r->close();
            }
            r->setCursorLocation(kCursorServidor);
            r->open(sql, con_.get(), kCursorSoloAdelante, platform::Recordset::kSoloLectura,
                    platform::Connection::kOpcionEjecucionAsincrona);
            const platform::RecordsetPtr abierto = r;
            while (abierto->state() == platform::Recordset::kEjecutando) {
                platform::esperaCondicion(
                    [&abierto] { return abierto->state() != platform::Recordset::kEjecutando; },
                    kMsEntreMiradas);
            }
            // A statement that failed on its way leaves the recordset closed: not a success.
            if (abierto->state() != platform::Recordset::kAbierto) {
                throw ultimoError_.value_or(platform::ErrorEjecucion(
                    platform::Connection::kErrorObjetoCerrado,
                    u"La consulta terminó sin abrir sus registros: "_s + sql, u"aConexion"_s));
            }
            return true;
        } catch (const platform::ErrorEjecucion& error) {
            // A closed session is as broken as a lost one: asking to try again cannot help.
            if (conexionRota()) {
                if (reconectarSiRotura_) {
                    reconecta();
                }
                return false;
            }
            const bool otraVez =
                modTolvane1::pregunta(u"Error obteniendo datos."_s + u'\r' + error.descripcion() +
                                      u'\r' + u"¿Desea intentarlo otra vez?"_s);
            if (!otraVez) {
                return false;
            }
            if (asinc && r != nullptr) {
                r->cancel();
            }
        }
    }
}

void aConexion::marcaError(const QString& mensajeError, const QString& query,
                           const QString& historial) {
    if (desactivaDepurador_) {
        return;
    }
    const auto valor = [this](const QString& texto) {
        return texto.isEmpty() ? u"null"_s : u'\'' + aplana(texto) + u'\'';
    };
    executeNR(insercionError(u'\'' + aplana(mensajeError.left(250)) + u'\'', valor(query),
                             valor(historial)));
}

QString aConexion::historialQuerys() {
    if (posHistorial_ < 1) {
        return QString();
    }
    QStringList entradas;
    for (int i = 0; i < kEntradasHistorial; ++i) {
        const int posicion = (posHistorial_ - 1 - i + kEntradasHistorial) % kEntradasHistorial;
        entradas.append(historial_.at(posicion));
    }
    posHistorial_ = 0;
    historial_.fill(QString());
    return entradas.join(u'\u00B7');
}

void aConexion::anotaHistorial(const QString& sql) {
    posHistorial_ = posHistorial_ >= kEntradasHistorial ? 1 : posHistorial_ + 1;
    historial_.at(posHistorial_ - 1) = sql;
}

qint32 aConexion::ERindiceDuplicado() const {
    switch (motor()) {
        case Motor::Fichero:
            return -105121349;
        case Motor::SqlServer:
            return 2601;
        case Motor::MySql:
            return -1;
        case Motor::Oracle:
            break;
    }
    return 0;
}

qint32 aConexion::ERtimeOut() const {
    return ERindiceDuplicado();
}

void aConexion::con_WillExecute(const QString& source) {
    if (modoDepuracion_) {
        queryEnCurso_ = source;
        inicioQuery_.start();
    }
    // The registration's own insert must not wipe what the failing statement left.
    if (registrandoError_) {
        return;
    }
    errorProtocoloTDS_ = false;
    errorTimeOut_ = false;
    ultimoError_.reset();
    if (!relojDesactivado_) {
        ponReloj();
    }
}

void aConexion::con_ExecuteComplete(qint32 recordsAffected, const platform::ErrorEjecucion* pError,
                                    qint32 adStatus, const QString& commandText,
                                    const platform::RecordsetPtr& pRecordset) {
    Q_UNUSED(recordsAffected);
    quitaReloj();
    if (modoDepuracion_) {
        const bool conRegistros =
            pRecordset != nullptr && pRecordset->state() == platform::Recordset::kAbierto;
        escribeDepuracion(
            conRegistros ? milisegundosEnCurso() + u'-' +
                               platform::formatoNumero(pRecordset->recordCount(), u"#######"_s) +
                               u' ' + queryEnCurso_
                         : milisegundosEnCurso() + u"-0 "_s + queryEnCurso_);
    }
    if (registrandoError_) {
        return;
    }
    if (adStatus != platform::Connection::kEstadoErrores || pError == nullptr) {
        anotaHistorial(commandText);
        return;
    }
    ultimoError_ = *pError;
    clasificaError(*pError);
    if (errorProtocoloTDS_ || desactivaDepurador_) {
        return;
    }
    if (errorTimeOut_ && sinRegistrarTimeOut_) {
        return;
    }
    registraError(*pError, commandText);
}

void aConexion::clasificaError(const platform::ErrorEjecucion& error) {
    if (error.numero() == platform::ErrorEjecucion::kTiempoAgotado) {
        errorTimeOut_ = true;
    } else if (error.numero() == platform::ErrorEjecucion::kConexionRota) {
        roturaConexion_ = true;
    } else if (esErrorProtocoloTds(error.descripcion())) {
        errorProtocoloTDS_ = true;
    }
}
