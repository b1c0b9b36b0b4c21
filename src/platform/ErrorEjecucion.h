#pragma once

#include <QString>
#include <exception>

#include "platform/CodigosError.h"

namespace platform {

// A run-time error with a number and a description, as the callers of the toolkit classify them.
class ErrorEjecucion : public std::exception {
public:
    // Numbers the code classifies database failures by.
    static constexpr qint32 kTiempoAgotado = kErrorTiempoAgotado;
    static constexpr qint32 kConexionRota = kErrorConexionRota;
    static constexpr qint32 kBloqueado = kErrorBloqueado;

    ErrorEjecucion(qint32 numero, QString descripcion, QString origen = QString(),
                   QString sqlState = QString(), qint32 codigoNativo = 0);

    // The error number (application numbers such as 10008, or the classified database numbers).
    qint32 numero() const { return numero_; }
    // The human-readable description, in the words of whoever raised it.
    const QString& descripcion() const { return descripcion_; }
    // Who raised it: a class or function name, or the engine.
    const QString& origen() const { return origen_; }
    // The engine's SQLSTATE, empty when the error did not come from an engine.
    const QString& sqlState() const { return sqlState_; }
    // The engine's native error code, 0 when there is none.
    qint32 codigoNativo() const { return codigoNativo_; }

    // The description in UTF-8, for std::exception users.
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    qint32 numero_;
    QString descripcion_;
    QString origen_;
    QString sqlState_;
    qint32 codigoNativo_;
    QByteArray utf8_;
};

}  // namespace platform
