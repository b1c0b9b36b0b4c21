#pragma once

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QtTest>

// Local files for the repository tests: contents that no compression or pattern shortens,
// written and read back whole.
namespace prueba {

// n bytes drawn from a generator seeded by n and semilla: the same call gives the same bytes.
inline QByteArray aleatorios(qsizetype n, quint32 semilla = 1) {
    QByteArray datos(n, Qt::Uninitialized);
    QRandomGenerator generador(quint32(n) + semilla);
    for (char& c : datos) {
        c = char(generador.bounded(256));
    }
    return datos;
}

// Writes datos as the whole file ruta; fails the test when it cannot.
inline void escribe(const QString& ruta, const QByteArray& datos) {
    QFile f(ruta);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(ruta));
    QCOMPARE(f.write(datos), datos.size());
}

// The whole file ruta, or "<no existe>" when it cannot be read.
inline QByteArray lee(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no existe>");
}

}  // namespace prueba
