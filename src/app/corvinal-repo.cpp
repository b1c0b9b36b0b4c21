// corvinal-repo: the publishing side of the repository, for the people who put new versions
// of the application into its database.

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <string>

#include "arranque/RegistroArranque.h"
#include "comun/Mensajeria.h"
#include "comun/modTolvane1.h"
#include "dataaccess/Motor.h"
#include "dataaccess/aConexion.h"
#include "platform/Cadencia.h"
#include "platform/Compresion.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Formato.h"
#include "platform/Producto.h"
#include "platform/Recordset.h"
#include "platform/SistemaFicheros.h"
#include "repository/ArbolRepositorio.h"
#include "repository/Confianza.h"
#include "repository/FicherosClaves.h"
#include "repository/FormatoRepositorio.h"
#include "repository/OrdenesRepo.h"
#include "repository/RutaRepositorio.h"
#include "repository/TablaHuellas.h"
#include "repository/cCorvinal.h"

namespace {

using ordenesRepo::Fallo;
using ordenesRepo::kExitoso;
using ordenesRepo::kFallo;
using ordenesRepo::kUsoIncorrecto;
using ordenesRepo::Opciones;

void imprime(FILE* destino, const QString& texto) {
    std::fputs(texto.toLocal8Bit().constData(), destino);
    std::fputc('\n', destino);
}

// Questions are asked on the terminal; --si answers yes; without a terminal nobody can answer,
// so the answer is no.
class MensajeriaTerminal : public modTolvane1::Mensajeria {
public:
    explicit MensajeriaTerminal(bool si) : si_(si) {}
    bool pregunta(const QString& texto) override {
        if (si_) {
            return true;
        }
        if (!platform::entradaEsTerminal()) {
            imprime(stderr, QString(texto).replace(u'\r', u'\n'));
            imprime(stderr, QStringLiteral("Sin terminal para responder: se responde No "
                                           "(use --si para sustituir)."));
            return false;
        }
        imprime(stderr, QString(texto).replace(u'\r', u'\n') + QStringLiteral(" [s/N]"));
        std::string respuesta;
        std::getline(std::cin, respuesta);
        const QString r = QString::fromLocal8Bit(respuesta).trimmed().toLower();
        return r == u"s" || r == u"si" || r == u"sí" || r == u"y" || r == u"yes";
    }
    void muestraMensaje(const QString& texto, const QString&, const QString&, qint16) override {
        imprime(stderr, texto);
    }
    void mensajeSistema(const QString& texto, QWidget*, bool, qint32) override {
        imprime(stderr, texto);
    }

private:
    bool si_;
};

// The progress bar on stderr, drawn only when stderr is a terminal, at most ten times a second
// and always at the end.
class BarraProgreso {
public:
    BarraProgreso() : activa_(platform::errorEsTerminal()) {}
    ~BarraProgreso() {
        if (dibujada_) {
            std::fputc('\n', stderr);
        }
    }
    void muestra(float fraccion, qint32 restanteMs, qint32 velocidad) {
        if (!activa_ || (fraccion < 1.0f && !refresco_.toca())) {
            return;
        }
        dibujada_ = true;
        constexpr int kAncho = 30;
        const int llenos = qBound(0, int(fraccion * kAncho), kAncho);
        const qint32 s = restanteMs / 1000;
        std::fprintf(stderr, "\r[%s%s] %3d%%  %8.2f MiB/s  quedan %02d:%02d:%02d ",
                     std::string(size_t(llenos), '#').c_str(),
                     std::string(size_t(kAncho - llenos), ' ').c_str(), int(fraccion * 100),
                     double(velocidad) / (1024.0 * 1024.0), s / 3600, s / 60 % 60, s % 60);
        std::fflush(stderr);
    }

private:
    bool activa_;
    bool dibujada_ = false;
    static constexpr qint64 kRefrescoMs = 100;
    platform::Cadencia refresco_{kRefrescoMs};
};

RegistroArranque registroEnUso(const Opciones& o) {
    QString linea = o.registro;
    bool delFichero = false;
    if (!o.conRegistro) {
        const QString ruta = RegistroArranque::rutaFichero(QDir::currentPath());
        const auto contenido = RegistroArranque::leeFichero(ruta);
        if (!contenido) {
            throw Fallo{QStringLiteral("No hay --conexion ni se pudo leer ") + ruta,
                        kUsoIncorrecto};
        }
        linea = *contenido;
        delFichero = true;
    }
    RegistroArranque r = RegistroArranque::analiza(linea);
    if (!r.valido) {
        throw Fallo{QStringLiteral("Registro de conexión no válido: ") + r.motivo, kUsoIncorrecto};
    }
    if (delFichero) {
        r.campos[RegistroArranque::kPassword] =
            modTolvane1::decodifica(r.campos[RegistroArranque::kPassword]);
    }
    const QByteArray password = qgetenv("CORVINAL_PASSWORD");
    if (!password.isNull()) {
        r.campos[RegistroArranque::kPassword] = QString::fromLocal8Bit(password);
    }
    return r;
}

void conecta(aConexion& conexion, const RegistroArranque& r, bool creaBaseDatos) {
    r.datosConexion().aplicaA(conexion);
    if (motorDe(r.tipo) == Motor::Fichero && creaBaseDatos) {
        // An empty file is an empty SQLite database: crear-tablas can start from nothing.
        QFile fichero(QDir(r.campos[RegistroArranque::kServidor])
                          .filePath(r.campos[RegistroArranque::kBaseDatos]));
        if (!fichero.exists() && fichero.open(QIODevice::WriteOnly)) {
            fichero.close();
        }
    }
    conexion.conecta(true);
    if (!conexion.conexionAbierta()) {
        throw Fallo{QStringLiteral("No pudo establecerse conexión con la base de datos: ") +
                        conexion.mensajeErrorConexion(),
                    kFallo};
    }
}

// The publishing commands, on one connection and one repository object.
class Herramienta {
public:
    Herramienta(aConexion& conexion, const Opciones& o) : o_(o) {
        cor_.setConexion_ac(&conexion);
        QObject::connect(&cor_, &cCorvinal::estado, [this](const QString& m, bool error) {
            if (error) {
                ++errores_;
                imprime(stderr, QString(m).replace(u'\r', u' '));
            }
        });
        QObject::connect(&cor_, &cCorvinal::progreso,
                         [this](float f, qint32 r, qint32 v) { barra_.muestra(f, r, v); });
    }

    int ejecuta() {
        const QString orden = o_.posicionales.value(0);
        const QStringList a = o_.posicionales.mid(1);
        if (orden == u"crear-tablas") {
            cor_.creaTablas();
        } else if (orden == u"crear-carpeta") {
            imprime(stdout, QString::number(cor_.creaCarpeta(a[0])));
        } else if (orden == u"subir") {
            return subir(a[0], a[1]);
        } else if (orden == u"bajar") {
            return bajar(a[0], a[1]);
        } else if (orden == u"sincronizar") {
            return sincronizar(a[0], a[1]);
        } else if (orden == u"eliminar") {
            const auto [carpeta, nombre] = rutaRepositorio::separaNombre(a[0]);
            cor_.eliminafichero(codigoFichero(resuelveRuta(carpeta), nombre));
        } else if (orden == u"listar") {
            lista(resuelveRuta(a.value(0)));
        } else if (orden == u"huellas") {
            return huellas(a.value(0));
        } else if (orden == u"firmar") {
            return firmar(a[0], ficherosClaves::leeSecreta(a[1]));
        } else if (orden == u"verificar") {
            return verificar(a.value(0));
        } else if (orden == u"sucesos") {
            sucesos();
        }
        return kExitoso;
    }

private:
    qint32 resuelveRuta(const QString& ruta) const {
        const std::optional<qint32> codigo = arbol_.carpeta(ruta);
        if (!codigo) {
            throw Fallo{QStringLiteral("No se encontró el directorio:") + ruta};
        }
        return *codigo;
    }

    qint32 codigoFichero(qint32 carpeta, const QString& nombre) const {
        const std::optional<qint32> codigo = arbol_.fichero(carpeta, nombre);
        if (!codigo) {
            throw Fallo{QStringLiteral("No se encontró el fichero:") + nombre};
        }
        return *codigo;
    }

    // Mirrors origen into destino, saying what it fetched and what it left as it was.
    int sincronizar(const QString& origen, const QString& destino) {
        resuelveRuta(origen);
        int bajados = 0;
        int alDia = 0;
        const bool detalle = !o_.silencioso;
        QObject::connect(&cor_, &cCorvinal::ficheroBajado, [&](const QString& fichero, bool) {
            ++bajados;
            if (detalle) {
                imprime(stdout, QStringLiteral("bajado: ") + fichero);
            }
        });
        QObject::connect(&cor_, &cCorvinal::ficheroAlDia, [&](const QString& fichero) {
            ++alDia;
            if (detalle) {
                imprime(stdout, QStringLiteral("al día: ") + fichero);
            }
        });
        platform::Compresion jzp;
        cor_.virtualizaDirectorio(origen, destino, jzp);
        imprime(stdout, QStringLiteral("%1 bajados, %2 al día, %3 errores.")
                            .arg(bajados)
                            .arg(alDia)
                            .arg(errores_));
        return errores_ == 0 ? kExitoso : kFallo;
    }

    int subir(const QString& fichero, const QString& ruta) {
        const qint32 carpeta = resuelveRuta(ruta);
        const QString nombre = o_.nombre.isEmpty() ? QFileInfo(fichero).fileName() : o_.nombre;
        QTemporaryDir temporal;
        QString origen = fichero;
        if (o_.comprimir) {
            origen = temporal.filePath(QStringLiteral("subida") +
                                       formatoRepositorio::kExtensionComprimido);
            platform::Compresion::comprime(fichero, origen);
        }
        MensajeriaTerminal terminal(o_.si);
        if (!o_.firmar.isEmpty()) {
            cor_.setClaveFirma(ficherosClaves::leeSecreta(o_.firmar));
        }
        bool ok = false;
        {
            const modTolvane1::MensajeriaInstalada instalada(&terminal);
            ok = cor_.subeFichero(carpeta, origen, nombre, o_.comprimir);
        }
        if (!ok && errores_ == 0) {
            throw Fallo{QStringLiteral("No se sustituyó el fichero ") + nombre +
                        QStringLiteral("; no se escribió nada.")};
        }
        if (ok) {
            imprime(stdout, QString::number(cor_.codFicheroSubido()));
        }
        return ok ? kExitoso : kFallo;
    }

    int bajar(const QString& ruta, const QString& carpetaLocal) {
        const auto [carpeta, nombre] = rutaRepositorio::separaNombre(ruta);
        QString restaurado;
        const auto enlace =
            QObject::connect(&cor_, &cCorvinal::ficheroBajado,
                             [&restaurado](const QString& fichero, bool comprimido) {
                                 if (comprimido) {
                                     restaurado = fichero;
                                 }
                             });
        const bool ok = cor_.descarga(nombre, carpeta, carpetaLocal);
        QObject::disconnect(enlace);
        if (ok && !restaurado.isEmpty()) {
            platform::Compresion jzp;
            cCorvinal::restauraComprimido(restaurado, jzp);
        }
        return ok ? kExitoso : kFallo;
    }

    // Folders first, each marked by its trailing "/", then the files; the folders are written
    // even when reading the files fails.
    void lista(qint32 carpeta) const {
        QTextStream salida(stdout);
        for (const auto& subcarpeta : arbol_.subcarpetas(carpeta)) {
            salida << subcarpeta.second << "/\n";
        }
        for (const FicheroListado& f : arbol_.ficheros(carpeta)) {
            salida << f.nombre << '\t' << f.bytes << '\t' << f.bloques << '\t' << f.comprimido
                   << '\t'
                   << platform::formatoFecha(f.fechaUm, QStringLiteral("yyyy-mm-dd hh:nn:ss"))
                   << '\n';
        }
    }

    // Fingerprints every file of ruta and its subfolders that has none for its current
    // version, one line per file, then a summary.
    int huellas(const QString& ruta) {
        const qint32 carpeta = resuelveRuta(ruta);
        if (!TablaHuellas(*cor_.conexion_ac()).existe()) {
            throw Fallo{QStringLiteral("No existe la tabla ") + TablaHuellas::kTabla +
                        QStringLiteral(": créela con crear-tablas.")};
        }
        CuentaHuellas cuenta;
        huellasDe(carpeta, rutaRepositorio::segmentos(ruta).join(u'/'), cuenta);
        imprime(stdout, QStringLiteral("%1 calculadas, %2 al día, %3 sin huella.")
                            .arg(cuenta.calculadas)
                            .arg(cuenta.alDia)
                            .arg(cuenta.sinHuella));
        return errores_ == 0 ? kExitoso : kFallo;
    }

    struct CuentaHuellas {
        int calculadas = 0;
        int alDia = 0;
        int sinHuella = 0;
    };

    void huellasDe(qint32 carpeta, const QString& ruta, CuentaHuellas& cuenta) {
        const auto enRuta = [&ruta](const QString& nombre) {
            return ruta.isEmpty() ? nombre : ruta + u'/' + nombre;
        };
        TablaHuellas tabla(*cor_.conexion_ac());
        for (const FicheroListado& f : arbol_.ficheros(carpeta)) {
            // An unfinished upload is not a file of the repository yet.
            if (f.nombre.endsWith(formatoRepositorio::kSufijoSubida)) {
                continue;
            }
            const std::optional<Huella> huella = tabla.lee(f.codFichero);
            if (huella && huella->esDe(f.fechaUm)) {
                ++cuenta.alDia;
                imprime(stdout, QStringLiteral("al día: ") + enRuta(f.nombre));
            } else if (f.fechaUm.isValid() && cor_.calculaHuella(f.codFichero)) {
                ++cuenta.calculadas;
                imprime(stdout, QStringLiteral("huella: ") + enRuta(f.nombre));
            } else {
                // Without fechaUm no version can be told from another; any other reason was
                // said through estado.
                ++cuenta.sinHuella;
                imprime(stdout, QStringLiteral("sin huella: ") + enRuta(f.nombre));
            }
        }
        for (const auto& [codigo, nombre] : arbol_.subcarpetas(carpeta)) {
            huellasDe(codigo, enRuta(nombre), cuenta);
        }
    }

    int firmar(const QString& ruta, const QString& secreta) {
        const auto [carpeta, nombre] = rutaRepositorio::separaNombre(ruta);
        if (!cor_.firmaFichero(codigoFichero(resuelveRuta(carpeta), nombre), secreta)) {
            return kFallo;
        }
        imprime(stdout, QStringLiteral("firmado: ") + ruta);
        return kExitoso;
    }

    // The signature state of every file of ruta and its subfolders, one line per file, then a
    // summary; failed unless every one is valid.
    int verificar(const QString& ruta) {
        const qint32 carpeta = resuelveRuta(ruta);
        // No state file: a publisher's check knows no installed release.
        const Confianza confianza(ficherosClaves::leePublicas(o_.claves), true, QString());
        int noValidas = 0;
        verificaEn(carpeta, rutaRepositorio::segmentos(ruta).join(u'/'), confianza, noValidas);
        imprime(stdout, QStringLiteral("%1 no válidas.").arg(noValidas));
        return noValidas == 0 && errores_ == 0 ? kExitoso : kFallo;
    }

    void verificaEn(qint32 carpeta, const QString& ruta, const Confianza& confianza,
                    int& noValidas) {
        const auto enRuta = [&ruta](const QString& nombre) {
            return ruta.isEmpty() ? nombre : ruta + u'/' + nombre;
        };
        for (const FicheroListado& f : arbol_.ficheros(carpeta)) {
            if (f.nombre.endsWith(formatoRepositorio::kSufijoSubida)) {
                continue;
            }
            const cCorvinal::EstadoFirma e = cor_.verificaFirma(f.codFichero, confianza);
            noValidas += e == cCorvinal::EstadoFirma::kValida ? 0 : 1;
            imprime(stdout, textoEstado(e) + QStringLiteral(": ") + enRuta(f.nombre));
        }
        for (const auto& [codigo, nombre] : arbol_.subcarpetas(carpeta)) {
            verificaEn(codigo, enRuta(nombre), confianza, noValidas);
        }
    }

    static QString textoEstado(cCorvinal::EstadoFirma e) {
        switch (e) {
            case cCorvinal::EstadoFirma::kValida:
                return QStringLiteral("válida");
            case cCorvinal::EstadoFirma::kInvalida:
            case cCorvinal::EstadoFirma::kAnterior:
                return QStringLiteral("inválida");
            case cCorvinal::EstadoFirma::kSinFirma:
            case cCorvinal::EstadoFirma::kSinTabla:
                break;
        }
        return QStringLiteral("sin firma");
    }

    // The launchers' trace, oldest first: date, then the event.
    void sucesos() const {
        aConexion& c = *cor_.conexion_ac();
        QString sql = QStringLiteral("SELECT codSuceso,fecha,suceso FROM tSucesos");
        if (!o_.desde.isEmpty()) {
            sql += QStringLiteral(" WHERE fecha>=") + c.fechaHora(fechaDesde(o_.desde));
        }
        auto rs = c.con()->execute(sql + QStringLiteral(" ORDER BY codSuceso"));
        QTextStream salida(stdout);
        for (; rs && !rs->eof(); rs->moveNext()) {
            salida << platform::formatoFecha(
                          rs->field(QStringLiteral("fecha")).value().toDateTime(),
                          QStringLiteral("yyyy-mm-dd hh:nn:ss"))
                   << '\t' << rs->field(QStringLiteral("suceso")).value().toString() << '\n';
        }
    }

    static QDateTime fechaDesde(const QString& texto) {
        QDateTime d = QDateTime::fromString(texto.trimmed(), Qt::ISODate);
        if (!d.isValid()) {
            d = QDateTime::fromString(texto.trimmed(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        }
        if (!d.isValid()) {
            d = QDate::fromString(texto.trimmed(), Qt::ISODate).startOfDay();
        }
        if (!d.isValid()) {
            throw Fallo{QStringLiteral("Fecha no válida: ") + texto, kUsoIncorrecto};
        }
        return d;
    }

    const Opciones& o_;
    cCorvinal cor_;
    ArbolRepositorio arbol_{cor_};
    BarraProgreso barra_;
    int errores_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList argumentos = app.arguments();
    if (argumentos.contains(u"--help") || argumentos.contains(u"-h")) {
        imprime(stdout, ordenesRepo::uso().trimmed());
        return kExitoso;
    }
    if (argumentos.contains(u"--version")) {
        imprime(stdout, platform::tituloProducto());
        return kExitoso;
    }
    try {
        const Opciones o = ordenesRepo::leeOpciones(argumentos);
        ordenesRepo::compruebaOrden(o);
        if (o.posicionales.first() == u"claves") {
            // Keys are made away from any database: the secret one never goes near the data.
            const platform::ParClaves par = ficherosClaves::genera(o.posicionales[2]);
            imprime(stdout, par.publica);
            return kExitoso;
        }
        aConexion conexion;
        conecta(conexion, registroEnUso(o), o.posicionales.first() == u"crear-tablas");
        return Herramienta(conexion, o).ejecuta();
    } catch (const Fallo& f) {
        imprime(stderr, f.mensaje);
        return f.codigo;
    } catch (const platform::ErrorEjecucion& e) {
        imprime(stderr, QStringLiteral("Error %1: ").arg(e.numero()) +
                            QString(e.descripcion()).replace(u'\r', u' '));
        return kFallo;
    }
}
