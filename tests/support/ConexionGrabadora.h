#pragma once

#include <QHash>
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
// It starts answering a SQL Server's language query and an empty sequence table.
class ConexionGrabadora {
public:
    // A scripted answer, rows or an error, for `veces` statements (0 = always).
    struct Regla {
        QString fragmento;
        std::optional<TablaGuionada> tabla;
        std::optional<platform::ErrorEjecucion> error;
        int veces = 0;
    };
    struct Estado {
        QStringList sentencias, textos;
        QVector<QVariantList> parametros;
        QVector<Regla> reglas;
        std::optional<platform::ErrorEjecucion> errorAlAbrir;
        QHash<QString, QStringList> claves;
    };

    ConexionGrabadora();

    // Statement texts run so far, oldest first, over every connection opened meanwhile.
    QStringList sentencias() const { return estado_->sentencias; }
    // The values bound to each of those statements (empty lists when none).
    QVector<QVariantList> parametros() const { return estado_->parametros; }
    // Connection texts opened so far.
    QStringList textosConexion() const { return estado_->textos; }
    // Forgets the statements recorded so far (the scripted answers stay).
    void limpia() {
        estado_->sentencias.clear();
        estado_->parametros.clear();
    }

    // Statements whose text contains `fragmento` (ignoring case) answer `tabla`; with `veces`
    // > 0 the answer is used that many times only. Later rules win over earlier ones.
    void responde(const QString& fragmento, const TablaGuionada& tabla, int veces = 0) {
        estado_->reglas.append({fragmento, tabla, std::nullopt, veces});
    }
    // Statements whose text contains `fragmento` fail with `error` (`veces` as above).
    void falla(const QString& fragmento, const platform::ErrorEjecucion& error, int veces = 0) {
        estado_->reglas.append({fragmento, std::nullopt, error, veces});
    }
    // Opening fails with `error` from now on (std::nullopt lets opens succeed again).
    void fallaAlAbrir(std::optional<platform::ErrorEjecucion> error) {
        estado_->errorAlAbrir = std::move(error);
    }
    // The primary key the catalogue reports for `tabla`.
    void clavePrimaria(const QString& tabla, const QStringList& columnas) {
        estado_->claves.insert(tabla.toLower(), columnas);
    }

private:
    std::shared_ptr<Estado> estado_ = std::make_shared<Estado>();
    platform::FabricaInstalada fabrica_;
};

}  // namespace prueba
