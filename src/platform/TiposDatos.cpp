#include "platform/TiposDatos.h"

#include <QDateTime>
#include <limits>

namespace platform {

QMetaType metaTipoAdo(qint32 tipo) {
    switch (tipo) {
        case tipoAdo::kSmallInt:
            return QMetaType(QMetaType::Short);
        case tipoAdo::kInteger:
            return QMetaType(QMetaType::Int);
        case tipoAdo::kTinyInt:
        case tipoAdo::kUnsignedTinyInt:
            return QMetaType(QMetaType::UChar);
        case tipoAdo::kBigInt:
            return QMetaType(QMetaType::LongLong);
        case tipoAdo::kSingle:
            return QMetaType(QMetaType::Float);
        case tipoAdo::kDouble:
        case tipoAdo::kCurrency:
        case tipoAdo::kNumeric:
            return QMetaType(QMetaType::Double);
        case tipoAdo::kDate:
        case tipoAdo::kDbTimeStamp:
            return QMetaType(QMetaType::QDateTime);
        case tipoAdo::kDbDate:
            return QMetaType(QMetaType::QDate);
        case tipoAdo::kDbTime:
            return QMetaType(QMetaType::QTime);
        case tipoAdo::kBoolean:
            return QMetaType(QMetaType::Bool);
        case tipoAdo::kBinary:
        case tipoAdo::kVarBinary:
        case tipoAdo::kLongVarBinary:
            return QMetaType(QMetaType::QByteArray);
        default:
            return QMetaType(QMetaType::QString);
    }
}

QVariant nuloAdo(qint32 tipo) {
    return QVariant(metaTipoAdo(tipo));
}

bool esTipoLargo(qint32 tipo) {
    return tipo == tipoAdo::kLongVarChar || tipo == tipoAdo::kLongVarWChar ||
           tipo == tipoAdo::kLongVarBinary;
}

namespace {

QDateTime leeFechaHora(const QString& texto) {
    for (const QString& formato :
         {QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-MM-dd HH:mm:ss.z"),
          QStringLiteral("yyyy-MM-ddTHH:mm:ss"), QStringLiteral("yyyy-MM-dd"),
          QStringLiteral("yyyy-MM-dd HH:mm")}) {
        QDateTime fecha = QDateTime::fromString(texto, formato);
        if (fecha.isValid()) {
            return fecha;
        }
    }
    return {};
}

}  // namespace

QVariant convierteAdo(const QVariant& valor, qint32 tipo) {
    if (valor.isNull() || !valor.isValid()) {
        return nuloAdo(tipo);
    }
    const QMetaType destino = metaTipoAdo(tipo);
    if (valor.metaType() == destino) {
        return valor;
    }
    if (destino.id() == QMetaType::QDateTime || destino.id() == QMetaType::QDate) {
        const QDateTime fecha = valor.typeId() == QMetaType::QString
                                    ? leeFechaHora(valor.toString().trimmed())
                                    : valor.toDateTime();
        if (!fecha.isValid()) {
            return valor;
        }
        return destino.id() == QMetaType::QDate ? QVariant(fecha.date()) : QVariant(fecha);
    }
    if (destino.id() == QMetaType::Int && valor.canConvert<qlonglong>()) {
        bool ok = false;
        const qlonglong n = valor.toLongLong(&ok);
        if (ok &&
            (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())) {
            return QVariant(n);
        }
    }
    QVariant convertido = valor;
    if (!convertido.convert(destino)) {
        return valor;
    }
    return convertido;
}

}  // namespace platform
