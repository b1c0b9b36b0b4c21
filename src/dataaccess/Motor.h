#pragma once

#include <QtGlobal>

// The database engine a connection speaks to. Files and records store it as its integer, so
// the values never change; a switch over it without default lists every engine.
enum class Motor : qint32 { Fichero = 0, SqlServer = 1, MySql = 2, Oracle = 3 };

// The engine of a stored code; a code outside 0-3 gives a value no enumerator names.
constexpr Motor motorDe(qint32 codigo) {
    return static_cast<Motor>(codigo);
}

// The integer files and records store for motor.
constexpr qint32 codigoDe(Motor motor) {
    return static_cast<qint32>(motor);
}

// Whether codigo names one of the four engines.
constexpr bool esMotorConocido(qint32 codigo) {
    return codigo >= codigoDe(Motor::Fichero) && codigo <= codigoDe(Motor::Oracle);
}
