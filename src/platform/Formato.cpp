#include "platform/Formato.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Numero.h"

namespace platform {

namespace {

// What a number pattern asks for.
struct PatronNumero {
    int cerosEnteros = 0;      // integer digits always shown
    bool punto = false;        // the pattern has a decimal point
    int decimales = 0;         // decimal places at most
    int decimalesMinimos = 0;  // decimal places always shown
};

[[noreturn]] void patronInvalido(const QString& patron) {
    throw ErrorEjecucion(kErrorArgumento, QStringLiteral("Formato numérico no válido: ") + patron,
                         QStringLiteral("formatoNumero"));
}

PatronNumero analizaPatron(const QString& patron) {
    PatronNumero p;
    for (const QChar c : patron) {
        if (c == u'.') {
            if (p.punto) {
                patronInvalido(patron);
            }
            p.punto = true;
        } else if (c == u'0' || c == u'#') {
            if (!p.punto) {
                p.cerosEnteros += c == u'0' ? 1 : 0;
                continue;
            }
            ++p.decimales;
            if (c == u'0') {
                p.decimalesMinimos = p.decimales;
            }
        } else {
            patronInvalido(patron);
        }
    }
    return p;
}

// The digits of magnitud (>= 0) with the decimal point after `enteros` of them, rounded half away
// from zero to `decimales` places, from its 15 significant digits.
QString cifrasRedondeadas(double magnitud, int decimales, int& enteros) {
    std::array<char, 64> buffer{};
    const auto fin = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitud,
                                   std::chars_format::scientific, 14)
                         .ptr;
    const QString texto = QString::fromLatin1(buffer.data(), fin - buffer.data());
    const qsizetype e = texto.indexOf(u'e');
    QString cifras = texto.left(e).remove(u'.');
    enteros = texto.mid(e + 1).toInt() + 1;
    if (enteros < 0) {
        cifras.prepend(QString(-enteros, u'0'));
        enteros = 0;
    }
    const int guardar = enteros + decimales;
    if (cifras.size() < guardar) {
        cifras.append(QString(guardar - cifras.size(), u'0'));
    }
    const bool subir = cifras.size() > guardar && cifras.at(guardar) >= u'5';
    cifras.truncate(guardar);
    if (!subir) {
        return cifras;
    }
    qsizetype i = cifras.size() - 1;
    for (; i >= 0 && cifras.at(i) == u'9'; --i) {
        cifras[i] = u'0';
    }
    if (i >= 0) {
        cifras[i] = QChar(cifras.at(i).unicode() + 1);
    } else {
        cifras.prepend(u'1');
        ++enteros;
    }
    return cifras;
}

}  // namespace

QString formatoNumero(double valor, const QString& patron, QChar separador) {
    const PatronNumero p = analizaPatron(patron);
    if (!std::isfinite(valor)) {
        return textoDecimal(valor);
    }
    int enteros = 0;
    const QString cifras = cifrasRedondeadas(std::fabs(valor), p.decimales, enteros);
    QString parteEntera = cifras.left(enteros);
    while (!parteEntera.isEmpty() && parteEntera.front() == u'0') {
        parteEntera.remove(0, 1);
    }
    if (parteEntera.size() < p.cerosEnteros) {
        parteEntera.prepend(QString(p.cerosEnteros - parteEntera.size(), u'0'));
    }
    QString parteDecimal = cifras.mid(enteros);
    while (parteDecimal.size() > p.decimalesMinimos && parteDecimal.back() == u'0') {
        parteDecimal.chop(1);
    }
    QString resultado = parteEntera;
    if (p.punto) {
        resultado += separador + parteDecimal;
    }
    const bool algunaCifra =
        std::any_of(cifras.begin(), cifras.end(), [](QChar c) { return c != u'0'; });
    return valor < 0 && algunaCifra ? u'-' + resultado : resultado;
}

namespace {

// The number n written with at least `ancho` digits.
QString cifras(int n, int ancho) {
    return QStringLiteral("%1").arg(n, ancho, 10, QChar(u'0'));
}

// Length of the run of the same letter starting at i.
qsizetype largoRacha(const QString& patron, qsizetype i) {
    qsizetype j = i;
    while (j < patron.size() && patron.at(j).toLower() == patron.at(i).toLower()) {
        ++j;
    }
    return j - i;
}

}  // namespace

QString formatoFecha(const QDateTime& valor, const QString& patron) {
    if (!valor.isValid()) {
        return QString();
    }
    const QDate d = valor.date();
    const QTime t = valor.time();
    QString resultado;
    qsizetype i = 0;
    while (i < patron.size()) {
        const QChar letra = patron.at(i).toLower();
        const qsizetype racha = largoRacha(patron, i);
        qsizetype usado = qMin<qsizetype>(racha, 2);
        if (letra == u'y' && racha >= 4) {
            resultado += cifras(d.year(), 4);
            usado = 4;
        } else if (letra == u'y' && racha >= 2) {
            resultado += cifras(std::abs(d.year()) % 100, 2);
        } else if (letra == u'd') {
            resultado += cifras(d.day(), static_cast<int>(usado));
        } else if (letra == u'm') {
            resultado += cifras(d.month(), static_cast<int>(usado));
        } else if (letra == u'h') {
            resultado += cifras(t.hour(), static_cast<int>(usado));
        } else if (letra == u'n') {
            resultado += cifras(t.minute(), static_cast<int>(usado));
        } else if (letra == u's') {
            resultado += cifras(t.second(), static_cast<int>(usado));
        } else {
            resultado += patron.at(i);
            usado = 1;
        }
        i += usado;
    }
    return resultado;
}

QString formatoFecha(const QDate& valor, const QString& patron) {
    return formatoFecha(QDateTime(valor, QTime(0, 0)), patron);
}

}  // namespace platform
