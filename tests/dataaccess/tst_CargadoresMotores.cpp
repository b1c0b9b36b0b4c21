#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"
#include "support/ErrorLanzado.h"
#include "support/MensajeriaGrabada.h"
#include "support/MotoresPrueba.h"
#include "ui/ComboDatos.h"
#include "ui/GridDatos.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The values of one column of a table, in the order of its code column.
QStringList columna(aConexion& c, const QString& tabla, const QString& campo,
                    const QString& orden) {
    QStringList valores;
    const platform::RecordsetPtr r =
        c.con()->execute(u"SELECT "_s + campo + u" FROM "_s + tabla + u" ORDER BY "_s + orden);
    for (; !r->eof(); r->moveNext()) {
        const QVariant v = r->field(campo).value();
        valores.append(v.isNull() ? u"<null>"_s : v.toString());
    }
    return valores;
}

QImage imagenPrueba() {
    QImage imagen(7, 5, QImage::Format_ARGB32);
    for (int y = 0; y < imagen.height(); ++y) {
        for (int x = 0; x < imagen.width(); ++x) {
            imagen.setPixelColor(x, y, QColor(x * 30, y * 50, (x + y) * 10));
        }
    }
    return imagen;
}

}  // namespace

// The loaders on the real engines (SQLite file database and MariaDB), with the shipped combo
// and grid.
class TstCargadoresMotores : public QObject {
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    std::unique_ptr<MensajeriaGrabada> mensajes_;
    std::unique_ptr<aConexion> c_;

    // tCarArticulos with the given names, codes 1, 2, ...; baja true for the codes listed.
    static void creaArticulos(aConexion& c, const QStringList& nombres,
                              const QList<int>& bajas = {}) {
        c.eliminaTabla(u"tCarArticulos"_s);
        c.executeNR(
            u"CREATE TABLE tCarArticulos (codArticulo int NOT NULL PRIMARY KEY, nombre "
            "varchar(50), baja tinyint)"_s);
        for (int i = 0; i < nombres.size(); ++i) {
            c.executeNR(u"INSERT INTO tCarArticulos (codArticulo,nombre,baja) VALUES ("_s +
                        QString::number(i + 1) + u",'"_s + c.aplana(nombres.at(i)) + u"',"_s +
                        c.bol(bajas.contains(i + 1)) + u')');
        }
    }

private slots:
    void initTestCase_data() { prueba::filasMotores(); }
    void init() {
        // A run skipped here gets no cleanup: its routing must go before the next one is put in
        // place, or it would put the one it replaced back over it.
        mensajes_.reset();
        mensajes_ = std::make_unique<MensajeriaGrabada>();
        QFETCH_GLOBAL(QString, motor);
        c_ = prueba::conectaMotor(motor, carpeta_.path());
    }
    void cleanup() {
        c_.reset();
        mensajes_.reset();
    }

    // The count, the listed rows and the chosen value on an empty, a single and a double result.
    void cargaCombo() {
        const QStringList uno{u"Tuerca"_s}, dos{u"Tuerca"_s, u"Arandela"_s};
        const struct {
            QStringList nombres;
            bool mostrarPrimero, siHayUno;
            QString ligadoAntes, ligado, mostrado;
        } filas[] = {{{}, false, true, u"77"_s, u"77"_s, {}},
                     {{}, true, false, u"77"_s, u"77"_s, {}},
                     {uno, false, true, {}, u"1"_s, u"Tuerca"_s},
                     {uno, false, false, {}, {}, {}},
                     {dos, false, true, {}, {}, {}},
                     {dos, true, true, {}, u"2"_s, u"Arandela"_s}};
        for (const auto& f : filas) {
            creaArticulos(*c_, f.nombres);
            ComboDatos combo;
            ComboDatos combo2;
            combo.setBoundText(f.ligadoAntes);
            QCOMPARE(
                c_->cargaCombo(u"SELECT codArticulo, nombre FROM tCarArticulos ORDER BY nombre"_s,
                               u"codArticulo"_s, u"nombre"_s, &combo, &combo2, f.mostrarPrimero,
                               f.siHayUno),
                f.nombres.size());
            QCOMPARE(combo.count(), f.nombres.size());
            QCOMPARE(combo.BoundText(), f.ligado);
            QCOMPARE(combo.currentText(), f.mostrado);
            QCOMPARE(combo2.count(), f.nombres.size());
            if (f.nombres.size() == 2) {
                QCOMPARE(combo.itemText(0), u"Arandela"_s);
                QCOMPARE(combo.itemText(1), u"Tuerca"_s);
            }
        }
    }

    // A list that names its own displayed column keeps it; criterio and orden shape the rows,
    // and the list's previous value is cleared first.
    void cargaListaRespetaColumnasYOrden() {
        creaArticulos(*c_, {u"Tuerca"_s, u"Arandela"_s, u"Clavo"_s});
        ComboDatos lista;
        lista.setBoundText(u"9"_s);
        lista.setListField(u"codArticulo"_s);
        c_->cargaLista(&lista, u"tCarArticulos"_s, u"codArticulo"_s, u"nombre"_s,
                       u"codArticulo>1"_s, u"codArticulo DESC"_s);
        QCOMPARE(lista.count(), 2);
        QCOMPARE(lista.itemText(0), u"3"_s);
        QCOMPARE(lista.itemText(1), u"2"_s);
        QCOMPARE(lista.BoundText(), QString());
        c_->cargaLista(&lista, u"tCarArticulos"_s, u"codArticulo"_s, u"nombre"_s, QString(),
                       u"nombre"_s, true);
        QCOMPARE(lista.count(), 3);
        QCOMPARE(lista.BoundText(), u"2"_s);
    }

    // One row per record after the title row (or without it), the name in column 1, the code
    // as row data, column 0 marked only when asked.
    void cargaGrid() {
        for (bool marcaTodos : {false, true}) {
            const bool sinCabecera = marcaTodos;
            creaArticulos(*c_, {u"Tuerca"_s, u"Arandela"_s, u"Clavo"_s});
            GridDatos grid;
            grid.AddItem(u"\tresto de otra carga"_s);
            const qint32 n = c_->cargaGrid(&grid, u"SELECT * FROM tCarArticulos ORDER BY nombre"_s,
                                           u"codArticulo"_s, u"nombre"_s, marcaTodos, sinCabecera);
            QCOMPARE(n, 3);
            const int primera = sinCabecera ? 0 : 1;
            QCOMPARE(grid.Rows(), primera + 3);
            QCOMPARE(grid.FixedRows(), primera);
            const QStringList nombres = {u"Arandela"_s, u"Clavo"_s, u"Tuerca"_s};
            const QList<qint32> codigos = {2, 3, 1};
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(grid.textmatrix(primera + i, 1).toString(), nombres.at(i));
                QCOMPARE(grid.RowData(primera + i), QVariant(codigos.at(i)));
                QCOMPARE(grid.textmatrix(primera + i, 0),
                         marcaTodos ? QVariant(true) : QVariant(QString()));
            }
        }
    }

    // The selected codes stay selected after their rows moved, and the top row stays.
    void rellenaGridMantieneSeleccion() {
        QStringList nombres;
        for (int i = 1; i <= 30; ++i) {
            nombres.append(u"Pieza %1"_s.arg(i, 2, 10, QChar(u'0')));
        }
        creaArticulos(*c_, nombres, {4, 7});
        GridDatos grid;
        grid.setCols(3);
        grid.setColKey(2, u"nombre"_s);
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QString sql = u"SELECT * FROM tCarArticulos ORDER BY nombre"_s;
        c_->rellenaGrid(&grid, sql, u"nombre"_s, u"codArticulo"_s, u"baja"_s);
        QCOMPARE(grid.Rows(), 31);
        QCOMPARE(grid.textmatrix(4, 2).toString(), u"Pieza 04"_s);

        grid.setIsSelected(3, true);
        grid.setIsSelected(10, true);
        grid.setTopRow(6);
        // Rows move: the names reverse their order, and a new first row arrives.
        c_->executeNR(u"UPDATE tCarArticulos SET nombre = "_s +
                      (c_->motor() == Motor::MySql ? u"CONCAT('Z', 100 - codArticulo)"_s
                                                   : u"'Z' || (100 - codArticulo)"_s));
        c_->executeNR(
            u"INSERT INTO tCarArticulos (codArticulo,nombre,baja) VALUES (31,'A nueva',0)"_s);
        c_->rellenaGrid(&grid, sql, u"nombre"_s, u"codArticulo"_s, u"baja"_s);
        QCOMPARE(grid.Rows(), 32);
        QCOMPARE(grid.SelectedRows(), 2);
        QList<qint32> elegidos;
        for (int i = 0; i < grid.SelectedRows(); ++i) {
            elegidos.append(grid.RowData(grid.SelectedRow(i)).toInt());
        }
        std::sort(elegidos.begin(), elegidos.end());
        QCOMPARE(elegidos, (QList<qint32>{3, 10}));
        QCOMPARE(grid.FindRow(3), 29);
        QVERIFY(grid.IsSelected(29));
        QVERIFY(!grid.IsSelected(3));
        QCOMPARE(grid.TopRow(), 6);
    }

    // The clipboard's rows become records numbered from 1 in a new table of "cod" and one text
    // column per cell; quotes, backslashes and long cells arrive whole.
    void excelTemporal() {
        const QString largo(300, u'x');
        const struct {
            QString portapapeles;
            QStringList c0, c3;
        } filas[] = {{u"a1\tb1\tc1\td1\r\na2\tO'Brien\tc2\td2\\\r\na3\tb3\tc3\td3\r\n"_s,
                      {u"a1"_s, u"a2"_s, u"a3"_s},
                      {u"d1"_s, u"d2\\"_s, u"d3"_s}},
                     // No end to the last line.
                     {u"a1\tb1\tc1\td1\na2\tb2\tc2\td2"_s, {u"a1"_s, u"a2"_s}, {u"d1"_s, u"d2"_s}},
                     // Uneven rows and a long cell.
                     {u"a1\tb1\r\na2\tb2\tc2\t"_s + largo + u"\r\n"_s,
                      {u"a1"_s, u"a2"_s},
                      {u"<null>"_s, largo}}};
        for (const auto& f : filas) {
            QGuiApplication::clipboard()->setText(f.portapapeles);
            const QString tabla = c_->excelTemporal();
            QVERIFY(QRegularExpression(u"^tExt_\\d{14}$"_s).match(tabla).hasMatch());
            QVERIFY(c_->existeTabla(tabla));
            QStringList numeros;
            for (int i = 1; i <= f.c0.size(); ++i) {
                numeros.append(QString::number(i));
            }
            QCOMPARE(columna(*c_, tabla, u"cod"_s, u"cod"_s), numeros);
            QCOMPARE(columna(*c_, tabla, u"c0"_s, u"cod"_s), f.c0);
            QCOMPARE(columna(*c_, tabla, u"c3"_s, u"cod"_s), f.c3);
            if (f.portapapeles.contains(u"O'Brien"_s)) {
                QCOMPARE(columna(*c_, tabla, u"c1"_s, u"cod"_s).at(1), u"O'Brien"_s);
            }
            c_->eliminaTabla(tabla);
        }
        // An empty clipboard creates nothing.
        QGuiApplication::clipboard()->clear();
        const qint32 tablas = c_->nTablas();
        QCOMPARE(c_->excelTemporal(), QString());
        QCOMPARE(c_->nTablas(), tablas);
    }

    // Each line becomes a record, its fields cut at running positions, trimmed, empty as null;
    // a malformed layout is error 5 and imports nothing.
    void cargaTablaTextoFijo() {
        const auto linea = [](const QString& codigo, const QString& nombre, int importe) {
            return codigo.leftJustified(5) + nombre.leftJustified(20) +
                   QString::number(importe).rightJustified(5, u'0') + u"\r\n"_s;
        };
        const QString nulo = u"<null>"_s;
        const struct {
            QString formato, texto;
            QStringList codigos, nombres, importes;
        } filas[] = {
            {u"1-5:6-25:26-30"_s,
             linea(u"00001"_s, u"Ana Lopez"_s, 120) + linea(u"00002"_s, u"O'Brien \\"_s, 30) +
                 linea(u"00003"_s, {}, 7),
             {u"00001"_s, u"00002"_s, u"00003"_s},
             {u"Ana Lopez"_s, u"O'Brien \\"_s, nulo},
             {u"120"_s, u"30"_s, u"7"_s}},
            // Only widths count: the start numbers need not follow each other.
            {u"0-4:40-59"_s, u"00009Sin importe\n"_s, {u"00009"_s}, {u"Sin importe"_s}, {nulo}},
            {u"1-5:6-25:26-30"_s, u"12"_s, {u"12"_s}, {nulo}, {nulo}},
            {u"1-5:6"_s, u"12345678901234567890\n"_s, {}, {}, {}},
            {u"a-b"_s, u"12345678901234567890\n"_s, {}, {}, {}},
            {u"5-1"_s, u"12345678901234567890\n"_s, {}, {}, {}},
            {u"1-1:2-2:3-3:4-4"_s, u"12345678901234567890\n"_s, {}, {}, {}}};
        for (const auto& f : filas) {
            c_->eliminaTabla(u"tCarFijo"_s);
            c_->executeNR(
                u"CREATE TABLE tCarFijo (codigo varchar(5), nombre varchar(20), importe int)"_s);
            const qint32 error = prueba::errorLanzado([&] {
                                     c_->cargaTablaTextoFijo(u"tCarFijo"_s, f.formato, f.texto);
                                 }).numero();
            QCOMPARE(error, f.codigos.isEmpty() ? platform::kErrorArgumento : 0);
            QCOMPARE(columna(*c_, u"tCarFijo"_s, u"codigo"_s, u"codigo"_s), f.codigos);
            QCOMPARE(columna(*c_, u"tCarFijo"_s, u"nombre"_s, u"codigo"_s), f.nombres);
            QCOMPARE(columna(*c_, u"tCarFijo"_s, u"importe"_s, u"codigo"_s), f.importes);
            QVERIFY2(std::none_of(QApplication::topLevelWidgets().cbegin(),
                                  QApplication::topLevelWidgets().cend(),
                                  [](QWidget* w) { return w->isVisible(); }),
                     "the progress window stayed open");
        }
    }

    // A PNG stored with cargaImagen reads back through both readers with the same pixels; a null
    // column gives a null picture; the file reader writes in the temporary folder.
    void imagenes() {
        const QImage original = imagenPrueba();
        const QString png = carpeta_.filePath(u"muestra.png"_s);
        QVERIFY(original.save(png, "PNG"));
        QTemporaryDir temporal;
        qputenv("temp", temporal.path().toLocal8Bit());

        c_->eliminaTabla(u"tCarImagen"_s);
        c_->executeNR(u"CREATE TABLE tCarImagen (cod int NOT NULL PRIMARY KEY, imagen "_s +
                      c_->tipoDato(aConexion::kImagen, -1) + u")"_s);
        {
            platform::Recordset r;
            r.open(u"SELECT * FROM tCarImagen"_s, c_->con(), 0, platform::Recordset::kOptimista);
            r.addNew();
            r.field(u"cod"_s).setValue(1);
            c_->cargaImagen(r.field(u"imagen"_s), png);
            r.update();
            r.addNew();
            r.field(u"cod"_s).setValue(2);
            r.update();
            r.close();
        }
        platform::RecordsetPtr r = c_->con()->execute(u"SELECT * FROM tCarImagen ORDER BY cod"_s);
        const QPixmap deFichero = c_->obtieneImagen(r->field(u"imagen"_s));
        const QPixmap deMemoria = c_->obtieneImagenMemoria(r->field(u"imagen"_s));
        QVERIFY(QFileInfo::exists(temporal.filePath(u"resImagen"_s)));
        const QImage esperada = original.convertToFormat(QImage::Format_ARGB32);
        for (const QPixmap& leida : {deFichero, deMemoria}) {
            QCOMPARE(leida.toImage().convertToFormat(QImage::Format_ARGB32), esperada);
        }
        r->moveNext();
        QVERIFY(c_->obtieneImagen(r->field(u"imagen"_s)).isNull());
        QVERIFY(c_->obtieneImagenMemoria(r->field(u"imagen"_s)).isNull());
        qunsetenv("temp");
    }
};

QTEST_MAIN(TstCargadoresMotores)
#include "tst_CargadoresMotores.moc"
