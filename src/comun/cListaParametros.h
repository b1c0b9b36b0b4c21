#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// A small store of named values, looked up by name whatever its letter case and enumerable in
// the order the names were last set.
class cListaParametros {
public:
    // The value under parametro; when there is none, error 10008 naming it as written, or an
    // empty text when noHaceFaltaIniciar is set.
    QVariant valor(const QString& parametro) const;
    // Stores valor under parametro, replacing any earlier value and moving the name last.
    void setValor(const QString& parametro, const QVariant& valor);
    // How many parameters there are.
    qint32 nParametros() const;
    // The lower-case name at the 1-based position indice; error 9 outside 1 ... nParametros.
    QString parametro(qint32 indice) const;
    // Forgets every parameter.
    void limpiar();
    // Whether reading a missing parameter gives an empty text instead of error 10008.
    void setNoHaceFaltaIniciar(bool valor);

private:
    qsizetype posicion(const QString& clave) const;

    QList<QString> nombres_;
    QList<QVariant> valores_;
    bool noHaceFaltaIniciar_ = false;
};

// The program's one parameter list.
extern cListaParametros parametros;
