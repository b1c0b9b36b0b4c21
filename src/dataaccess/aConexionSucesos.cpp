#include "dataaccess/aConexion.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// hit counts its calls in rounds of this many.
constexpr qint32 kVueltaHit = 5;

}  // namespace

void aConexion::suceso(const QString& cad) {
    const qint32 cod = codsiguiente(u"tSucesos"_s, u"codSuceso"_s);
    executeNR(u"INSERT INTO tSucesos (codSuceso,fecha,suceso,codConexion)"_s + u" VALUES ("_s +
              QString::number(cod) + u","_s + ahora() + u",'"_s + aplana(cad) + u"',"_s +
              QString::number(codConexionRemota_) + u")"_s);
}

void aConexion::hit(QWidget* padre) {
    Q_UNUSED(padre);
    ++contadorHit_;
    if (contadorHit_ >= kVueltaHit) {
        contadorHit_ = 0;
    }
}
