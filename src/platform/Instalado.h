#pragma once

#include <utility>

namespace platform {

// Puts a replaceable global (a clock, a message routing, a way to end the program...) in place
// for its own lifetime and the one it replaced back on every way out, an exception included, so
// the global never outlives what it points to. establece installs a value and returns the one
// that was in force.
template <typename Valor, Valor (*establece)(Valor)>
class Instalado {
public:
    explicit Instalado(Valor nuevo) : anterior_(establece(std::move(nuevo))) {}
    ~Instalado() { establece(std::move(anterior_)); }
    Instalado(const Instalado&) = delete;
    Instalado& operator=(const Instalado&) = delete;

private:
    Valor anterior_;
};

}  // namespace platform
