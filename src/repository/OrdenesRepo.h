#pragma once

#include <QString>
#include <QStringList>

// The command line of corvinal-repo, read and checked before any connection is made, so that a
// line that could write an unsafe name fails before it reaches the repository.
namespace ordenesRepo {

// Exit statuses: done, failed, unusable command line or connection record.
inline constexpr int kExitoso = 0;
inline constexpr int kFallo = 1;
inline constexpr int kUsoIncorrecto = 2;

// A failure the tool explains and ends with: the text for stderr and the exit status.
struct Fallo {
    QString mensaje;
    int codigo = kFallo;
};

// A command line read: its options, and the words that are no option in their order.
struct Opciones {
    QString registro;
    bool conRegistro = false;
    QStringList posicionales;
    QString nombre;
    bool comprimir = false;
    // Secret key file to sign an upload with, public keys to verify against, and the first
    // moment of the trace to list.
    QString firmar;
    QString claves;
    QString desde;
    bool si = false;
    bool silencioso = false;
};

// The usage text, ending in a line break.
QString uso();
// The options of args (args[0] is the program); throws Fallo with kUsoIncorrecto for an unknown
// option or one that lacks its value.
Opciones leeOpciones(const QStringList& args);
// Throws Fallo unless o names a known command with as many arguments as it takes (kUsoIncorrecto,
// followed by the usage text), the file to upload exists and every name the command would store
// is one a publisher may store, and the key files it names exist (kFallo).
void compruebaOrden(const Opciones& o);

}  // namespace ordenesRepo
