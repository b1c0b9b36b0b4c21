#include "platform/EnlaceTardio.h"

#include <QMetaMethod>
#include <QObject>
#include <array>

#include "platform/ErrorEjecucion.h"

using namespace Qt::Literals::StringLiterals;

namespace platform {

namespace {

constexpr int kArgumentosMaximos = 10;

void compruebaObjeto(const QObject* objeto, const char* nombre) {
    if (objeto == nullptr) {
        throw ErrorEjecucion(
            kErrorSinObjeto,
            u"Variable de objeto no establecida al usar "_s + QString::fromLatin1(nombre),
            u"EnlaceTardio"_s);
    }
}

ErrorEjecucion sinMiembro(const QObject* objeto, const char* nombre) {
    return ErrorEjecucion(kErrorSinMiembro,
                          u"El objeto "_s + QString::fromLatin1(objeto->metaObject()->className()) +
                              u" no admite esta propiedad o método: "_s +
                              QString::fromLatin1(nombre),
                          u"EnlaceTardio"_s);
}

ErrorEjecucion tiposDistintos(const char* nombre) {
    return ErrorEjecucion(kErrorTipos,
                          u"No coinciden los tipos en "_s + QString::fromLatin1(nombre),
                          u"EnlaceTardio"_s);
}

bool esDinamica(const QObject* objeto, const char* nombre) {
    return objeto->dynamicPropertyNames().contains(QByteArray(nombre));
}

// valor as a value of tipo; a null or empty value gives tipo's empty value.
QVariant comoTipo(const QVariant& valor, QMetaType tipo, const char* nombre) {
    if (tipo == QMetaType::fromType<QVariant>()) {
        return valor;
    }
    if (!valor.isValid() || valor.isNull()) {
        return QVariant(tipo);
    }
    QVariant convertido = valor;
    if (!convertido.convert(tipo)) {
        throw tiposDistintos(nombre);
    }
    return convertido;
}

QMetaMethod metodo(const QObject* objeto, const char* nombre, qsizetype nArgumentos) {
    const QMetaObject* meta = objeto->metaObject();
    // From the last declared, so a subclass's own method wins over an inherited one.
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod m = meta->method(i);
        if (m.name() == nombre && m.parameterCount() == nArgumentos &&
            m.methodType() != QMetaMethod::Signal) {
            return m;
        }
    }
    throw sinMiembro(objeto, nombre);
}

}  // namespace

QVariant leePropiedad(const QObject* objeto, const char* nombre) {
    compruebaObjeto(objeto, nombre);
    if (objeto->metaObject()->indexOfProperty(nombre) < 0 && !esDinamica(objeto, nombre)) {
        throw sinMiembro(objeto, nombre);
    }
    return objeto->property(nombre);
}

void ponPropiedad(QObject* objeto, const char* nombre, const QVariant& valor) {
    compruebaObjeto(objeto, nombre);
    const int indice = objeto->metaObject()->indexOfProperty(nombre);
    if (indice < 0) {
        if (!esDinamica(objeto, nombre)) {
            throw sinMiembro(objeto, nombre);
        }
        objeto->setProperty(nombre, valor);
        return;
    }
    const QMetaProperty propiedad = objeto->metaObject()->property(indice);
    if (!propiedad.isWritable()) {
        throw sinMiembro(objeto, nombre);
    }
    if (!propiedad.write(objeto, comoTipo(valor, propiedad.metaType(), nombre))) {
        throw tiposDistintos(nombre);
    }
}

QVariant invoca(QObject* objeto, const char* nombre, const QVariantList& argumentos) {
    compruebaObjeto(objeto, nombre);
    if (argumentos.size() > kArgumentosMaximos) {
        throw sinMiembro(objeto, nombre);
    }
    const QMetaMethod m = metodo(objeto, nombre, argumentos.size());
    QVariantList valores;
    QList<QByteArray> nombresTipo;
    for (int i = 0; i < argumentos.size(); ++i) {
        valores.append(comoTipo(argumentos.at(i), m.parameterMetaType(i), nombre));
        nombresTipo.append(m.parameterTypeName(i));
    }
    std::array<QGenericArgument, kArgumentosMaximos> args{};
    for (int i = 0; i < argumentos.size(); ++i) {
        // A QVariant parameter takes the variant itself, any other type the value it holds.
        const void* dato = m.parameterMetaType(i) == QMetaType::fromType<QVariant>()
                               ? static_cast<const void*>(&valores.at(i))
                               : valores.at(i).constData();
        args.at(i) = QGenericArgument(nombresTipo.at(i).constData(), dato);
    }
    QVariant resultado;
    QGenericReturnArgument retorno;
    const QMetaType tipoRetorno = m.returnMetaType();
    if (tipoRetorno == QMetaType::fromType<QVariant>()) {
        retorno = QGenericReturnArgument(m.typeName(), &resultado);
    } else if (tipoRetorno.isValid() && tipoRetorno.id() != QMetaType::Void) {
        resultado = QVariant(tipoRetorno);
        retorno = QGenericReturnArgument(m.typeName(), resultado.data());
    }
    if (!m.invoke(objeto, Qt::DirectConnection, retorno, args[0], args[1], args[2], args[3],
                  args[4], args[5], args[6], args[7], args[8], args[9])) {
        throw sinMiembro(objeto, nombre);
    }
    return resultado;
}

}  // namespace platform
