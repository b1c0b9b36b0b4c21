// corvinal-repo: the publishing side of the repository, for the people who put new versions
// of the application into its database.

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
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
#include "platform/SistemaFicheros.h"
#include "repository/ArbolRepositorio.h"
#include "repository/FormatoRepositorio.h"
#include "repository/RutaRepositorio.h"
#include "repository/TablaHuellas.h"
#include "repository/cCorvinal.h"

namespace {

constexpr int kExitoso = 0;
constexpr int kFallo = 1;
constexpr int kUsoIncorrecto = 2;

const char kUso[] =
    "uso: corvinal-repo [--conexion REGISTRO] ORDEN ARGUMENTOS\n"
    "     corvinal-repo --help | -h | --version\n"
    "\n"
    "Órdenes:\n"
    "  crear-tablas                      crea las tablas del repositorio que falten\n"
    "  crear-carpeta RUTA                crea cada carpeta que falte de RUTA (a/b/c)\n"
    "  subir FICHERO RUTA [--nombre NOMBRE] [--comprimir] [--si]\n"
    "                                    guarda FICHERO en la carpeta RUTA; pregunta antes de\n"
    "                                    sustituir uno del mismo nombre (--si responde que sí)\n"
    "  bajar RUTA/NOMBRE CARPETA_LOCAL   trae un fichero, restaurado si se guardó comprimido\n"
    "  sincronizar RUTA CARPETA_LOCAL [--quiet]\n"
    "                                    refleja el árbol de RUTA y trae lo que sea más nuevo;\n"
    "                                    dice cada fichero traído u omitido (--quiet: el resumen)\n"
    "  eliminar RUTA/NOMBRE              borra un fichero y sus bloques\n"
    "  listar [RUTA]                     carpetas y ficheros: bytes, bloques, comprimido, fechaUm\n"
    "  huellas [RUTA]                    calcula la huella de los ficheros de RUTA y sus\n"
    "                                    subcarpetas que no la tengan (uno por línea)\n"
    "\n"
    "Las carpetas de RUTA se separan con \"/\" o \"\\\": \"a/b\", \"/a/b\" y \"a/b/\" son la "
    "misma\n"
    "carpeta. Un nombre no puede ser \"\", \".\" ni \"..\", llevar \"/\", \"\\\" ni caracteres de\n"
    "control, empezar por una unidad (\"C:\") ni acabar en \".new\".\n"
    "\n"
    "REGISTRO es un registro de conexión con la contraseña en claro:\n"
    "  [tipo,proveedor,sid|]servidor,baseDatos,login,contraseña,puerto\n"
    "  tipo: 0 base de datos en fichero (SQLite; el servidor es la carpeta del fichero),\n"
    "        1 SQL Server (sin prefijo), 2 MySQL o MariaDB, 3 Oracle.\n"
    "Ejemplos:\n"
    "  0,,|/srv/repo,repo.db,,,0\n"
    "  1,,|sql.ejemplo,app,usuario,clave,1433\n"
    "  2,,|127.0.0.1,app,publicador,secreto,3306\n"
    "  3,OraOLEDB.Oracle,ORCL|ora.ejemplo,app,usuario,clave,1521\n"
    "Sin --conexion se lee corvinal.ini de la carpeta actual. CORVINAL_PASSWORD, si existe,\n"
    "sustituye la contraseña, que así no aparece en la lista de procesos.\n"
    "\n"
    "Códigos de salida: 0 hecho; 1 fallo (conexión, carpeta o fichero inexistente, nombre no\n"
    "válido, escritura); 2 línea de órdenes incorrecta o registro de conexión inutilizable.\n";

// The arguments each command takes, checked before any connection is made.
struct FormaOrden {
    const char* orden;
    int minimo;
    int maximo;
};
constexpr FormaOrden kOrdenes[] = {
    {"crear-tablas", 0, 0}, {"crear-carpeta", 1, 1}, {"subir", 2, 2},  {"bajar", 2, 2},
    {"sincronizar", 2, 2},  {"eliminar", 1, 1},      {"listar", 0, 1}, {"huellas", 0, 1},
};

QString uso() {
    return QString::fromUtf8(kUso);
}

void imprime(FILE* destino, const QString& texto) {
    std::fputs(texto.toLocal8Bit().constData(), destino);
    std::fputc('\n', destino);
}

// A failure the tool explains and ends with.
struct Fallo {
    QString mensaje;
    int codigo = kFallo;
};

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

struct Opciones {
    QString registro;
    bool conRegistro = false;
    QStringList posicionales;
    QString nombre;
    bool comprimir = false;
    bool si = false;
    bool silencioso = false;
};

Opciones leeOpciones(const QStringList& args) {
    Opciones o;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool conValor = a == u"--conexion" || a == u"--nombre";
        if (conValor && i + 1 >= args.size()) {
            throw Fallo{a + QStringLiteral(" necesita un valor."), kUsoIncorrecto};
        }
        if (a == u"--conexion") {
            o.registro = args[++i];
            o.conRegistro = true;
        } else if (a == u"--nombre") {
            o.nombre = args[++i];
        } else if (a == u"--comprimir") {
            o.comprimir = true;
        } else if (a == u"--si") {
            o.si = true;
        } else if (a == u"--quiet") {
            o.silencioso = true;
        } else if (a.startsWith(u"--")) {
            throw Fallo{QStringLiteral("Opción desconocida: ") + a, kUsoIncorrecto};
        } else {
            o.posicionales.append(a);
        }
    }
    return o;
}

[[noreturn]] void fallaUso(const QString& motivo) {
    throw Fallo{motivo + u'\n' + uso(), kUsoIncorrecto};
}

// The command line as a whole, before any connection: a known command with its arguments, and
// every name it would store one that a publisher may store.
void compruebaOrden(const Opciones& o) {
    const QString orden = o.posicionales.value(0);
    const auto forma =
        std::find_if(std::begin(kOrdenes), std::end(kOrdenes),
                     [&orden](const FormaOrden& f) { return orden == QLatin1String(f.orden); });
    if (forma == std::end(kOrdenes)) {
        fallaUso(orden.isEmpty() ? QStringLiteral("Falta la orden.")
                                 : QStringLiteral("Orden desconocida: ") + orden);
    }
    const qsizetype argumentos = o.posicionales.size() - 1;
    if (argumentos < forma->minimo || argumentos > forma->maximo) {
        fallaUso(QStringLiteral("Número de argumentos incorrecto para ") + orden + u'.');
    }
    QStringList nombres;
    if (orden == u"crear-carpeta") {
        nombres = rutaRepositorio::segmentos(o.posicionales[1]);
    } else if (orden == u"subir") {
        const QString& fichero = o.posicionales[1];
        if (!QFileInfo(fichero).isFile()) {
            throw Fallo{QStringLiteral("No se encontró el fichero: ") + fichero};
        }
        nombres << (o.nombre.isEmpty() ? QFileInfo(fichero).fileName() : o.nombre);
    }
    for (const QString& nombre : nombres) {
        if (!rutaRepositorio::esNombrePublicable(nombre)) {
            throw Fallo{rutaRepositorio::textoNombreNoValido(nombre) +
                        QStringLiteral(" (no se escribió nada)")};
        }
    }
}

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
        imprime(stdout, uso().trimmed());
        return kExitoso;
    }
    if (argumentos.contains(u"--version")) {
        imprime(stdout, platform::tituloProducto());
        return kExitoso;
    }
    try {
        const Opciones o = leeOpciones(argumentos);
        compruebaOrden(o);
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
