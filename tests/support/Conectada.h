#pragma once

#include <QtGlobal>
#include <memory>

class aConexion;

namespace prueba {

class ConexionGrabadora;

// A toolkit instance on engine `tipo`, connected through `grabadora` (which takes any connection
// data, and answers what it was told to before), with the statements of the connect forgotten.
std::unique_ptr<aConexion> conectada(qint32 tipo, ConexionGrabadora& grabadora);

}  // namespace prueba
