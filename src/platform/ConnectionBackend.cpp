#include "platform/ConnectionBackend.h"

namespace platform {

bool ResultCursor::fetchBloque(qint64& numero, QByteArray& datos) {
    QVector<QVariant> fila;
    if (!fetch(fila)) {
        return false;
    }
    numero = fila.value(0).toLongLong();
    datos = fila.value(1).toByteArray();
    return true;
}

}  // namespace platform
