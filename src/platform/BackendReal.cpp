#include "platform/BackendReal.h"

#include "platform/ConnectionText.h"
#include "platform/OdbcBackend.h"
#include "platform/SqliteBackend.h"

namespace platform {

std::unique_ptr<ConnectionBackend> creaBackendReal(const QString& texto) {
    const DestinoConexion destino = traduceConexion(texto, controladoresDelSistema());
    if (destino.motor == DestinoConexion::Motor::Sqlite) {
        return std::make_unique<SqliteBackend>(destino.ficheroSqlite);
    }
    return std::make_unique<OdbcBackend>(destino.textoOdbc);
}

}  // namespace platform
