#include "arranque/Salida.h"

#include <cstdio>
#include <cstdlib>

#include "platform/Fin.h"

namespace salida {
namespace {

Codigo ultimo = kHecho;

}  // namespace

void termina(Codigo codigo) {
    ultimo = codigo;
    platform::terminaPrograma();
}

Codigo codigo() {
    return ultimo;
}

void saleDelProceso() {
    // Nothing else runs on the way out, but what was already written must reach its file.
    std::fflush(nullptr);
    std::_Exit(ultimo);
}

}  // namespace salida
