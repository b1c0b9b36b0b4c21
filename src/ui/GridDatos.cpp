#include "ui/GridDatos.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QScrollBar>
#include <QSet>
#include <algorithm>

namespace {

constexpr int kRolClave = Qt::UserRole;
constexpr int kRolDatosFila = Qt::UserRole + 1;
constexpr int kColumnasIniciales = 2;

bool iguales(const QVariant& a, const QVariant& b) {
    if (!a.isValid() || !b.isValid() || a.isNull() != b.isNull()) {
        return false;
    }
    return a == b || a.toString() == b.toString();
}

}  // namespace

GridDatos::GridDatos(QWidget* parent) : QTableWidget(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    setCols(kColumnasIniciales);
}

qint32 GridDatos::Rows() const {
    return rowCount() + fijas_;
}

void GridDatos::setRows(qint32 n) {
    const qint32 filas = qMax(n, 0);
    if (filas < fijas_) {
        fijas_ = 0;
        horizontalHeader()->hide();
        for (int c = 0; c < columnCount(); ++c) {
            horizontalHeaderItem(c)->setText(QString());
        }
        datosFilaFija_ = QVariant();
    }
    const int antes = rowCount();
    setRowCount(filas - fijas_);
    completaCeldas(antes);
    actualizaGeometria();
}

void GridDatos::setCols(qint32 n) {
    const int antes = columnCount();
    setColumnCount(qMax(n, 0));
    for (int c = antes; c < columnCount(); ++c) {
        setHorizontalHeaderItem(c, new QTableWidgetItem());
    }
    completaCeldas(0);
}

void GridDatos::setFixedRows(qint32 n) {
    const qint32 deseadas = n > 0 ? 1 : 0;
    if (deseadas == fijas_) {
        return;
    }
    if (deseadas == 1) {
        // The first data row becomes the title row (a grid without rows gains an empty one).
        if (rowCount() == 0) {
            setRowCount(1);
            completaCeldas(0);
        }
        for (int c = 0; c < columnCount(); ++c) {
            horizontalHeaderItem(c)->setText(item(0, c)->text());
        }
        datosFilaFija_ = RowData(0);
        removeRow(0);
        horizontalHeader()->show();
    } else {
        insertRow(0);
        completaCeldas(0);
        for (int c = 0; c < columnCount(); ++c) {
            item(0, c)->setText(horizontalHeaderItem(c)->text());
            horizontalHeaderItem(c)->setText(QString());
        }
        verticalHeaderItem(0)->setData(kRolDatosFila, datosFilaFija_);
        datosFilaFija_ = QVariant();
        horizontalHeader()->hide();
    }
    fijas_ = deseadas;
}

qint32 GridDatos::TopRow() const {
    return fijas_ + verticalScrollBar()->value();
}

void GridDatos::setTopRow(qint32 fila) {
    actualizaGeometria();
    verticalScrollBar()->setValue(qMax(fila - fijas_, 0));
}

qint32 GridDatos::SelectedRows() const {
    return static_cast<qint32>(selectionModel()->selectedRows().size());
}

void GridDatos::AddItem(const QString& elemento) {
    const int fila = Rows();
    insertRow(rowCount());
    completaCeldas(rowCount() - 1);
    const QStringList celdas = elemento.split(u'\t');
    for (int c = 0; c < celdas.size() && c < columnCount(); ++c) {
        setTextmatrix(fila, c, celdas.at(c));
    }
}

QVariant GridDatos::textmatrix(int fila, int col) const {
    const QTableWidgetItem* c = celda(fila, col);
    if (c == nullptr) {
        return QVariant();
    }
    if (c->data(Qt::CheckStateRole).isValid()) {
        return c->checkState() == Qt::Checked;
    }
    return c->text();
}

void GridDatos::setTextmatrix(int fila, int col, const QVariant& valor) {
    QTableWidgetItem* c = celda(fila, col);
    if (c == nullptr) {
        return;
    }
    if (valor.typeId() == QMetaType::Bool && esFilaDeDatos(fila)) {
        c->setCheckState(valor.toBool() ? Qt::Checked : Qt::Unchecked);
        c->setText(QString());
        return;
    }
    c->setData(Qt::CheckStateRole, QVariant());
    c->setText(valor.isNull() ? QString() : valor.toString());
}

QVariant GridDatos::RowData(int fila) const {
    if (fila >= 0 && fila < fijas_) {
        return datosFilaFija_;
    }
    if (!esFilaDeDatos(fila)) {
        return QVariant();
    }
    return verticalHeaderItem(fila - fijas_)->data(kRolDatosFila);
}

void GridDatos::setRowData(int fila, const QVariant& valor) {
    if (fila >= 0 && fila < fijas_) {
        datosFilaFija_ = valor;
        return;
    }
    if (esFilaDeDatos(fila)) {
        verticalHeaderItem(fila - fijas_)->setData(kRolDatosFila, valor);
    }
}

int GridDatos::SelectedRow(int i) const {
    QList<int> filas;
    for (const QModelIndex& indice : selectionModel()->selectedRows()) {
        filas.append(indice.row());
    }
    std::sort(filas.begin(), filas.end());
    return i >= 0 && i < filas.size() ? fijas_ + filas.at(i) : -1;
}

int GridDatos::FindRow(const QVariant& elemento, int desde, int col) const {
    for (int fila = qMax(desde, fijas_); fila < Rows(); ++fila) {
        const QVariant valor = col < 0 ? RowData(fila) : textmatrix(fila, col);
        if (iguales(valor, elemento)) {
            return fila;
        }
    }
    return -1;
}

bool GridDatos::IsSelected(int fila) const {
    return esFilaDeDatos(fila) && selectionModel()->isRowSelected(fila - fijas_, QModelIndex());
}

void GridDatos::setIsSelected(int fila, bool valor) {
    if (!esFilaDeDatos(fila) || columnCount() == 0) {
        return;
    }
    const QItemSelection filaEntera(model()->index(fila - fijas_, 0),
                                    model()->index(fila - fijas_, columnCount() - 1));
    selectionModel()->select(filaEntera,
                             valor ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

int GridDatos::colindex(const QString& clave) const {
    for (int c = 0; c < columnCount(); ++c) {
        if (ColKey(c).compare(clave, Qt::CaseInsensitive) == 0) {
            return c;
        }
    }
    for (int c = 0; c < columnCount() && fijas_ > 0; ++c) {
        if (horizontalHeaderItem(c)->text().compare(clave, Qt::CaseInsensitive) == 0) {
            return c;
        }
    }
    return -1;
}

QString GridDatos::ColKey(int col) const {
    if (col < 0 || col >= columnCount()) {
        return QString();
    }
    return horizontalHeaderItem(col)->data(kRolClave).toString();
}

void GridDatos::setColKey(int col, const QString& clave) {
    if (col >= 0 && col < columnCount()) {
        horizontalHeaderItem(col)->setData(kRolClave, clave);
    }
}

void GridDatos::setCellForeColor(int fila1, int col1, int fila2, int col2, const QColor& color) {
    for (int fila = qMin(fila1, fila2); fila <= qMax(fila1, fila2); ++fila) {
        for (int col = qMin(col1, col2); col <= qMax(col1, col2); ++col) {
            if (QTableWidgetItem* c = celda(fila, col)) {
                c->setForeground(color);
            }
        }
    }
}

QColor GridDatos::CellForeColor(int fila, int col) const {
    const QTableWidgetItem* c = celda(fila, col);
    if (c == nullptr || c->foreground().style() == Qt::NoBrush) {
        return palette().color(QPalette::Text);
    }
    return c->foreground().color();
}

QTableWidgetItem* GridDatos::celda(int fila, int col) const {
    if (col < 0 || col >= columnCount() || fila < 0) {
        return nullptr;
    }
    if (fila < fijas_) {
        return horizontalHeaderItem(col);
    }
    return esFilaDeDatos(fila) ? item(fila - fijas_, col) : nullptr;
}

bool GridDatos::esFilaDeDatos(int fila) const {
    return fila >= fijas_ && fila < Rows();
}

void GridDatos::completaCeldas(int desdeFila) {
    for (int fila = qMax(desdeFila, 0); fila < rowCount(); ++fila) {
        if (verticalHeaderItem(fila) == nullptr) {
            setVerticalHeaderItem(fila, new QTableWidgetItem());
        }
        for (int c = 0; c < columnCount(); ++c) {
            if (item(fila, c) == nullptr) {
                setItem(fila, c, new QTableWidgetItem());
            }
        }
    }
}

void GridDatos::actualizaGeometria() {
    // The scroll range follows the rows only once the pending layout has run.
    executeDelayedItemsLayout();
    updateGeometries();
}
