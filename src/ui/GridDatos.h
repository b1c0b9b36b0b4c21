#pragma once

#include <QColor>
#include <QString>
#include <QTableWidget>
#include <QVariant>

// A grid of rows and columns addressed as the loaders of aConexion address it: row 0 is the
// fixed title row while FixedRows is 1 (it stays in place while the others scroll), and the
// other rows are data rows, each with a hidden value of its own (RowData). Out-of-range rows or
// columns read as empty and are ignored when written.
class GridDatos : public QTableWidget {
    Q_OBJECT
    Q_PROPERTY(qint32 Rows READ Rows WRITE setRows)
    Q_PROPERTY(qint32 Cols READ Cols WRITE setCols)
    Q_PROPERTY(qint32 FixedRows READ FixedRows WRITE setFixedRows)
    Q_PROPERTY(qint32 TopRow READ TopRow WRITE setTopRow)
    Q_PROPERTY(qint32 SelectedRows READ SelectedRows)

public:
    // A grid of two columns with only its title row.
    explicit GridDatos(QWidget* parent = nullptr);

    // Number of rows, the title row included. Fewer rows than FixedRows drops the title row
    // (FixedRows becomes 0, as it stays when rows are added again).
    qint32 Rows() const;
    void setRows(qint32 n);
    // Number of columns.
    qint32 Cols() const { return columnCount(); }
    void setCols(qint32 n);
    // 1 while row 0 is the title row, else 0. Setting 1 turns the first data row into the title
    // row; setting 0 turns the title row into the first data row.
    qint32 FixedRows() const { return fijas_; }
    void setFixedRows(qint32 n);
    // The first data row shown at the top.
    qint32 TopRow() const;
    void setTopRow(qint32 fila);
    // Number of selected data rows.
    qint32 SelectedRows() const;

    // Adds a row at the end, its cells taken from elemento split at tab characters.
    Q_INVOKABLE void AddItem(const QString& elemento);
    // The value of a cell: the mark of a check cell (a boolean), the text of any other.
    Q_INVOKABLE QVariant textmatrix(int fila, int col) const;
    // A boolean makes the cell a check cell with that mark; any other value is shown as text.
    Q_INVOKABLE void setTextmatrix(int fila, int col, const QVariant& valor);
    // The hidden value of a row.
    Q_INVOKABLE QVariant RowData(int fila) const;
    Q_INVOKABLE void setRowData(int fila, const QVariant& valor);
    // The i-th selected data row (from 0, top to bottom); -1 when there is none.
    Q_INVOKABLE int SelectedRow(int i) const;
    // The first data row from desde (the first data row when negative) whose RowData (col < 0)
    // or cell text in col equals elemento; -1 when none does.
    Q_INVOKABLE int FindRow(const QVariant& elemento, int desde = -1, int col = -1) const;
    // Whether a data row is selected; the title row never is.
    Q_INVOKABLE bool IsSelected(int fila) const;
    Q_INVOKABLE void setIsSelected(int fila, bool valor);
    // The column whose key (or, lacking one, whose title) is clave, ignoring case; -1 when none.
    Q_INVOKABLE int colindex(const QString& clave) const;
    // The key that names a column for colindex.
    Q_INVOKABLE QString ColKey(int col) const;
    Q_INVOKABLE void setColKey(int col, const QString& clave);
    // The text colour of the cells from (fila1, col1) to (fila2, col2).
    Q_INVOKABLE void setCellForeColor(int fila1, int col1, int fila2, int col2,
                                      const QColor& color);
    // The text colour of one cell (the default colour when it has none of its own).
    Q_INVOKABLE QColor CellForeColor(int fila, int col) const;

private:
    // The cell at a grid position: the title item of row 0 while it is the title row.
    QTableWidgetItem* celda(int fila, int col) const;
    bool esFilaDeDatos(int fila) const;
    void completaCeldas(int desdeFila);
    void actualizaGeometria();

    qint32 fijas_ = 1;
    QVariant datosFilaFija_;
};
