#include "repository/Confianza.h"

#include <QFile>
#include <QMap>
#include <QSaveFile>

namespace {

const Confianza* actual = nullptr;

// The state file: one "counter<TAB>path" line per repository path; a line that does not read
// as one is ignored, as a counter of 0 would be.
QMap<QString, qint64> leeEstado(const QString& ruta) {
    QMap<QString, qint64> ediciones;
    QFile fichero(ruta);
    if (ruta.isEmpty() || !fichero.open(QIODevice::ReadOnly)) {
        return ediciones;
    }
    while (!fichero.atEnd()) {
        const QString linea = QString::fromUtf8(fichero.readLine()).trimmed();
        const qsizetype tab = linea.indexOf(u'\t');
        bool esNumero = false;
        const qint64 edicion = linea.left(tab).toLongLong(&esNumero);
        if (tab > 0 && esNumero) {
            ediciones.insert(linea.mid(tab + 1), edicion);
        }
    }
    return ediciones;
}

}  // namespace

Confianza::Confianza(QStringList claves, bool obligatoria, QString rutaEstado)
    : claves_(std::move(claves)), obligatoria_(obligatoria), rutaEstado_(std::move(rutaEstado)) {
    for (QString& clave : claves_) {
        clave = clave.trimmed().toLower();
    }
}

bool Confianza::confia(const QString& clave) const {
    return claves_.contains(clave.trimmed().toLower());
}

qint64 Confianza::edicionInstalada(const QString& ruta) const {
    return leeEstado(rutaEstado_).value(ruta, 0);
}

bool Confianza::anotaEdicion(const QString& ruta, qint64 edicion) const {
    QMap<QString, qint64> ediciones = leeEstado(rutaEstado_);
    ediciones.insert(ruta, edicion);
    // Replaced whole, so that a failure halfway never loses the counters of other paths.
    QSaveFile fichero(rutaEstado_);
    if (!fichero.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (auto it = ediciones.cbegin(); it != ediciones.cend(); ++it) {
        fichero.write(QString::number(it.value()).toUtf8() + '\t' + it.key().toUtf8() + '\n');
    }
    return fichero.commit();
}

const Confianza* Confianza::instalada() {
    return actual;
}

void Confianza::instala(const Confianza* confianza) {
    actual = confianza;
}
