#include "platform/FiltroRegistros.h"

#include <QDateTime>
#include <QRegularExpression>

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"

namespace platform {

namespace {

enum class Token { Nombre, Texto, Numero, Fecha, Operador, Abre, Cierra, Fin };

struct Pieza {
    Token tipo;
    QString texto;
};

ErrorEjecucion errorFiltro(const QString& criterio) {
    return ErrorEjecucion(kErrorArgumentosNoValidos,
                          QStringLiteral("Filtro no válido: %1").arg(criterio),
                          QStringLiteral("Recordset"));
}

// A piece read from the criterion and the position right after it.
struct Leida {
    Pieza pieza;
    int siguiente;
};

// A quoted text; the quote doubled inside it stands for one quote.
Leida leeTexto(const QString& c, int i) {
    const QChar comilla = c[i];
    QString texto;
    for (++i; i < c.size(); ++i) {
        if (c[i] != comilla) {
            texto += c[i];
        } else if (i + 1 < c.size() && c[i + 1] == comilla) {
            texto += comilla;
            ++i;
        } else {
            return {{Token::Texto, texto}, i + 1};
        }
    }
    throw errorFiltro(c);
}

// #date# or [name]: everything up to the closing mark, quotes and blanks included.
Leida leeDelimitada(const QString& c, int i) {
    const bool esFecha = c[i] == u'#';
    const int fin = c.indexOf(esFecha ? u'#' : u']', i + 1);
    if (fin < 0) {
        throw errorFiltro(c);
    }
    return {{esFecha ? Token::Fecha : Token::Nombre, c.mid(i + 1, fin - i - 1)}, fin + 1};
}

Leida leeOperador(const QString& c, int i) {
    QString op(c[i]);
    if (i + 1 < c.size() && (c[i + 1] == u'=' || (c[i] == u'<' && c[i + 1] == u'>'))) {
        op += c[i + 1];
    }
    return {{Token::Operador, op}, i + int(op.size())};
}

// Only a number's first character may be a sign: "1-2" is two numbers.
bool sigueNumero(QChar ch) {
    return ch.isDigit() || ch == u'.' || ch == u'e' || ch == u'E';
}

bool sigueNombre(QChar ch) {
    return ch.isLetterOrNumber() || ch == u'_';
}

// The piece that starts at i and goes on while its characters pass `sigue`.
Leida leeSeguidos(const QString& c, int i, Token tipo, bool (*sigue)(QChar)) {
    int j = i + 1;
    while (j < c.size() && sigue(c[j])) {
        ++j;
    }
    return {{tipo, c.mid(i, j - i)}, j};
}

// The piece that starts at i, a non-blank character.
Leida leePieza(const QString& c, int i) {
    const QChar ch = c[i];
    if (ch == u'(' || ch == u')') {
        return {{ch == u'(' ? Token::Abre : Token::Cierra, QString(ch)}, i + 1};
    }
    if (ch == u'\'' || ch == u'"') {
        return leeTexto(c, i);
    }
    if (ch == u'#' || ch == u'[') {
        return leeDelimitada(c, i);
    }
    if (ch == u'<' || ch == u'>' || ch == u'=') {
        return leeOperador(c, i);
    }
    if (ch.isDigit() || ch == u'-' || ch == u'.') {
        return leeSeguidos(c, i, Token::Numero, sigueNumero);
    }
    if (ch.isLetter() || ch == u'_') {
        return leeSeguidos(c, i, Token::Nombre, sigueNombre);
    }
    throw errorFiltro(c);
}

QVector<Pieza> trocea(const QString& c) {
    QVector<Pieza> piezas;
    int i = 0;
    while (i < c.size()) {
        if (c[i].isSpace()) {
            ++i;
            continue;
        }
        const Leida leida = leePieza(c, i);
        piezas.append(leida.pieza);
        i = leida.siguiente;
    }
    piezas.append({Token::Fin, {}});
    return piezas;
}

QDateTime leeFecha(const QString& texto) {
    for (const QString& formato :
         {QStringLiteral("M/d/yyyy H:m:s"), QStringLiteral("M/d/yy H:m:s"),
          QStringLiteral("M/d/yyyy"), QStringLiteral("M/d/yy"),
          QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-MM-dd")}) {
        QDateTime fecha = QDateTime::fromString(texto.trimmed(), formato);
        if (fecha.isValid()) {
            if (fecha.date().year() < 1930) {
                fecha = fecha.addYears(100);
            }
            return fecha;
        }
    }
    return {};
}

bool esNumerico(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::SChar:
        case QMetaType::Bool:
            return true;
        default:
            return false;
    }
}

// -1, 0 or 1; texts ignore case, numbers and dates compare by value.
int compara(const QVariant& a, const QVariant& b) {
    if (esNumerico(a) || esNumerico(b)) {
        bool okA = false;
        bool okB = false;
        const double x = a.toDouble(&okA);
        const double y = b.toDouble(&okB);
        if (okA && okB) {
            return x < y ? -1 : (x > y ? 1 : 0);
        }
    }
    if (a.typeId() == QMetaType::QDateTime || b.typeId() == QMetaType::QDateTime ||
        a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate) {
        const QDateTime x = a.toDateTime();
        const QDateTime y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const int r = QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool coincideLike(const QString& valor, const QString& patron) {
    QString expresion;
    for (const QChar ch : patron) {
        if (ch == u'*' || ch == u'%') {
            expresion += QStringLiteral(".*");
        } else if (ch == u'_' || ch == u'?') {
            expresion += u'.';
        } else {
            expresion += QRegularExpression::escape(QString(ch));
        }
    }
    const QRegularExpression re(
        QRegularExpression::anchoredPattern(expresion),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return re.match(valor).hasMatch();
}

}  // namespace

struct FiltroRegistros::Nodo {
    enum class Tipo { Y, O, Comparacion };
    Tipo tipo = Tipo::Comparacion;
    std::unique_ptr<Nodo> izquierda;
    std::unique_ptr<Nodo> derecha;
    int columna = -1;
    QString operador;  // = <> < > <= >= LIKE NOTLIKE ISNULL NOTNULL
    QVariant valor;

    bool cumple(const QVector<QVariant>& fila) const {
        if (tipo == Tipo::Y) {
            return izquierda->cumple(fila) && derecha->cumple(fila);
        }
        if (tipo == Tipo::O) {
            return izquierda->cumple(fila) || derecha->cumple(fila);
        }
        const QVariant& v = fila.value(columna);
        const bool nulo = v.isNull() || !v.isValid();
        if (operador == u"ISNULL") {
            return nulo;
        }
        if (operador == u"NOTNULL") {
            return !nulo;
        }
        if (nulo) {
            return false;
        }
        if (operador == u"LIKE" || operador == u"NOTLIKE") {
            return coincideLike(v.toString(), valor.toString()) == (operador == u"LIKE");
        }
        const int r = compara(v, valor);
        if (operador == u"=")
            return r == 0;
        if (operador == u"<>")
            return r != 0;
        if (operador == u"<")
            return r < 0;
        if (operador == u">")
            return r > 0;
        if (operador == u"<=")
            return r <= 0;
        return r >= 0;
    }
};

namespace {

class Analizador {
public:
    Analizador(const QString& criterio, const QVector<ColumnInfo>& columnas)
        : criterio_(criterio), piezas_(trocea(criterio)), columnas_(columnas) {}

    std::unique_ptr<FiltroRegistros::Nodo> analiza() {
        auto nodo = expresion();
        if (actual().tipo != Token::Fin) {
            throw errorFiltro(criterio_);
        }
        return nodo;
    }

private:
    using NodoPtr = std::unique_ptr<FiltroRegistros::Nodo>;

    const Pieza& actual() const { return piezas_[pos_]; }
    bool esPalabra(const QString& palabra) const {
        return actual().tipo == Token::Nombre &&
               actual().texto.compare(palabra, Qt::CaseInsensitive) == 0;
    }
    Pieza toma() { return piezas_[pos_ < piezas_.size() - 1 ? pos_++ : pos_]; }

    NodoPtr une(FiltroRegistros::Nodo::Tipo tipo, NodoPtr a, NodoPtr b) {
        auto nodo = std::make_unique<FiltroRegistros::Nodo>();
        nodo->tipo = tipo;
        nodo->izquierda = std::move(a);
        nodo->derecha = std::move(b);
        return nodo;
    }

    NodoPtr expresion() {
        NodoPtr nodo = termino();
        while (esPalabra(QStringLiteral("OR"))) {
            toma();
            nodo = une(FiltroRegistros::Nodo::Tipo::O, std::move(nodo), termino());
        }
        return nodo;
    }

    NodoPtr termino() {
        NodoPtr nodo = factor();
        while (esPalabra(QStringLiteral("AND"))) {
            toma();
            nodo = une(FiltroRegistros::Nodo::Tipo::Y, std::move(nodo), factor());
        }
        return nodo;
    }

    NodoPtr factor() {
        if (actual().tipo == Token::Abre) {
            toma();
            NodoPtr nodo = expresion();
            if (toma().tipo != Token::Cierra) {
                throw errorFiltro(criterio_);
            }
            return nodo;
        }
        return comparacion();
    }

    int columna(const Pieza& p) const {
        if (p.tipo != Token::Nombre) {
            throw errorFiltro(criterio_);
        }
        for (int i = 0; i < columnas_.size(); ++i) {
            if (columnas_[i].name.compare(p.texto, Qt::CaseInsensitive) == 0) {
                return i;
            }
        }
        throw errorFiltro(criterio_);
    }

    NodoPtr comparacion() {
        auto nodo = std::make_unique<FiltroRegistros::Nodo>();
        nodo->columna = columna(toma());
        if (esPalabra(QStringLiteral("IS"))) {
            toma();
            const bool negado = esPalabra(QStringLiteral("NOT"));
            if (negado) {
                toma();
            }
            if (!esPalabra(QStringLiteral("NULL"))) {
                throw errorFiltro(criterio_);
            }
            toma();
            nodo->operador = negado ? QStringLiteral("NOTNULL") : QStringLiteral("ISNULL");
            return nodo;
        }
        nodo->operador = operador();
        const Pieza valor = toma();
        nodo->valor = valorDe(valor);
        if (!nodo->valor.isValid()) {
            // "= NULL" and "<> NULL" test for null, as data-access filters read them.
            if (nodo->operador != u"=" && nodo->operador != u"<>") {
                throw errorFiltro(criterio_);
            }
            nodo->operador =
                nodo->operador == u"=" ? QStringLiteral("ISNULL") : QStringLiteral("NOTNULL");
        }
        return nodo;
    }

    QString operador() {
        if (esPalabra(QStringLiteral("NOT"))) {
            toma();
            if (!esPalabra(QStringLiteral("LIKE"))) {
                throw errorFiltro(criterio_);
            }
            toma();
            return QStringLiteral("NOTLIKE");
        }
        if (esPalabra(QStringLiteral("LIKE"))) {
            toma();
            return QStringLiteral("LIKE");
        }
        const Pieza p = toma();
        if (p.tipo != Token::Operador) {
            throw errorFiltro(criterio_);
        }
        return p.texto;
    }

    QVariant valorDe(const Pieza& p) const {
        switch (p.tipo) {
            case Token::Texto:
                return p.texto;
            case Token::Numero: {
                bool ok = false;
                const double numero = p.texto.toDouble(&ok);
                if (!ok) {
                    throw errorFiltro(criterio_);
                }
                return numero;
            }
            case Token::Fecha: {
                const QDateTime fecha = leeFecha(p.texto);
                if (!fecha.isValid()) {
                    throw errorFiltro(criterio_);
                }
                return fecha;
            }
            case Token::Nombre:
                if (p.texto.compare(QStringLiteral("NULL"), Qt::CaseInsensitive) == 0) {
                    return QVariant();
                }
                if (p.texto.compare(QStringLiteral("TRUE"), Qt::CaseInsensitive) == 0) {
                    return true;
                }
                if (p.texto.compare(QStringLiteral("FALSE"), Qt::CaseInsensitive) == 0) {
                    return false;
                }
                [[fallthrough]];
            default:
                throw errorFiltro(criterio_);
        }
    }

    QString criterio_;
    QVector<Pieza> piezas_;
    const QVector<ColumnInfo>& columnas_;
    int pos_ = 0;
};

}  // namespace

FiltroRegistros::FiltroRegistros(const QString& criterio, const QVector<ColumnInfo>& columnas)
    : raiz_(Analizador(criterio, columnas).analiza()) {}

FiltroRegistros::~FiltroRegistros() = default;
FiltroRegistros::FiltroRegistros(FiltroRegistros&&) noexcept = default;

bool FiltroRegistros::cumple(const QVector<QVariant>& fila) const {
    return raiz_->cumple(fila);
}

}  // namespace platform
