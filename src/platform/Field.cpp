#include "platform/Field.h"

#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"

namespace platform {

namespace {

ErrorEjecucion errorCampo(const QString& cual) {
    return ErrorEjecucion(
        Recordset::kErrorCampo,
        QStringLiteral("No se encontró el elemento %1 en la colección de campos.").arg(cual),
        QStringLiteral("Fields"));
}

}  // namespace

QString Field::name() const {
    return rs_->columnas_[indice_].name;
}

QVariant Field::value() const {
    return rs_->valorCampo(indice_);
}

void Field::setValue(const QVariant& valor) {
    rs_->cambiaCampo(indice_, valor);
}

qint32 Field::type() const {
    return rs_->columnas_[indice_].type;
}

qint32 Field::definedSize() const {
    return rs_->columnas_[indice_].definedSize;
}

qint32 Field::actualSize() const {
    const QVariant v = value();
    if (v.isNull()) {
        return -1;
    }
    if (v.typeId() == QMetaType::QByteArray) {
        return static_cast<qint32>(v.toByteArray().size());
    }
    if (v.typeId() == QMetaType::QString) {
        return static_cast<qint32>(v.toString().size());
    }
    return definedSize();
}

quint8 Field::precision() const {
    return rs_->columnas_[indice_].precision;
}

quint8 Field::numericScale() const {
    return rs_->columnas_[indice_].numericScale;
}

qint32 Field::attributes() const {
    return rs_->columnas_[indice_].attributes;
}

void Fields::reinicia(Recordset* rs, int n) {
    campos_.clear();
    campos_.reserve(n);
    for (int i = 0; i < n; ++i) {
        campos_.push_back(Field(rs, i));
    }
}

Field& Fields::item(int indice) {
    if (indice < 0 || indice >= count()) {
        throw errorCampo(QString::number(indice));
    }
    return campos_[indice];
}

Field& Fields::item(const QString& nombre) {
    const int indice = indexOf(nombre);
    if (indice < 0) {
        throw errorCampo(nombre);
    }
    return campos_[indice];
}

int Fields::indexOf(const QString& nombre) const {
    for (int i = 0; i < count(); ++i) {
        if (campos_[i].name().compare(nombre, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

}  // namespace platform
