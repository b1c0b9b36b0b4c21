#include <QtTest>

#include "ui/GridDatos.h"

using namespace Qt::Literals::StringLiterals;

// The grid as the loaders address it: rows counted with the title row, cells, row data,
// selection and column keys (colours and scrolling: tst_CargadoresMotores).
class TstGridDatos : public QObject {
    Q_OBJECT

private:
    // A grid of three columns, title "A|B|C" and the given data rows.
    static void llena(GridDatos& g, const QStringList& filas) {
        g.setCols(3);
        for (int c = 0; c < 3; ++c) {
            g.setTextmatrix(0, c, QString(QChar(u'A' + c)));
        }
        for (const QString& fila : filas) {
            g.AddItem(fila);
        }
    }

    // Every cell's text, cells joined by "|" and rows by "/".
    static QString contenido(const GridDatos& g) {
        QStringList filas;
        for (int f = 0; f < g.Rows(); ++f) {
            QStringList celdas;
            for (int c = 0; c < g.Cols(); ++c) {
                celdas << g.textmatrix(f, c).toString();
            }
            filas << celdas.join(u'|');
        }
        return filas.join(u'/');
    }

private slots:
    // Each call adds one row at the end, its cells from the tab-separated text.
    void addItem() {
        const std::pair<QString, const char*> casos[] = {{u"a\tb\tc"_s, "a|b|c"},
                                                         {u"\tb"_s, "|b|"},
                                                         {QString(), "||"},
                                                         {u"a\tb\tc\td"_s, "a|b|c"}};
        for (const auto& [elemento, celdas] : casos) {
            GridDatos g;
            llena(g, {u"x"_s});
            g.AddItem(elemento);
            QCOMPARE(contenido(g), "A|B|C/x||/" + QString(celdas));
        }
    }

    // Rows 0 drops the title row for good; FixedRows moves rows between title and data.
    void filasFijas() {
        GridDatos g;
        llena(g, {u"1"_s, u"2"_s});
        QCOMPARE(contenido(g), u"A|B|C/1||/2||"_s);
        g.setRows(1);
        QCOMPARE(contenido(g), u"A|B|C"_s);
        g.setRows(0);
        QCOMPARE(g.FixedRows(), 0);
        g.AddItem(u"primera"_s);
        QCOMPARE(contenido(g), u"primera||"_s);
        g.setRowData(0, 5);
        g.setFixedRows(1);
        QCOMPARE(contenido(g), u"primera||"_s);
        QCOMPARE(g.RowData(0), QVariant(5));
        g.AddItem(u"datos"_s);
        g.setFixedRows(0);
        QCOMPARE(contenido(g), u"primera||/datos||"_s);
        QCOMPARE(g.RowData(0), QVariant(5));
        g.setRows(4);
        QCOMPARE(contenido(g), u"primera||/datos||/||/||"_s);
    }

    // A boolean makes a check cell; a text turns it back into a text cell.
    void celdasMarcadas() {
        GridDatos g;
        llena(g, {u"a\tb"_s});
        g.setTextmatrix(1, 0, true);
        QCOMPARE(g.textmatrix(1, 0), QVariant(true));
        QCOMPARE(g.item(0, 0)->checkState(), Qt::Checked);
        g.setTextmatrix(1, 0, false);
        QCOMPARE(g.textmatrix(1, 0), QVariant(false));
        g.setTextmatrix(1, 0, u"texto"_s);
        QCOMPARE(g.textmatrix(1, 0), QVariant(u"texto"_s));
        QCOMPARE(g.textmatrix(1, 1), QVariant(u"b"_s));
    }

    // Outside the grid nothing is read and nothing is written.
    void fueraDeRango() {
        for (const auto& [fila, col] : {std::pair{-1, 0}, {3, 0}, {1, -1}, {1, 3}}) {
            GridDatos g;
            llena(g, {u"a"_s, u"b"_s});
            g.setTextmatrix(fila, col, u"z"_s);
            g.setRowData(fila, 1);
            QCOMPARE(g.textmatrix(fila, col), QVariant());
            QCOMPARE(g.RowData(fila), fila == 1 ? QVariant(1) : QVariant());
            QCOMPARE(contenido(g), u"A|B|C/a||/b||"_s);
        }
    }

    // A row found by its data or by a cell's text, never in the title row.
    void findRow() {
        GridDatos g;
        llena(g, {u"1\ta"_s, u"2\tb"_s, u"3\tc"_s});
        for (int i = 1; i <= 3; ++i) {
            g.setRowData(i, i * 10);
        }
        g.setRowData(0, 20);
        QCOMPARE(g.FindRow(20, -1, -1), 2);
        QCOMPARE(g.FindRow(qlonglong(30), -1, -1), 3);
        QCOMPARE(g.FindRow(u"10"_s, -1, -1), 1);
        QCOMPARE(g.FindRow(20, 3, -1), -1);
        QCOMPARE(g.FindRow(u"c"_s, -1, 1), 3);
        QCOMPARE(g.FindRow(99, -1, -1), -1);
        QCOMPARE(g.FindRow(QVariant(), -1, -1), -1);
    }

    // Selected rows are counted and listed top to bottom; the title row is never selected.
    void seleccion() {
        GridDatos g;
        llena(g, {u"1"_s, u"2"_s, u"3"_s, u"4"_s});
        QCOMPARE(g.SelectedRows(), 0);
        QCOMPARE(g.SelectedRow(0), -1);
        g.setIsSelected(4, true);
        g.setIsSelected(2, true);
        g.setIsSelected(0, true);
        QCOMPARE(g.SelectedRows(), 2);
        QCOMPARE(g.SelectedRow(0), 2);
        QCOMPARE(g.SelectedRow(1), 4);
        QVERIFY(g.IsSelected(2));
        QVERIFY(!g.IsSelected(0));
        g.setIsSelected(2, false);
        QCOMPARE(g.SelectedRows(), 1);
        QCOMPARE(g.SelectedRow(0), 4);
    }

    // colindex finds a column by key first, then by its title.
    void colindex() {
        GridDatos g;
        llena(g, {});
        g.setColKey(2, u"nombre"_s);
        g.setColKey(0, u"B"_s);
        QCOMPARE(g.colindex(u"NOMBRE"_s), 2);
        QCOMPARE(g.colindex(u"B"_s), 0);
        QCOMPARE(g.colindex(u"c"_s), 2);
        QCOMPARE(g.colindex(u"nada"_s), -1);
        QCOMPARE(g.ColKey(7), QString());
    }
};

QTEST_MAIN(TstGridDatos)
#include "tst_GridDatos.moc"
