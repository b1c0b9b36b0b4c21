#include "platform/Stream.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"

namespace platform {

namespace {
const QString kOrigen = QStringLiteral("Stream");
}

void Stream::open() {
    abierto_ = true;
    datos_.clear();
    posicion_ = 0;
}

void Stream::close() {
    abierto_ = false;
    datos_ = QByteArray();
    posicion_ = 0;
}

void Stream::compruebaAbierto() const {
    if (!abierto_) {
        throw ErrorEjecucion(
            kErrorCerrado, QStringLiteral("No se permite la operación si el objeto está cerrado."),
            kOrigen);
    }
}

void Stream::write(const QByteArray& datos) {
    compruebaAbierto();
    const qint64 fin = posicion_ + datos.size();
    if (fin > datos_.size()) {
        datos_.resize(fin);
    }
    std::copy(datos.cbegin(), datos.cend(), datos_.begin() + posicion_);
    posicion_ = fin;
}

QByteArray Stream::read(qint64 n) {
    compruebaAbierto();
    const qint64 resto = datos_.size() - posicion_;
    const qint64 cuantos = (n < 0 || n > resto) ? resto : n;
    QByteArray leido = datos_.mid(posicion_, cuantos);
    posicion_ += cuantos;
    return leido;
}

void Stream::loadFromFile(const QString& ruta) {
    compruebaAbierto();
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly)) {
        throw ErrorEjecucion(
            kErrorFichero,
            QStringLiteral("No se pudo abrir el fichero %1: %2").arg(ruta, fichero.errorString()),
            kOrigen);
    }
    datos_ = fichero.readAll();
    posicion_ = 0;
}

void Stream::saveToFile(const QString& ruta, qint32 opcion) {
    compruebaAbierto();
    if (!(opcion & kSobrescribir) && QFileInfo::exists(ruta)) {
        throw ErrorEjecucion(kErrorFichero, QStringLiteral("El fichero %1 ya existe.").arg(ruta),
                             kOrigen);
    }
    // Written beside the target and renamed over it, so a failure never leaves half a file.
    QSaveFile fichero(ruta);
    if (!fichero.open(QIODevice::WriteOnly) || fichero.write(datos_) != datos_.size() ||
        !fichero.commit()) {
        throw ErrorEjecucion(kErrorFichero,
                             QStringLiteral("No se pudo escribir el fichero %1: %2")
                                 .arg(ruta, fichero.errorString()),
                             kOrigen);
    }
}

qint64 Stream::size() const {
    compruebaAbierto();
    return datos_.size();
}

bool Stream::eos() const {
    compruebaAbierto();
    return posicion_ >= datos_.size();
}

qint64 Stream::position() const {
    compruebaAbierto();
    return posicion_;
}

void Stream::setPosition(qint64 posicion) {
    compruebaAbierto();
    if (posicion < 0 || posicion > datos_.size()) {
        throw ErrorEjecucion(kErrorOperacionNoPermitida,
                             QStringLiteral("Posición fuera del flujo: %1").arg(posicion), kOrigen);
    }
    posicion_ = posicion;
}

void Stream::setEOS() {
    compruebaAbierto();
    datos_.truncate(posicion_);
}

}  // namespace platform
