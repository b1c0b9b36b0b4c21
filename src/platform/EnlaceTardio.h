#pragma once

#include <QVariant>
#include <QVariantList>

#include "platform/CodigosError.h"

class QObject;

// Late binding through the meta-object system: a control's members reached by name, so any
// object that declares them (Qt properties, invokable methods or slots) will do.
namespace platform {

// The property nombre of objeto (declared or dynamic). Errors: 91 no object, 438 no such
// property.
QVariant leePropiedad(const QObject* objeto, const char* nombre);
// Writes the property nombre of objeto, converted to its declared type. Errors: 91, 438, and
// 13 when the value cannot become that type.
void ponPropiedad(QObject* objeto, const char* nombre, const QVariant& valor);
// Calls objeto's method nombre that takes as many arguments as given, each converted to the
// type the method declares (a null or empty value becomes that type's empty value); its result,
// or an empty value for a method without one. Errors: 91, 438, 13.
QVariant invoca(QObject* objeto, const char* nombre, const QVariantList& argumentos = {});

}  // namespace platform
