#include "platform/Numero.h"

#include <array>
#include <charconv>
#include <cmath>

namespace platform {

double redondeaPar(double x) {
    if (!std::isfinite(x)) {
        return x;
    }
    const double abajo = std::floor(x);
    const double resto = x - abajo;
    if (resto < 0.5) {
        return abajo;
    }
    if (resto > 0.5) {
        return abajo + 1.0;
    }
    return std::fmod(abajo, 2.0) == 0.0 ? abajo : abajo + 1.0;
}

namespace {

bool esBlanco(QChar c) {
    return c == u' ' || c == u'\t';
}

// The number without its surrounding blanks when it has the accepted shape, else empty.
QString nucleoNumerico(const QString& texto) {
    qsizetype inicio = 0;
    qsizetype fin = texto.size();
    while (inicio < fin && esBlanco(texto.at(inicio))) {
        ++inicio;
    }
    while (fin > inicio && esBlanco(texto.at(fin - 1))) {
        --fin;
    }
    qsizetype i = inicio;
    if (i < fin && (texto.at(i) == u'+' || texto.at(i) == u'-')) {
        ++i;
    }
    int cifras = 0;
    bool punto = false;
    for (; i < fin; ++i) {
        const QChar c = texto.at(i);
        if (c >= u'0' && c <= u'9') {
            ++cifras;
        } else if (c == u'.' && !punto) {
            punto = true;
        } else {
            return QString();
        }
    }
    return cifras > 0 ? texto.mid(inicio, fin - inicio) : QString();
}

}  // namespace

bool esNumerico(const QString& texto) {
    return !nucleoNumerico(texto).isEmpty();
}

std::optional<double> valorNumerico(const QString& texto) {
    const QString nucleo = nucleoNumerico(texto);
    if (nucleo.isEmpty()) {
        return std::nullopt;
    }
    const QByteArray ascii = nucleo.toLatin1();
    const char* inicio = ascii.constData();
    // from_chars takes no leading "+".
    if (*inicio == '+') {
        ++inicio;
    }
    double valor = 0.0;
    const auto [fin, error] = std::from_chars(inicio, ascii.constData() + ascii.size(), valor);
    if (error != std::errc() || fin != ascii.constData() + ascii.size()) {
        return std::nullopt;
    }
    return valor;
}

std::optional<qint64> enteroNumerico(const QString& texto, qint64 minimo, qint64 maximo) {
    const std::optional<double> valor = valorNumerico(texto);
    if (!valor) {
        return std::nullopt;
    }
    const double entero = redondeaPar(*valor);
    if (entero < static_cast<double>(minimo) || entero > static_cast<double>(maximo)) {
        return std::nullopt;
    }
    return static_cast<qint64>(entero);
}

QString textoDecimal(double x) {
    if (std::isnan(x)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(x)) {
        return x > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    }
    if (x == 0.0) {
        return QStringLiteral("0");
    }
    const double magnitud = std::fabs(x);
    const auto forma = magnitud >= 1e-6 && magnitud < 1e15 ? std::chars_format::fixed
                                                           : std::chars_format::scientific;
    std::array<char, 64> buffer{};
    const auto resultado = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x, forma);
    return QString::fromLatin1(buffer.data(), resultado.ptr - buffer.data());
}

}  // namespace platform
