#include "repository/OrdenesRepo.h"

#include <QFileInfo>
#include <algorithm>
#include <iterator>

#include "repository/RutaRepositorio.h"

namespace ordenesRepo {

namespace {

const char kUso[] =
    "uso: corvinal-repo [--conexion REGISTRO] ORDEN ARGUMENTOS\n"
    "     corvinal-repo --help | -h | --version\n"
    "\n"
    "Órdenes:\n"
    "  crear-tablas                      crea las tablas del repositorio que falten\n"
    "  crear-carpeta RUTA                crea cada carpeta que falte de RUTA (a/b/c)\n"
    "  subir FICHERO RUTA [--nombre NOMBRE] [--comprimir] [--si] [--firmar CLAVE_SECRETA]\n"
    "                                    guarda FICHERO en la carpeta RUTA; pregunta antes de\n"
    "                                    sustituir uno del mismo nombre (--si responde que sí);\n"
    "                                    con --firmar lo firma como una edición nueva\n"
    "  bajar RUTA/NOMBRE CARPETA_LOCAL   trae un fichero, restaurado si se guardó comprimido\n"
    "  sincronizar RUTA CARPETA_LOCAL [--quiet]\n"
    "                                    refleja el árbol de RUTA y trae lo que sea más nuevo;\n"
    "                                    dice cada fichero traído u omitido (--quiet: el resumen)\n"
    "  eliminar RUTA/NOMBRE              borra un fichero y sus bloques\n"
    "  listar [RUTA]                     carpetas y ficheros: bytes, bloques, comprimido, fechaUm\n"
    "  huellas [RUTA]                    calcula la huella de los ficheros de RUTA y sus\n"
    "                                    subcarpetas que no la tengan (uno por línea)\n"
    "  claves generar CARPETA            crea CARPETA/editor.clave (secreta, solo para su dueño)\n"
    "                                    y CARPETA/editor.pub (pública, una línea)\n"
    "  firmar RUTA/NOMBRE CLAVE_SECRETA  firma un fichero ya publicado como una edición nueva\n"
    "  verificar [RUTA] --claves FICHERO_PUB\n"
    "                                    estado de la firma de cada fichero de RUTA y sus\n"
    "                                    subcarpetas (válida, sin firma, inválida) con las claves\n"
    "                                    públicas de FICHERO_PUB; sale con 1 si alguna no es "
    "válida\n"
    "  sucesos [--desde FECHA]           la traza de tSucesos (FECHA: aaaa-mm-dd[ hh:mm:ss])\n"
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
    {"crear-tablas", 0, 0}, {"crear-carpeta", 1, 1}, {"subir", 2, 2},     {"bajar", 2, 2},
    {"sincronizar", 2, 2},  {"eliminar", 1, 1},      {"listar", 0, 1},    {"huellas", 0, 1},
    {"claves", 2, 2},       {"firmar", 2, 2},        {"verificar", 0, 1}, {"sucesos", 0, 0},
};

[[noreturn]] void fallaUso(const QString& motivo) {
    throw Fallo{motivo + u'\n' + uso(), kUsoIncorrecto};
}

}  // namespace

QString uso() {
    return QString::fromUtf8(kUso);
}

Opciones leeOpciones(const QStringList& args) {
    Opciones o;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool conValor = a == u"--conexion" || a == u"--nombre" || a == u"--firmar" ||
                              a == u"--claves" || a == u"--desde";
        if (conValor && i + 1 >= args.size()) {
            throw Fallo{a + QStringLiteral(" necesita un valor."), kUsoIncorrecto};
        }
        if (a == u"--conexion") {
            o.registro = args[++i];
            o.conRegistro = true;
        } else if (a == u"--nombre") {
            o.nombre = args[++i];
        } else if (a == u"--firmar") {
            o.firmar = args[++i];
        } else if (a == u"--claves") {
            o.claves = args[++i];
        } else if (a == u"--desde") {
            o.desde = args[++i];
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
    if (orden == u"claves" && o.posicionales[1] != u"generar") {
        fallaUso(QStringLiteral("Orden desconocida: claves ") + o.posicionales[1]);
    }
    if (orden == u"verificar" && o.claves.isEmpty()) {
        fallaUso(QStringLiteral("verificar necesita --claves FICHERO_PUB."));
    }
    for (const QString& clave :
         {o.firmar, o.claves, orden == u"firmar" ? o.posicionales[2] : QString()}) {
        if (!clave.isEmpty() && !QFileInfo(clave).isFile()) {
            throw Fallo{QStringLiteral("No se encontró el fichero: ") + clave};
        }
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

}  // namespace ordenesRepo
