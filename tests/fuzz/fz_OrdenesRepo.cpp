// The command line of corvinal-repo: a line is either refused with the tool's own failure and
// exit status, or it names a known command with its arguments and only names a publisher may
// store.
//
// Input: one argument a line, after the program's name.
#include <QFileInfo>
#include <QHash>

#include "Fuzz.h"
#include "repository/OrdenesRepo.h"
#include "repository/RutaRepositorio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using namespace ordenesRepo;
    // An argument of a real command line holds no NUL.
    const QStringList args = QStringLiteral("corvinal-repo\n")
                                 .append(fuzz::utf8(datos, n))
                                 .remove(QChar(0))
                                 .split(u'\n');
    Opciones o;
    try {
        o = leeOpciones(args);
        for (const QString& p : o.posicionales) {
            EXIGE(!p.startsWith(QStringLiteral("--")) && args.contains(p));
        }
        compruebaOrden(o);
    } catch (const Fallo& f) {
        EXIGE(!f.mensaje.trimmed().isEmpty());
        EXIGE(f.codigo == kFallo || f.codigo == kUsoIncorrecto);
        EXIGE(f.codigo == kFallo || f.mensaje.contains(u'\n') == f.mensaje.endsWith(uso()));
        return 0;
    }
    const QString orden = o.posicionales.at(0);
    const QStringList a = o.posicionales.mid(1);
    QStringList nombres;
    if (orden == u"crear-carpeta") {
        nombres = rutaRepositorio::segmentos(a.at(0));
    } else if (orden == u"subir") {
        EXIGE(QFileInfo(a.at(0)).isFile());
        nombres << (o.nombre.isEmpty() ? QFileInfo(a.at(0)).fileName() : o.nombre);
    }
    // The arguments each command takes, as the usage text gives them.
    static const QHash<QString, std::pair<int, int>> formas = {
        {"crear-tablas", {0, 0}}, {"crear-carpeta", {1, 1}}, {"subir", {2, 2}}, {"bajar", {2, 2}},
        {"sincronizar", {2, 2}},  {"eliminar", {1, 1}},      {"listar", {0, 1}}};
    EXIGE(formas.contains(orden) && a.size() >= formas[orden].first &&
          a.size() <= formas[orden].second);
    for (const QString& nombre : nombres) {
        EXIGE(rutaRepositorio::esNombrePublicable(nombre));
    }
    return 0;
}
