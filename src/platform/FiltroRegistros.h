#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

#include "platform/ConnectionBackend.h"

namespace platform {

// A recordset filter criterion ("tabla='x' AND (n>=3 OR nombre LIKE 'a*')"), compiled once
// against the recordset's columns and tested row by row. Texts compare ignoring case, as the
// data-access filters always did.
class FiltroRegistros {
public:
    // Compiles `criterio`; throws ErrorEjecucion 3001 for a malformed criterion or an unknown
    // column.
    FiltroRegistros(const QString& criterio, const QVector<ColumnInfo>& columnas);
    ~FiltroRegistros();
    FiltroRegistros(FiltroRegistros&&) noexcept;

    // The row (one value per column) satisfies the criterion.
    bool cumple(const QVector<QVariant>& fila) const;

    struct Nodo;

private:
    std::unique_ptr<Nodo> raiz_;
};

}  // namespace platform
