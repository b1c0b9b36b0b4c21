#include "support/CarpetaSoloLectura.h"

#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <utility>

namespace {

bool chattr(const QString& opcion, const QString& carpeta) {
    return QProcess::execute(QStringLiteral("chattr"), {opcion, carpeta}) == 0;
}

bool admiteFicheros(const QString& carpeta) {
    QFile prueba(carpeta + QStringLiteral("/.prueba-escritura"));
    if (!prueba.open(QIODevice::WriteOnly)) {
        return false;
    }
    prueba.remove();
    return true;
}

}  // namespace

CarpetaSoloLectura::CarpetaSoloLectura(QString carpeta) : carpeta_(std::move(carpeta)) {
    QFile::setPermissions(carpeta_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    if (::geteuid() == 0) {
        inmutable_ = chattr(QStringLiteral("+i"), carpeta_);
    }
    efectiva_ = !admiteFicheros(carpeta_);
}

CarpetaSoloLectura::~CarpetaSoloLectura() {
    if (inmutable_) {
        chattr(QStringLiteral("-i"), carpeta_);
    }
    QFile::setPermissions(carpeta_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                        QFile::ExeOther);
}
