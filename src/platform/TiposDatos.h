#pragma once

#include <QMetaType>
#include <QVariant>

namespace platform {

// Data-access type codes the layer reports in Field::type().
namespace tipoAdo {
constexpr qint32 kSmallInt = 2;
constexpr qint32 kInteger = 3;
constexpr qint32 kSingle = 4;
constexpr qint32 kDouble = 5;
constexpr qint32 kCurrency = 6;
constexpr qint32 kDate = 7;
constexpr qint32 kBoolean = 11;
constexpr qint32 kTinyInt = 16;
constexpr qint32 kUnsignedTinyInt = 17;
constexpr qint32 kBigInt = 20;
constexpr qint32 kGuid = 72;
constexpr qint32 kBinary = 128;
constexpr qint32 kChar = 129;
constexpr qint32 kWChar = 130;
constexpr qint32 kNumeric = 131;
constexpr qint32 kDbDate = 133;
constexpr qint32 kDbTime = 134;
constexpr qint32 kDbTimeStamp = 135;
constexpr qint32 kVarChar = 200;
constexpr qint32 kLongVarChar = 201;
constexpr qint32 kVarWChar = 202;
constexpr qint32 kLongVarWChar = 203;
constexpr qint32 kVarBinary = 204;
constexpr qint32 kLongVarBinary = 205;
}  // namespace tipoAdo

// The Qt type a value of that data-access type is given.
QMetaType metaTipoAdo(qint32 tipo);
// SQL NULL for a column of that type: a null QVariant of its Qt type.
QVariant nuloAdo(qint32 tipo);
// The type holds long values read in pieces (long text, long binary).
bool esTipoLargo(qint32 tipo);
// `valor` converted to the Qt type of `tipo` when it converts cleanly; as it was otherwise.
QVariant convierteAdo(const QVariant& valor, qint32 tipo);

}  // namespace platform
