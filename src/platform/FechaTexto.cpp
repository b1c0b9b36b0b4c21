#include "platform/FechaTexto.h"

#include <QStringList>

namespace platform {

namespace {

QDate conSiglo(const QDate& fecha) {
    const int anyo = fecha.year() % 100;
    return QDate(anyo < 30 ? 2000 + anyo : 1900 + anyo, fecha.month(), fecha.day());
}

std::optional<QDate> leeDia(const QString& texto) {
    for (const char* patron : {"d/M/yyyy", "yyyy-M-d", "yyyy/M/d", "d-M-yyyy"}) {
        const QDate fecha = QDate::fromString(texto, QLatin1String(patron));
        if (fecha.isValid()) {
            return fecha;
        }
    }
    for (const char* patron : {"d/M/yy", "d-M-yy"}) {
        const QDate fecha = QDate::fromString(texto, QLatin1String(patron));
        if (fecha.isValid()) {
            return conSiglo(fecha);
        }
    }
    return std::nullopt;
}

std::optional<QTime> leeHora(const QString& texto) {
    for (const char* patron : {"H:m:s", "H:m", "H:m:s.z"}) {
        const QTime hora = QTime::fromString(texto, QLatin1String(patron));
        if (hora.isValid()) {
            return hora;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<QDateTime> leeFecha(const QVariant& valor) {
    const int tipo = valor.metaType().id();
    if (tipo == QMetaType::QDateTime) {
        return valor.toDateTime();
    }
    if (tipo == QMetaType::QDate) {
        return valor.toDate().startOfDay();
    }
    if (tipo != QMetaType::QString) {
        return std::nullopt;
    }
    QString texto = valor.toString().trimmed();
    texto.replace(u'T', u' ');
    const QStringList partes = texto.split(u' ', Qt::SkipEmptyParts);
    if (partes.isEmpty() || partes.size() > 2) {
        return std::nullopt;
    }
    const std::optional<QDate> dia = leeDia(partes.at(0));
    if (!dia) {
        return std::nullopt;
    }
    if (partes.size() == 1) {
        return dia->startOfDay();
    }
    const std::optional<QTime> hora = leeHora(partes.at(1));
    if (!hora) {
        return std::nullopt;
    }
    return QDateTime(*dia, *hora);
}

}  // namespace platform
