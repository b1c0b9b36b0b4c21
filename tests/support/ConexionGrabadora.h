#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <optional>

#include "platform/Connection.h"
#include "platform/ConnectionBackend.h"
#include "platform/ErrorEjecucion.h"

namespace prueba {

// Rows a recording connection answers with: named columns and their values row by row.
struct TablaGuionada {
    QStringList columnas;
    QVector<QVariantList> filas;
};

// While it lives, every platform::Connection opens this recording engine instead of a real
// one: any connection text is accepted, every statement text (and its bound values) is kept in
// order, and queries are answered with the rows a test scripted. Like a SQL Server driver
// without MARS, a statement issued while another result still has unread rows fails (24000). Used
// to check the exact statements sent to engines that are not available here (SQL Server, Oracle).
class ConexionGrabadora {
public:
    ConexionGrabadora();
    ~ConexionGrabadora();
    ConexionGrabadora(const ConexionGrabadora&) = delete;
    ConexionGrabadora& operator=(const ConexionGrabadora&) = delete;

    // Statement texts run so far, oldest first, over every connection opened meanwhile.
    QStringList sentencias() const;
    // The values bound to each of those statements (empty lists when none).
    QVector<QVariantList> parametros() const;
    // Connection texts opened so far.
    QStringList textosConexion() const;
    // Forgets the statements recorded so far (the scripted answers stay).
    void limpia();

    // Statements whose text contains `fragmento` (ignoring case) answer `tabla`; with `veces`
    // > 0 the answer is used that many times only. Later rules win over earlier ones.
    void responde(const QString& fragmento, const TablaGuionada& tabla, int veces = 0);
    // Statements whose text contains `fragmento` fail with `error` (`veces` as above).
    void falla(const QString& fragmento, const platform::ErrorEjecucion& error, int veces = 0);
    // Opening fails with `error` from now on (std::nullopt lets opens succeed again).
    void fallaAlAbrir(std::optional<platform::ErrorEjecucion> error);
    // The primary key the catalogue reports for `tabla`.
    void clavePrimaria(const QString& tabla, const QStringList& columnas);

    struct Estado;

private:
    std::shared_ptr<Estado> estado_;
    platform::FabricaInstalada fabrica_;
};

}  // namespace prueba
