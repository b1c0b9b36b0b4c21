#include <QTemporaryDir>
#include <QTest>

#include "platform/Catalog.h"
#include "platform/Recordset.h"
#include "support/ErrorLanzado.h"
#include "support/MotoresPrueba.h"

using platform::Catalog;
using platform::CatalogTable;
using platform::Connection;
using platform::ErrorEjecucion;
using platform::Recordset;
using platform::RecordsetPtr;

namespace {

qint32 numeroDe(const std::function<void()>& accion) {
    return prueba::errorLanzado(accion).numero();
}

}  // namespace

class TstRecordset : public QObject {
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    Connection con_;

    // Five rows in tLista: n 1..5, nombre a..e, nota 'par' on even rows and NULL on odd ones.
    void preparaLista() {
        con_.execute("DROP TABLE IF EXISTS tLista");
        con_.execute(
            "CREATE TABLE tLista (n INTEGER PRIMARY KEY, nombre VARCHAR(20) NOT NULL, "
            "nota VARCHAR(20))");
        con_.execute(
            "INSERT INTO tLista (n, nombre, nota) VALUES (1, 'a', NULL), (2, 'b', 'par'), "
            "(3, 'c', NULL), (4, 'd', 'par'), (5, 'e', NULL)");
    }

private slots:
    void initTestCase_data() { prueba::filasMotores(); }
    void init() {
        con_.close();
        QFETCH_GLOBAL(QString, motor);
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpeta_.path());
        if (prueba::disponible(m)) {
            con_.open(m.textoConexion);
        }
    }

    // A forward result reads on, and becomes a full one, keeping its row, as soon as a count or
    // a move back needs it; neither may be written.
    void recorre() {
        preparaLista();
        RecordsetPtr rs = con_.execute("SELECT n, nombre, nota FROM tLista ORDER BY n");
        QVERIFY(!rs->bof());
        QCOMPARE(rs->field("NOMBRE").value(), rs->fields().item("nombre").value());
        QCOMPARE(numeroDe([&] { rs->field("noExiste"); }), Recordset::kErrorCampo);
        QCOMPARE(numeroDe([&] { rs->fields().item(3); }), Recordset::kErrorCampo);
        QCOMPARE(numeroDe([&] { rs->addNew(); }), Recordset::kErrorNoActualizable);
        QCOMPARE(numeroDe([&] { rs->field("nombre").setValue("z"); }),
                 Recordset::kErrorNoActualizable);
        rs->moveNext();
        rs->moveNext();
        QCOMPARE(rs->recordCount(), 5);
        QCOMPARE(rs->field("n").value().toInt(), 3);
        rs->movePrevious();
        QCOMPARE(rs->fields()[1].value().toString(), QStringLiteral("b"));
        rs->moveLast();
        QCOMPARE(rs->field("n").value().toInt(), 5);
        rs->moveNext();
        QVERIFY(rs->eof());
        QCOMPARE(numeroDe([&] { rs->moveNext(); }), Recordset::kErrorBofEof);
        QCOMPARE(numeroDe([&] { rs->field("nombre").value(); }), Recordset::kErrorBofEof);
        rs->moveFirst();
        QCOMPARE(rs->field("n").value().toInt(), 1);
        rs->movePrevious();
        QVERIFY(rs->bof());
        QVERIFY(!rs->eof());
        QCOMPARE(numeroDe([&] { rs->movePrevious(); }), Recordset::kErrorBofEof);
        con_.execute("INSERT INTO tLista (n, nombre) VALUES (6, 'f')");
        rs->requery();
        QCOMPARE(rs->recordCount(), 6);
        QCOMPARE(rs->field("nombre").value().toString(), QStringLiteral("a"));

        RecordsetPtr vacio = con_.execute("SELECT n FROM tLista WHERE n < 0");
        QVERIFY(vacio->eof());
        QVERIFY(vacio->bof());
        QCOMPARE(vacio->recordCount(), 0);
        QCOMPARE(vacio->fields().count(), 1);
        Recordset union_;
        union_.open("SELECT a.n FROM tLista a, tLista b WHERE a.n=b.n", &con_, 0,
                    Recordset::kOptimista);
        QCOMPARE(numeroDe([&] { union_.addNew(); }), Recordset::kErrorNoActualizable);

        // Cancelled, or destroyed while pending, an asynchronous open leaves nothing to complete.
        auto pendiente = std::make_shared<Recordset>();
        pendiente->open("SELECT * FROM tLista", &con_, 0, 1, 16);
        pendiente->cancel();
        QCOMPARE(pendiente->state(), Recordset::kCerrado);
        QTest::qWait(20);
        QCOMPARE(pendiente->state(), Recordset::kCerrado);
        pendiente->open("SELECT * FROM tLista", &con_, 0, 1, 16);
        pendiente.reset();
        QTest::qWait(20);
        QCOMPARE(con_.state(), Connection::kAbierto);
    }

    // A malformed criterion changes nothing.
    void filtra() {
        preparaLista();
        RecordsetPtr rs = con_.execute("SELECT * FROM tLista ORDER BY n");
        const std::pair<const char*, QString> casos[] = {
            {"nombre='C'", "c"},
            {"n>=2 AND n<4", "bc"},
            {"nombre='a' OR (n>3 AND nota='par')", "ad"},
            {"nota IS NULL", "ace"},
            {"nota = NULL", "ace"},
            {"nota IS NOT NULL", "bd"},
            {"nombre LIKE '[b-c]*'", ""},
            {"nombre LIKE 'b*' OR nombre LIKE '%e'", "be"},
            {"nombre NOT LIKE 'a*'", "bcde"},
            {"", "abcde"},
            {"n<>3", "abde"},
        };
        for (const auto& [criterio, esperado] : casos) {
            rs->setFilter(criterio);
            QCOMPARE(rs->recordCount(), esperado.size());
            QString leidos;
            for (; !rs->eof(); rs->moveNext()) {
                leidos += rs->field("nombre").value().toString();
            }
            QCOMPARE(leidos, esperado);
        }
        rs->setFilter(0);
        QCOMPARE(rs->recordCount(), 5);
        rs->setFilter("n>3");
        for (const char* malo : {"noExiste=1", "n>", "n=1 AND", "(n=1", "nombre='x", "n ? 3"}) {
            QCOMPARE(numeroDe([&] { rs->setFilter(malo); }), platform::kErrorArgumentosNoValidos);
            QCOMPARE(rs->recordCount(), 2);
            QCOMPARE(rs->filter().toString(), QStringLiteral("n>3"));
        }
    }

    void escribeTextosYBinariosExactos() {
        QByteArray todos;
        for (int i = 0; i < 256; ++i) {
            todos.append(char(i));
        }
        // Stored exactly, without a trailing NUL, as the engine's own character count shows.
        const std::pair<QString, QByteArray> casos[] = {
            {QString::fromUtf8("O'Brien dijo \"sí\" \\ ''"), todos},
            {QString(""), QByteArray("")},
            {QString(70000, u'x') + QString::fromUtf8("ñ € Ω Ж 漢字 😀"), todos.repeated(400)},
        };
        const bool sqlite = con_.motor() == u"sqlite";
        for (const auto& [texto, datos] : casos) {
            con_.execute("DROP TABLE IF EXISTS tEscritura");
            con_.execute(QStringLiteral("CREATE TABLE tEscritura (cod INTEGER PRIMARY KEY, "
                                        "texto %1, datos %2, otro VARCHAR(10))")
                             .arg(sqlite ? "TEXT" : "LONGTEXT", sqlite ? "BLOB" : "LONGBLOB"));
            Recordset rs;
            rs.open("SELECT * FROM tEscritura WHERE cod=-1", &con_, 0, Recordset::kOptimista);
            QVERIFY(rs.eof());
            rs.addNew();
            QCOMPARE(rs.editMode(), Recordset::kAnadiendo);
            rs.field("cod").setValue(1);
            rs.field("texto").setValue(texto);
            rs.field("datos").setValue(datos);
            rs.update();
            QCOMPARE(rs.editMode(), Recordset::kSinEdicion);
            QCOMPARE(rs.field("texto").value().toString(), texto);
            rs.close();

            RecordsetPtr comprobacion = con_.execute(
                QStringLiteral("SELECT %1(texto) AS lt, hex(texto) AS ht, length(datos) AS ld, "
                               "hex(datos) AS hd, texto, datos, otro FROM tEscritura")
                    .arg(sqlite ? "length" : "char_length"));
            // Characters outside the basic plane count as one in the engine, two in UTF-16.
            QCOMPARE(comprobacion->field("lt").value().toInt(), int(texto.toUcs4().size()));
            QCOMPARE(comprobacion->field("ht").value().toString(),
                     QString(texto.toUtf8().toHex().toUpper()));
            QCOMPARE(comprobacion->field("ld").value().toInt(), int(datos.size()));
            QCOMPARE(comprobacion->field("hd").value().toString(),
                     QString(datos.toHex().toUpper()));
            QCOMPARE(comprobacion->field("texto").value().toString(), texto);
            QVERIFY(!comprobacion->field("texto").value().isNull());
            QCOMPARE(comprobacion->field("datos").value().toByteArray(), datos);
            QVERIFY(comprobacion->field("otro").value().isNull());
        }
    }

    void actualizaSinClavePorValoresOriginales() {
        con_.execute("DROP TABLE IF EXISTS tSinClave");
        con_.execute("CREATE TABLE tSinClave (a INTEGER, b VARCHAR(10))");
        con_.execute("INSERT INTO tSinClave (a, b) VALUES (1, 'x')");
        con_.execute("INSERT INTO tSinClave (a, b) VALUES (1, NULL)");
        con_.execute("INSERT INTO tSinClave (a, b) VALUES (2, 'x')");
        Recordset rs;
        rs.open("SELECT * FROM tSinClave WHERE a=1 AND b IS NULL", &con_, 0, Recordset::kOptimista);
        rs.field("b").setValue("y");
        rs.update();
        RecordsetPtr filas = con_.execute("SELECT a, b FROM tSinClave ORDER BY a, b");
        QStringList vistos;
        for (; !filas->eof(); filas->moveNext()) {
            vistos << filas->field("a").value().toString() + filas->field("b").value().toString();
        }
        QCOMPARE(vistos, (QStringList{"1x", "1y", "2x"}));

        // A row deleted meanwhile is reported, never taken as written.
        rs.close();
        rs.open("SELECT * FROM tSinClave WHERE a=2", &con_, 0, Recordset::kOptimista);
        con_.execute("DELETE FROM tSinClave WHERE a=2");
        rs.field("b").setValue("z");
        QCOMPARE(numeroDe([&] { rs.update(); }), Recordset::kErrorFilaNoEncontrada);
    }

    void camposDescribenSusColumnas() {
        con_.execute("DROP TABLE IF EXISTS tTipos");
        con_.execute(
            "CREATE TABLE tTipos (e INTEGER NOT NULL, t VARCHAR(30), f DATETIME, "
            "d DOUBLE, x DECIMAL(10,2))");
        con_.execute("INSERT INTO tTipos (e, t, f, d, x) VALUES (7, NULL, NULL, 2.5, 12.25)");
        RecordsetPtr rs = con_.execute("SELECT * FROM tTipos");
        const platform::Field& e = rs->field("e");
        QCOMPARE(e.type(), 3);
        QCOMPARE(e.value().typeId(), int(QMetaType::Int));
        QCOMPARE(e.attributes() & platform::Field::kAdmiteNulo, 0);
        const platform::Field& t = rs->field("t");
        QVERIFY(t.attributes() & platform::Field::kAdmiteNulo);
        QVERIFY(t.value().isNull());
        QCOMPARE(t.value().typeId(), int(QMetaType::QString));
        QCOMPARE(t.actualSize(), -1);
        QVERIFY(rs->field("f").value().isNull());
        QCOMPARE(rs->field("f").value().typeId(), int(QMetaType::QDateTime));
        QCOMPARE(rs->field("d").value().toDouble(), 2.5);
        QCOMPARE(rs->field("x").type(), 131);
        QCOMPARE(rs->field("x").precision(), quint8(10));
        QCOMPARE(rs->field("x").numericScale(), quint8(2));
        QCOMPARE(rs->field("x").value().toDouble(), 12.25);
    }

    // The keys and indexes read from SQLite's pragmas and from MariaDB's information_schema.
    // Tables, views, columns, their sizes and nulls are the toolkit's schema tests' cases.
    void catalogo() {
        const bool sqlite = con_.motor() == u"sqlite";
        con_.execute("DROP TABLE IF EXISTS tCat");
        con_.execute("DROP TABLE IF EXISTS tFila");
        con_.execute(
            "CREATE TABLE tCat (b int NOT NULL, a int NOT NULL, nombre varchar(30), "
            "PRIMARY KEY (b,a))");
        con_.execute("CREATE UNIQUE INDEX ixCat ON tCat (nombre, a)");
        con_.execute("CREATE INDEX ixCat2 ON tCat (a)");
        Catalog catalogo(&con_, sqlite ? Catalog::Motor::Sqlite : Catalog::Motor::MySql);
        const CatalogTable t = catalogo.table("tCat");
        QStringList claves;
        for (const platform::CatalogIndex& i : t.indexes) {
            if (i.primaryKey) {
                claves << i.columns.join(u'+');
            }
        }
        // Key order, not column order.
        QCOMPARE(claves, QStringList{"b+a"});
        QVERIFY(t.index("ixCat").unique);
        QCOMPARE(t.index("ixCat").columns, (QStringList{"nombre", "a"}));
        QVERIFY(!t.index("ixCat2").unique);
        QVERIFY(!t.index("ixCat2").primaryKey);
        QCOMPARE(prueba::errorLanzado([&] { t.column("falta"); }).numero(), 3265);

        // A single "integer" key is SQLite's row id and has no index of its own.
        con_.execute("CREATE TABLE tFila (cod integer NOT NULL, PRIMARY KEY (cod))");
        const CatalogTable fila = catalogo.table(sqlite ? "TFILA" : "tFila");
        QCOMPARE(fila.name, QStringLiteral("tFila"));
        QCOMPARE(fila.indexes.size(), 1);
        QVERIFY(fila.indexes.at(0).primaryKey);
        QCOMPARE(fila.indexes.at(0).columns, QStringList{"cod"});
    }
};

QTEST_GUILESS_MAIN(TstRecordset)
#include "tst_Recordset.moc"
