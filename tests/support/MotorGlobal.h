#pragma once

#include <QString>
#include <memory>

#include "support/MotoresPrueba.h"

class aConexion;

namespace prueba {

// The engine of the current global row: a test class fills initTestCase_data() with
// filasMotores(), so that every test runs once per engine and init() opens it.
MotorPrueba motorGlobal(const QString& carpeta);

// A toolkit instance connected to `motor` (MySQL for MariaDB, the file database otherwise).
std::unique_ptr<aConexion> conectaMotor(const MotorPrueba& motor);

}  // namespace prueba
