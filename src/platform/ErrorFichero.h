#pragma once

#include <QString>

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"

class QFileDevice;

// The run-time errors of local files, numbered as their callers classify them (70 tells the
// user the file is in use).
namespace platform {

// The error of a file that could not be written: kPermisoDenegado when its folder refuses new
// files or the file itself refuses writing, kErrorAccesoFichero otherwise.
ErrorEjecucion errorEscritura(const QFileDevice& fichero, const QString& origen);
// The error of a file that could not be opened for reading: kFicheroNoEncontrado when it does
// not exist, kPermisoDenegado otherwise.
ErrorEjecucion errorLectura(const QFileDevice& fichero, const QString& origen);

}  // namespace platform
