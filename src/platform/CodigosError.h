#pragma once

#include <QtGlobal>

// The error numbers the toolkit raises and classifies, one definition each: callers and tests
// recognise a failure by its number, so the values never change.
namespace platform {

// Numbers of the run-time the callers were written against.
inline constexpr qint32 kErrorArgumento = 5;       // invalid procedure call or argument
inline constexpr qint32 kErrorDesbordamiento = 6;  // a value does not fit its type
inline constexpr qint32 kErrorSubindice = 9;       // an index outside the list
inline constexpr qint32 kErrorTipos = 13;          // a value cannot become the type asked for
inline constexpr qint32 kFicheroNoEncontrado = 53;
inline constexpr qint32 kPermisoDenegado = 70;  // callers tell the user the file is in use
inline constexpr qint32 kErrorAccesoFichero = 75;
inline constexpr qint32 kErrorSinObjeto = 91;  // a member reached through no object
inline constexpr qint32 kErrorUsoNull = 94;    // a null where a value is needed
inline constexpr qint32 kErrorSinMiembro = 438;

// Numbers of the data-access classes.
inline constexpr qint32 kErrorTablaExiste = 2003;
inline constexpr qint32 kErrorArgumentosNoValidos = 3001;
inline constexpr qint32 kErrorFichero = 3004;
inline constexpr qint32 kErrorSinResultados = 3005;
inline constexpr qint32 kErrorBofEof = 3021;
inline constexpr qint32 kErrorOperacionNoPermitida = 3219;
inline constexpr qint32 kErrorNoActualizable = 3251;
inline constexpr qint32 kErrorNoEncontrado = 3265;
inline constexpr qint32 kErrorObjetoCerrado = 3704;
inline constexpr qint32 kErrorObjetoAbierto = 3705;
inline constexpr qint32 kErrorProveedor = 3706;
inline constexpr qint32 kErrorEjecutando = 3711;
// Another session holds a lock the statement needs (not a time-out: nothing ran slowly).
inline constexpr qint32 kErrorBloqueado = 3730;
inline constexpr qint32 kErrorParametroDesconocido = 10008;
inline constexpr qint32 kErrorTablaSinNombre = 30020;
inline constexpr qint32 kErrorTamanoTexto = 30021;

// Numbers of engine failures, as the toolkit classifies them.
inline constexpr qint32 kErrorTiempoAgotado = -2147217871;
inline constexpr qint32 kErrorConexionRota = -2147467259;
// An engine error that is neither a time-out nor a lost connection.
inline constexpr qint32 kErrorMotorGenerico = -2147217900;
inline constexpr qint32 kErrorCancelado = -2147217842;
inline constexpr qint32 kErrorFilaNoEncontrada = -2147217864;

}  // namespace platform
