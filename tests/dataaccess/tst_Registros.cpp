#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"
#include "support/ErrorLanzado.h"
#include "support/MensajeriaGrabada.h"
#include "support/MotoresPrueba.h"

using platform::Recordset;
using platform::RecordsetPtr;

using namespace Qt::Literals::StringLiterals;

// The record and field utilities on the real engines, and their engine-free helpers.
class TstRegistros : public QObject {
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    std::unique_ptr<aConexion> c_;

    static RecordsetPtr editable(aConexion& c, const QString& sql) {
        auto r = std::make_shared<Recordset>();
        r->open(sql, c.con(), 0, Recordset::kOptimista);
        return r;
    }

private slots:
    void initTestCase_data() { prueba::filasMotores(); }
    void init() {
        QFETCH_GLOBAL(QString, motor);
        // tEsqReg (cod key, nombre Texto 5, grupo, importe) and an empty tErrores.
        c_ = prueba::conectaMotor(motor, carpeta_.path());
        if (!c_) {
            return;
        }
        c_->creaTablaRapida(u"tEsqReg"_s, u"cod"_s, u"nombre T 5 N,grupo L N,importe M N"_s);
        c_->executeNR(u"DROP TABLE IF EXISTS tErrores"_s);
        c_->executeNR(
            u"CREATE TABLE tErrores (fecha DATETIME, codConexion INT, error VARCHAR(250), "_s
            u"query TEXT, historial TEXT)"_s);
    }
    void cleanup() { c_.reset(); }

    // valor: blank is null, anything else as it came; valorC: a currency of four decimals.
    void valores() {
        const struct {
            QVariant entrada;
            bool nulo;
            QVariant moneda;  // text: valorC fails
        } filas[] = {{QString(), true, {}},         {QVariant(), true, {}},
                     {u"12,5"_s, false, 12.5},      {u" 3.25 "_s, false, 3.25},
                     {1.234567, false, 1.2346},     {7, false, 7.0},
                     {u"doce"_s, false, u"error"_s}};
        for (const auto& f : filas) {
            QCOMPARE(aConexion::valor(f.entrada).isNull(), f.nulo);
            if (!f.nulo) {
                QCOMPARE(aConexion::valor(f.entrada), f.entrada);
            }
            if (f.moneda.typeId() == QMetaType::QString) {
                QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, aConexion::valorC(f.entrada));
            } else {
                QCOMPARE(aConexion::valorC(f.entrada).isNull(), f.nulo);
                QCOMPARE(aConexion::valorC(f.entrada).toDouble(), f.moneda.toDouble());
            }
        }
    }

    void buffers() {
        c_->executeNR(u"INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (1,'a',1)"_s);
        c_->cargaBuffer(u"uno"_s, u"SELECT * FROM tEsqReg"_s);
        c_->cargaBuffer(u"dos"_s, u"SELECT cod FROM tEsqReg WHERE grupo=2"_s);
        QCOMPARE(c_->Buffer(u"UNO"_s)->recordCount(), 1);
        c_->executeNR(u"INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (2,'b',2)"_s);
        c_->recargaBuffers();
        QCOMPARE(c_->Buffer(u"uno"_s)->recordCount(), 2);
        QCOMPARE(c_->Buffer(u"dos"_s)->recordCount(), 1);
        // The same name replaces; a failing query leaves no buffer of that name.
        c_->cargaBuffer(u"uno"_s, u"SELECT * FROM tEsqReg WHERE cod=2"_s);
        QCOMPARE(c_->Buffer(u"uno"_s)->recordCount(), 1);
        c_->cargaBuffer(u"uno"_s, u"SELECT * FROM tEsqNoHay"_s);
        QVERIFY(c_->Buffer(u"uno"_s) == nullptr);
        QVERIFY(c_->Buffer(u"dos"_s) != nullptr);
        c_->vaciaBuffers();
        QVERIFY(c_->Buffer(u"dos"_s) == nullptr);
        c_->cargaBuffer(u"tres"_s, u"SELECT * FROM tEsqReg"_s);
        c_->desconecta();
        QVERIFY(c_->Buffer(u"tres"_s) == nullptr);
    }

    void campos() {
        MensajeriaGrabada mensajes;
        c_->executeNR(u"INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (1,'a',1)"_s);
        RecordsetPtr r = editable(*c_, u"SELECT * FROM tEsqReg"_s);
        QCOMPARE(c_->campo(*r, u"nombre"_s).toString(), u"a"_s);
        c_->setCampo(*r, u"grupo"_s, 9);
        QCOMPARE(c_->ultimoCampoAsignado(), u"grupo en SELECT * FROM tEsqReg"_s);
        QVERIFY(c_->actualiza(*r));
        QCOMPARE(c_->valorCampo(u"grupo"_s, u"SELECT grupo FROM tEsqReg"_s).toInt(), 9);

        QCOMPARE(c_->r(*r, u"cod"_s).toInt(), 1);
        QVERIFY(!c_->r(*r, u"falta"_s).isValid());
        QVERIFY(c_->valorCampo(u"error"_s, u"SELECT error FROM tErrores"_s)
                    .toString()
                    .startsWith(u"Error accediendo a campo: falta: "_s));
        QVERIFY(c_->dato(*r, u"falta"_s).isNull());
        QCOMPARE(
            mensajes.textos(MensajeriaGrabada::Clase::Mensaje),
            QStringList{"No se encuentra el campo 'falta' en el resultado: SELECT * FROM tEsqReg"});
        QVERIFY_THROWS_EXCEPTION(
            platform::ErrorEjecucion,
            c_->valorCampo(u"cod"_s, u"SELECT cod FROM tEsqReg WHERE cod=5"_s));
    }

    void contenidoRegistro() {
        c_->executeNR(u"INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (5,'x,y%',NULL)"_s);
        RecordsetPtr r =
            c_->con()->execute(u"SELECT cod AS a,nombre AS b,grupo AS g FROM tEsqReg"_s);
        QCOMPARE(c_->contenidoRegistro(*r), u"a=5,b=x44%y37%,g="_s);
    }

    // A save refused for a duplicate key is registered with the record and raised again.
    void actualizaDuplicado() {
        c_->executeNR(u"INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (1,'a',1)"_s);
        RecordsetPtr r = editable(*c_, u"SELECT * FROM tEsqReg WHERE cod=-1"_s);
        r->addNew();
        r->field(u"cod"_s).setValue(1);
        r->field(u"nombre"_s).setValue(u"o'k"_s);
        const platform::ErrorEjecucion e = prueba::errorLanzado([&] { c_->actualiza(*r); });
        QVERIFY(e.sqlState().startsWith(u"23"));
        // The refused INSERT is registered by the execution events too; ours carries the record.
        QStringList errores;
        QString query;
        RecordsetPtr filas = c_->con()->execute(u"SELECT * FROM tErrores"_s);
        for (; !filas->eof(); filas->moveNext()) {
            errores << filas->field(u"error"_s).value().toString();
            if (errores.last().startsWith(u"Añadir")) {
                query = filas->field(u"query"_s).value().toString();
            }
        }
        QVERIFY2(errores.contains((u"Añadir Recordset: "_s + e.descripcion()).left(250)),
                 qPrintable(errores.join(u'|')));
        // The dump is flattened before the registration flattens its query once more.
        QCOMPARE(query, u"cod=1,nombre=o''k,grupo=,importe="_s);
        QCOMPARE(c_->nRegistros(u"tEsqReg"_s), 1);
    }

    void copias() {
        c_->creaTablaRapida(u"tEsqCopia"_s, u"cod"_s, u"nombre T 5 N,grupo L N,importe M N"_s);
        c_->executeNR(u"INSERT INTO tEsqReg (cod,nombre,grupo,importe) VALUES (1,'a',1,2.5)"_s);
        c_->executeNR(u"INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (2,'b',NULL)"_s);
        c_->insertaRegistrosTabla(u"tEsqReg"_s, u"tEsqCopia"_s, u"cod"_s);
        QCOMPARE(c_->nRegistros(u"tEsqCopia"_s), 2);
        QCOMPARE(
            c_->valorCampo(u"importe"_s, u"SELECT importe FROM tEsqCopia WHERE cod=1"_s).toDouble(),
            2.5);

        RecordsetPtr origen = c_->con()->execute(u"SELECT * FROM tEsqReg WHERE cod=2"_s);
        RecordsetPtr nuevo = editable(*c_, u"SELECT * FROM tEsqCopia WHERE cod=-1"_s);
        nuevo->addNew();
        c_->duplicaRegistro(*nuevo, *origen);
        nuevo->field(u"cod"_s).setValue(3);
        QVERIFY(c_->actualiza(*nuevo));
        QCOMPARE(c_->codRef(u"tEsqCopia"_s, u"nombre"_s, u"cod"_s, u"b"_s), 2);
        QCOMPARE(c_->nRegistros(u"tEsqCopia"_s, u" WHERE nombre='b'"_s), 2);

        RecordsetPtr menos = c_->con()->execute(u"SELECT cod FROM tEsqReg"_s);
        RecordsetPtr otro = editable(*c_, u"SELECT * FROM tEsqCopia WHERE cod=-1"_s);
        otro->addNew();
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c_->duplicaRegistro(*otro, *menos));
        c_->eliminaTabla(u"tEsqCopia"_s);
    }

    void grabaDatos() {
        c_->añadeCampoTabla(u"tEsqReg"_s, u"alta"_s, aConexion::kFecha, -1, true, false);
        c_->añadeCampoTabla(u"tEsqReg"_s, u"activo"_s, aConexion::kEntero, -1, true, false);
        c_->añadeCampoTabla(u"tEsqReg"_s, u"nota"_s, aConexion::kTexto, 20, true, false);
        MensajeriaGrabada mensajes;
        QWidget ventana;
        auto control = [&ventana](QWidget* w, const char* nombre, const char* tag) {
            w->setParent(&ventana);
            w->setObjectName(QString::fromLatin1(nombre));
            w->setProperty("tag", QString::fromUtf8(tag));
            return w;
        };
        auto* cod = new QSpinBox;
        cod->setRange(0, 1000);
        cod->setValue(7);
        control(cod, "scod", "D");
        auto* nombre = new QLineEdit(u"abcdefgh"_s);
        control(nombre, "tnombre", "T");
        auto* grupo = new QComboBox;
        grupo->addItems({"uno", "dos", "tres"});
        grupo->setCurrentIndex(1);
        control(grupo, "cgrupo", "L10;20;30#lista de grupos");
        auto* importe = new QLineEdit(u" 12.75 "_s);
        control(importe, "timporte", "R");
        auto* alta = new QLineEdit(u"13/03/2007"_s);
        control(alta, "talta", "F");
        auto* activo = new QCheckBox;
        activo->setChecked(true);
        control(activo, "oactivo", "H");
        auto* nota = new QComboBox;
        nota->addItem(u"Texto visible"_s, u"ligado"_s);
        control(nota, "cnota", "C");
        control(new QLineEdit(u"sin tag"_s), "tsintag", "");
        control(new QLineEdit(u"x"_s), "tnada", "Zx");

        RecordsetPtr r = editable(*c_, u"SELECT * FROM tEsqReg WHERE cod=-1"_s);
        r->addNew();
        c_->grabaDatos(&ventana, *r);
        QVERIFY2(mensajes.registros.isEmpty(),
                 qPrintable(mensajes.textos(MensajeriaGrabada::Clase::Mensaje).join(u'|')));
        QVERIFY(c_->actualiza(*r));
        RecordsetPtr leido = c_->con()->execute(u"SELECT * FROM tEsqReg WHERE cod=7"_s);
        QVERIFY(!leido->eof());
        QCOMPARE(leido->field(u"nombre"_s).value().toString(), u"abcde"_s);
        QCOMPARE(leido->field(u"grupo"_s).value().toInt(), 20);
        QCOMPARE(leido->field(u"importe"_s).value().toDouble(), 12.75);
        QCOMPARE(leido->field(u"alta"_s).value().toDate(), QDate(2007, 3, 13));
        QCOMPARE(leido->field(u"activo"_s).value().toInt() != 0, true);
        QCOMPARE(leido->field(u"nota"_s).value().toString(), u"ligado"_s);

        // Blank text and no selection store null; a failing control stops the rest.
        nombre->setText(u"   "_s);
        grupo->setCurrentIndex(-1);
        importe->setText(u"doce"_s);
        cod->setValue(8);
        r->addNew();
        c_->grabaDatos(&ventana, *r);
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Mensaje).size(), 1);
        const QString aviso = mensajes.textos(MensajeriaGrabada::Clase::Mensaje).at(0);
        QVERIFY2(aviso.startsWith(u"Error grabando datos:\r\n"_s), qPrintable(aviso));
        QVERIFY(aviso.endsWith(u"\r\nCampo: importe"_s));
        QVERIFY(r->field(u"nombre"_s).value().isNull());
        QVERIFY(r->field(u"grupo"_s).value().isNull());
        // alta comes after importe and was not written.
        QVERIFY(!r->field(u"alta"_s).value().isValid() || r->field(u"alta"_s).value().isNull());
        r->cancelUpdate();
    }
};

QTEST_MAIN(TstRegistros)
#include "tst_Registros.moc"
