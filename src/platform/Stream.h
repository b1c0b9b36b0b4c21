#pragma once

#include <QByteArray>
#include <QString>

#include "platform/CodigosError.h"

namespace platform {

// A binary stream in memory, after the data-access Stream: written, read and saved whole.
class Stream {
public:
    // saveToFile options.
    static constexpr qint32 kCrearSiNoExiste = 1;
    static constexpr qint32 kSobrescribir = 2;
    // Error numbers.
    static constexpr qint32 kErrorCerrado = kErrorObjetoCerrado;
    static constexpr qint32 kErrorFichero = platform::kErrorFichero;

    // Opens it empty at position 0 (an open stream is emptied).
    void open();
    // Drops the contents; safe when closed.
    void close();
    // True between open() and close().
    bool isOpen() const { return abierto_; }
    // Writes `datos` at the current position (overwriting, then growing) and moves past them.
    void write(const QByteArray& datos);
    // Reads up to `n` bytes from the position (all the rest when n < 0) and moves past them.
    QByteArray read(qint64 n = -1);
    // Replaces the contents with the file's bytes, position 0. Throws kErrorFichero.
    void loadFromFile(const QString& ruta);
    // Writes the whole contents to `ruta`: kCrearSiNoExiste fails if it exists, kSobrescribir
    // replaces it. The old file stays whole when writing fails. Throws kErrorFichero.
    void saveToFile(const QString& ruta, qint32 opcion = kCrearSiNoExiste);
    // Bytes held.
    qint64 size() const;
    // The position is at the end.
    bool eos() const;
    qint64 position() const;
    // Moves to `posicion` (0..size()).
    void setPosition(qint64 posicion);
    // Cuts the contents at the current position.
    void setEOS();

private:
    void compruebaAbierto() const;

    bool abierto_ = false;
    QByteArray datos_;
    qint64 posicion_ = 0;
};

}  // namespace platform
