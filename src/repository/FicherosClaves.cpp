#include "repository/FicherosClaves.h"

#include <QDir>
#include <QFile>

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"

namespace ficherosClaves {

namespace {

const QString kOrigen = QStringLiteral("ficherosClaves");

[[noreturn]] void falla(const QString& descripcion) {
    throw platform::ErrorEjecucion(platform::kErrorArgumento, descripcion, kOrigen);
}

// Creates ruta with contenido, refusing one that exists; the permissions are the file's from
// its creation on, so a secret key is never readable by others even for a moment.
void creaNuevo(const QString& ruta, const QByteArray& contenido,
               QFileDevice::Permissions permisos) {
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::WriteOnly | QIODevice::NewOnly, permisos)) {
        if (fichero.exists()) {
            falla(QStringLiteral("Ya existe ") + ruta + QStringLiteral(": no se sustituye."));
        }
        throw platform::errorEscritura(fichero, kOrigen);
    }
    if (fichero.write(contenido) != contenido.size() || !fichero.flush()) {
        throw platform::errorEscritura(fichero, kOrigen);
    }
}

QStringList lineasDe(const QString& ruta) {
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly)) {
        throw platform::errorLectura(fichero, kOrigen);
    }
    QStringList lineas;
    while (!fichero.atEnd()) {
        const QString linea = QString::fromUtf8(fichero.readLine()).trimmed();
        if (!linea.isEmpty() && !linea.startsWith(u'#')) {
            lineas << linea;
        }
    }
    return lineas;
}

}  // namespace

platform::ParClaves genera(const QString& carpeta) {
    const QDir dir(carpeta);
    if (!dir.exists()) {
        falla(QStringLiteral("No se encontró el directorio:") + carpeta);
    }
    platform::ParClaves par = platform::generaClaves();
    creaNuevo(dir.filePath(kSecreta), par.secreta.toLatin1() + '\n',
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    creaNuevo(dir.filePath(kPublica), par.publica.toLatin1() + '\n',
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                  QFileDevice::ReadOther);
    return par;
}

QString leeSecreta(const QString& ruta) {
    const QStringList lineas = lineasDe(ruta);
    if (lineas.size() != 1 || !platform::clavePublicaDe(lineas.first())) {
        falla(QStringLiteral("El fichero no guarda una clave secreta: ") + ruta);
    }
    return lineas.first();
}

QStringList leePublicas(const QString& ruta) {
    QStringList lineas = lineasDe(ruta);
    for (const QString& linea : lineas) {
        if (!platform::esClavePublica(linea)) {
            falla(QStringLiteral("Clave pública no válida en ") + ruta + QStringLiteral(": ") +
                  linea);
        }
    }
    if (lineas.isEmpty()) {
        falla(QStringLiteral("El fichero no guarda ninguna clave pública: ") + ruta);
    }
    return lineas;
}

}  // namespace ficherosClaves
