#pragma once

#include <QString>
#include <QStringList>

// What a launcher built with trusted keys checks a download against: the public keys of the
// publishers it trusts (compiled into it, never read from its folder, which downloads write
// into), whether a database without signatures is refused, and the local file that keeps the
// release counter of the last file it accepted at each repository path, so that an older
// signed release is not taken back.
class Confianza {
public:
    // claves: public keys as hexadecimal text; rutaEstado: the local state file.
    Confianza(QStringList claves, bool obligatoria, QString rutaEstado);

    // clave is one of the trusted keys.
    bool confia(const QString& clave) const;
    // A database without the signature table is refused.
    bool obligatoria() const { return obligatoria_; }
    // The release counter last accepted for the repository path ruta; 0 when none.
    qint64 edicionInstalada(const QString& ruta) const;
    // Keeps edicion as the one accepted for ruta, replacing the state file whole; false when it
    // cannot be written.
    bool anotaEdicion(const QString& ruta, qint64 edicion) const;

    // The trust of this program, installed by its main(); nullptr when it trusts no key.
    static const Confianza* instalada();
    // Makes confianza (borrowed; nullptr for none) the one instalada() answers.
    static void instala(const Confianza* confianza);

private:
    QStringList claves_;
    bool obligatoria_;
    QString rutaEstado_;
};
