#include "comun/cListaParametros.h"

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"

cListaParametros parametros;

qsizetype cListaParametros::posicion(const QString& clave) const {
    return nombres_.indexOf(clave);
}

QVariant cListaParametros::valor(const QString& parametro) const {
    const qsizetype i = posicion(parametro.toLower());
    if (i >= 0) {
        return valores_.at(i);
    }
    if (noHaceFaltaIniciar_) {
        return QVariant(QString(QLatin1String("")));
    }
    throw platform::ErrorEjecucion(platform::kErrorParametroDesconocido,
                                   QStringLiteral("No se encontró el parámetro: ") + parametro,
                                   QStringLiteral("cListaParametros"));
}

void cListaParametros::setValor(const QString& parametro, const QVariant& valor) {
    const QString clave = parametro.toLower();
    const qsizetype i = posicion(clave);
    if (i >= 0) {
        nombres_.removeAt(i);
        valores_.removeAt(i);
    }
    nombres_.append(clave);
    valores_.append(valor);
}

qint32 cListaParametros::nParametros() const {
    return static_cast<qint32>(nombres_.size());
}

QString cListaParametros::parametro(qint32 indice) const {
    if (indice < 1 || indice > nParametros()) {
        throw platform::ErrorEjecucion(platform::kErrorSubindice,
                                       QStringLiteral("El subíndice está fuera del intervalo"),
                                       QStringLiteral("cListaParametros"));
    }
    return nombres_.at(indice - 1);
}

void cListaParametros::limpiar() {
    nombres_.clear();
    valores_.clear();
}

void cListaParametros::setNoHaceFaltaIniciar(bool valor) {
    noHaceFaltaIniciar_ = valor;
}
