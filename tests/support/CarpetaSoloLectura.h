#pragma once

#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QString>
#include <utility>

// Makes a folder refuse new files for as long as it lives, and gives it back writable. A
// permission bit does not stop root, so as root the folder is also marked immutable.
class CarpetaSoloLectura {
public:
    explicit CarpetaSoloLectura(QString carpeta) : carpeta_(std::move(carpeta)) {
        QFile::setPermissions(carpeta_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        inmutable_ = ::geteuid() == 0 && chattr(QStringLiteral("+i"));
        QFile prueba(carpeta_ + QStringLiteral("/.prueba-escritura"));
        efectiva_ = !prueba.open(QIODevice::WriteOnly);
        prueba.remove();
    }
    ~CarpetaSoloLectura() {
        if (inmutable_) {
            chattr(QStringLiteral("-i"));
        }
        QFile::setPermissions(carpeta_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                            QFile::ExeOther);
    }
    CarpetaSoloLectura(const CarpetaSoloLectura&) = delete;
    CarpetaSoloLectura& operator=(const CarpetaSoloLectura&) = delete;

    // True when creating a file in the folder really fails (tests skip when it cannot be had).
    bool efectiva() const { return efectiva_; }

private:
    bool chattr(const QString& opcion) const {
        return QProcess::execute(QStringLiteral("chattr"), {opcion, carpeta_}) == 0;
    }

    QString carpeta_;
    bool inmutable_ = false;
    bool efectiva_ = false;
};
