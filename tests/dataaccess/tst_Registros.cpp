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
#include "support/MensajeriaGrabada.h"
#include "support/MotoresPrueba.h"

using platform::Recordset;
using platform::RecordsetPtr;

// The record and field utilities on the real engines, and their engine-free helpers.
class TstRegistros : public QObject {
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    prueba::MotorPrueba motor_;

    // An open instance with tEsqReg (cod key, nombre Texto 5, grupo, importe) and tErrores.
    std::unique_ptr<aConexion> prepara() {
        QFETCH(QString, motor);
        motor_ = prueba::motorPrueba(motor, carpeta_.path());
        if (motor_.textoConexion.isEmpty()) {
            return nullptr;
        }
        auto c = std::make_unique<aConexion>();
        c->setTipoConexion(motor == u"mariadb" ? 2 : 0);
        c->setCadenaConexion(motor_.textoConexion);
        c->conecta(true);
        c->creaTablaRapida(QStringLiteral("tEsqReg"), QStringLiteral("cod"),
                           QStringLiteral("nombre T 5 N,grupo L N,importe M N"));
        if (!c->existeTabla(QStringLiteral("tErrores"))) {
            c->nuevaTabla(QStringLiteral("tErrores"));
            c->nuevoCampo(QStringLiteral("fecha"), aConexion::kFechaPrecisa, -1, true, false);
            c->nuevoCampo(QStringLiteral("codConexion"), aConexion::kEnteroLargo, -1, true, false);
            c->nuevoCampo(QStringLiteral("error"), aConexion::kTexto, 250, true, false);
            c->nuevoCampo(QStringLiteral("query"), aConexion::kMemo, 0, true, false);
            c->nuevoCampo(QStringLiteral("historial"), aConexion::kMemo, 0, true, false);
            c->creaTabla();
        }
        c->executeNR(QStringLiteral("DELETE FROM tErrores"));
        return c;
    }

    static RecordsetPtr editable(aConexion& c, const QString& sql) {
        auto r = std::make_shared<Recordset>();
        r->open(sql, c.con(), 0, Recordset::kOptimista);
        return r;
    }

    static QString ultimoError(aConexion& c) {
        return c.valorCampo(QStringLiteral("error"), QStringLiteral("SELECT error FROM tErrores"))
            .toString();
    }

private slots:
    void valores_data() {
        QTest::addColumn<QVariant>("entrada");
        QTest::addColumn<bool>("nuloValor");
        QTest::addColumn<QVariant>("moneda");  // invalid: valorC fails
        QTest::newRow("empty text") << QVariant(QString()) << true << QVariant();
        QTest::newRow("nothing") << QVariant() << true << QVariant();
        QTest::newRow("comma decimal")
            << QVariant(QStringLiteral("12,5")) << false << QVariant(12.5);
        QTest::newRow("point decimal")
            << QVariant(QStringLiteral(" 3.25 ")) << false << QVariant(3.25);
        QTest::newRow("four decimals") << QVariant(1.234567) << false << QVariant(1.2346);
        QTest::newRow("number") << QVariant(7) << false << QVariant(7.0);
        QTest::newRow("not a number")
            << QVariant(QStringLiteral("doce")) << false << QVariant(QStringLiteral("error"));
    }

    void valores() {
        QFETCH(QVariant, entrada);
        QFETCH(bool, nuloValor);
        QFETCH(QVariant, moneda);
        QCOMPARE(aConexion::valor(entrada).isNull(), nuloValor);
        if (!nuloValor) {
            QCOMPARE(aConexion::valor(entrada), entrada);
        }
        if (moneda.typeId() == QMetaType::QString) {
            QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, aConexion::valorC(entrada));
        } else if (nuloValor) {
            QVERIFY(aConexion::valorC(entrada).isNull());
        } else {
            QCOMPARE(aConexion::valorC(entrada).toDouble(), moneda.toDouble());
        }
    }

    void buffers_data() { prueba::filasMotores(); }

    void buffers() {
        auto c = prepara();
        PRUEBA_REQUIERE_MOTOR(motor_);
        QVERIFY(c->Buffer(QStringLiteral("nunca")) == nullptr);
        c->executeNR(QStringLiteral("INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (1,'a',1)"));
        c->cargaBuffer(QStringLiteral("uno"), QStringLiteral("SELECT * FROM tEsqReg"));
        c->cargaBuffer(QStringLiteral("dos"),
                       QStringLiteral("SELECT cod FROM tEsqReg WHERE grupo=2"));
        QCOMPARE(c->Buffer(QStringLiteral("UNO"))->recordCount(), 1);
        c->executeNR(QStringLiteral("INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (2,'b',2)"));
        c->recargaBuffers();
        QCOMPARE(c->Buffer(QStringLiteral("uno"))->recordCount(), 2);
        QCOMPARE(c->Buffer(QStringLiteral("dos"))->recordCount(), 1);
        // The same name replaces; a failing query leaves no buffer of that name.
        c->cargaBuffer(QStringLiteral("uno"), QStringLiteral("SELECT * FROM tEsqReg WHERE cod=2"));
        QCOMPARE(c->Buffer(QStringLiteral("uno"))->recordCount(), 1);
        c->cargaBuffer(QStringLiteral("uno"), QStringLiteral("SELECT * FROM tEsqNoHay"));
        QVERIFY(c->Buffer(QStringLiteral("uno")) == nullptr);
        QVERIFY(c->Buffer(QStringLiteral("dos")) != nullptr);
        c->vaciaBuffers();
        QVERIFY(c->Buffer(QStringLiteral("dos")) == nullptr);
        c->cargaBuffer(QStringLiteral("tres"), QStringLiteral("SELECT * FROM tEsqReg"));
        c->desconecta();
        QVERIFY(c->Buffer(QStringLiteral("tres")) == nullptr);
    }

    void campos_data() { prueba::filasMotores(); }

    void campos() {
        auto c = prepara();
        PRUEBA_REQUIERE_MOTOR(motor_);
        MensajeriaGrabada mensajes;
        c->executeNR(QStringLiteral("INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (1,'a',1)"));
        RecordsetPtr r = editable(*c, QStringLiteral("SELECT * FROM tEsqReg"));
        QCOMPARE(c->campo(*r, QStringLiteral("nombre")).toString(), QStringLiteral("a"));
        QCOMPARE(c->ultimoCampoAsignado(), QStringLiteral("nombre en SELECT * FROM tEsqReg"));
        c->setCampo(*r, QStringLiteral("grupo"), 9);
        QCOMPARE(c->ultimoCampoAsignado(), QStringLiteral("grupo en SELECT * FROM tEsqReg"));
        QVERIFY(c->actualiza(*r));
        QCOMPARE(c->valorCampo(QStringLiteral("grupo"), QStringLiteral("SELECT grupo FROM tEsqReg"))
                     .toInt(),
                 9);

        QCOMPARE(c->r(*r, QStringLiteral("cod")).toInt(), 1);
        QVERIFY(!c->r(*r, QStringLiteral("falta")).isValid());
        QVERIFY(ultimoError(*c).startsWith(QStringLiteral("Error accediendo a campo: falta: ")));
        QVERIFY(c->dato(*r, QStringLiteral("falta")).isNull());
        QCOMPARE(
            mensajes.textos(MensajeriaGrabada::Clase::Mensaje),
            QStringList{"No se encuentra el campo 'falta' en el resultado: SELECT * FROM tEsqReg"});
        QVERIFY_THROWS_EXCEPTION(
            platform::ErrorEjecucion,
            c->valorCampo(QStringLiteral("cod"),
                          QStringLiteral("SELECT cod FROM tEsqReg WHERE cod=5")));

        QCOMPARE(c->nRegistros(QStringLiteral("tEsqReg")), 1);
        QCOMPARE(c->nRegistros(QStringLiteral("tEsqReg"), QStringLiteral(" WHERE grupo=3")), 0);
        QCOMPARE(c->codRef(QStringLiteral("tEsqReg"), QStringLiteral("nombre"),
                           QStringLiteral("cod"), QStringLiteral("a")),
                 1);
        QCOMPARE(c->codRef(QStringLiteral("tEsqReg"), QStringLiteral("nombre"),
                           QStringLiteral("cod"), QStringLiteral("z'")),
                 -1);
    }

    void contenidoRegistro_data() { prueba::filasMotores(); }

    void contenidoRegistro() {
        auto c = prepara();
        PRUEBA_REQUIERE_MOTOR(motor_);
        c->executeNR(
            QStringLiteral("INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (5,'x,y%',NULL)"));
        RecordsetPtr r = c->con()->execute(
            QStringLiteral("SELECT cod AS a,nombre AS b,grupo AS g FROM tEsqReg"));
        QCOMPARE(c->contenidoRegistro(*r), QStringLiteral("a=5,b=x44%y37%,g="));
        c->executeNR(QStringLiteral("UPDATE tEsqReg SET nombre='50%'"));
        r = c->con()->execute(QStringLiteral("SELECT nombre FROM tEsqReg"));
        QCOMPARE(c->contenidoRegistro(*r), QStringLiteral("nombre=5037%"));
    }

    void actualizaDuplicado_data() { prueba::filasMotores(); }

    // A save refused for a duplicate key is registered with the record and raised again.
    void actualizaDuplicado() {
        auto c = prepara();
        PRUEBA_REQUIERE_MOTOR(motor_);
        c->executeNR(QStringLiteral("INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (1,'a',1)"));
        RecordsetPtr r = editable(*c, QStringLiteral("SELECT * FROM tEsqReg WHERE cod=-1"));
        r->addNew();
        r->field(QStringLiteral("cod")).setValue(1);
        r->field(QStringLiteral("nombre")).setValue(QStringLiteral("o'k"));
        try {
            c->actualiza(*r);
            QFAIL("a duplicate key was saved");
        } catch (const platform::ErrorEjecucion& e) {
            // The refused INSERT is registered by the execution events too; ours carries the
            // record.
            QStringList errores;
            QString query;
            RecordsetPtr filas = c->con()->execute(QStringLiteral("SELECT * FROM tErrores"));
            for (; !filas->eof(); filas->moveNext()) {
                errores << filas->field(QStringLiteral("error")).value().toString();
                if (errores.last().startsWith(u"Añadir")) {
                    query = filas->field(QStringLiteral("query")).value().toString();
                }
            }
            QVERIFY2(errores.contains(
                         (QStringLiteral("Añadir Recordset: ") + e.descripcion()).left(250)),
                     qPrintable(errores.join(u'|')));
            // The dump is flattened before the registration flattens its query once more.
            QCOMPARE(query, QStringLiteral("cod=1,nombre=o''k,grupo=,importe="));
            QVERIFY(e.sqlState().startsWith(u"23"));
        }
        QCOMPARE(c->nRegistros(QStringLiteral("tEsqReg")), 1);
    }

    void copias_data() { prueba::filasMotores(); }

    void copias() {
        auto c = prepara();
        PRUEBA_REQUIERE_MOTOR(motor_);
        c->creaTablaRapida(QStringLiteral("tEsqCopia"), QStringLiteral("cod"),
                           QStringLiteral("nombre T 5 N,grupo L N,importe M N"));
        c->executeNR(
            QStringLiteral("INSERT INTO tEsqReg (cod,nombre,grupo,importe) VALUES (1,'a',1,2.5)"));
        c->executeNR(QStringLiteral("INSERT INTO tEsqReg (cod,nombre,grupo) VALUES (2,'b',NULL)"));
        c->insertaRegistrosTabla(QStringLiteral("tEsqReg"), QStringLiteral("tEsqCopia"),
                                 QStringLiteral("cod"));
        QCOMPARE(c->nRegistros(QStringLiteral("tEsqCopia")), 2);
        QCOMPARE(c->valorCampo(QStringLiteral("importe"),
                               QStringLiteral("SELECT importe FROM tEsqCopia WHERE cod=1"))
                     .toDouble(),
                 2.5);

        RecordsetPtr origen =
            c->con()->execute(QStringLiteral("SELECT * FROM tEsqReg WHERE cod=2"));
        RecordsetPtr nuevo = editable(*c, QStringLiteral("SELECT * FROM tEsqCopia WHERE cod=-1"));
        nuevo->addNew();
        c->duplicaRegistro(*nuevo, *origen);
        nuevo->field(QStringLiteral("cod")).setValue(3);
        QVERIFY(c->actualiza(*nuevo));
        QCOMPARE(c->codRef(QStringLiteral("tEsqCopia"), QStringLiteral("nombre"),
                           QStringLiteral("cod"), QStringLiteral("b")),
                 2);
        QCOMPARE(c->nRegistros(QStringLiteral("tEsqCopia"), QStringLiteral(" WHERE nombre='b'")),
                 2);

        RecordsetPtr menos = c->con()->execute(QStringLiteral("SELECT cod FROM tEsqReg"));
        RecordsetPtr otro = editable(*c, QStringLiteral("SELECT * FROM tEsqCopia WHERE cod=-1"));
        otro->addNew();
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c->duplicaRegistro(*otro, *menos));
        c->eliminaTabla(QStringLiteral("tEsqCopia"));
    }

    void grabaDatos_data() { prueba::filasMotores(); }

    void grabaDatos() {
        auto c = prepara();
        PRUEBA_REQUIERE_MOTOR(motor_);
        c->añadeCampoTabla(QStringLiteral("tEsqReg"), QStringLiteral("alta"), aConexion::kFecha, -1,
                           true, false);
        c->añadeCampoTabla(QStringLiteral("tEsqReg"), QStringLiteral("activo"), aConexion::kEntero,
                           -1, true, false);
        c->añadeCampoTabla(QStringLiteral("tEsqReg"), QStringLiteral("nota"), aConexion::kTexto, 20,
                           true, false);
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
        auto* nombre = new QLineEdit(QStringLiteral("abcdefgh"));
        control(nombre, "tnombre", "T");
        auto* grupo = new QComboBox;
        grupo->addItems({"uno", "dos", "tres"});
        grupo->setCurrentIndex(1);
        control(grupo, "cgrupo", "L10;20;30#lista de grupos");
        auto* importe = new QLineEdit(QStringLiteral(" 12.75 "));
        control(importe, "timporte", "R");
        auto* alta = new QLineEdit(QStringLiteral("13/03/2007"));
        control(alta, "talta", "F");
        auto* activo = new QCheckBox;
        activo->setChecked(true);
        control(activo, "oactivo", "H");
        auto* nota = new QComboBox;
        nota->addItem(QStringLiteral("Texto visible"), QStringLiteral("ligado"));
        control(nota, "cnota", "C");
        control(new QLineEdit(QStringLiteral("sin tag")), "tsintag", "");
        control(new QLineEdit(QStringLiteral("x")), "tnada", "Zx");

        RecordsetPtr r = editable(*c, QStringLiteral("SELECT * FROM tEsqReg WHERE cod=-1"));
        r->addNew();
        c->grabaDatos(&ventana, *r);
        QVERIFY2(mensajes.registros.isEmpty(),
                 qPrintable(mensajes.textos(MensajeriaGrabada::Clase::Mensaje).join(u'|')));
        QVERIFY(c->actualiza(*r));
        RecordsetPtr leido = c->con()->execute(QStringLiteral("SELECT * FROM tEsqReg WHERE cod=7"));
        QVERIFY(!leido->eof());
        QCOMPARE(leido->field(QStringLiteral("nombre")).value().toString(),
                 QStringLiteral("abcde"));
        QCOMPARE(leido->field(QStringLiteral("grupo")).value().toInt(), 20);
        QCOMPARE(leido->field(QStringLiteral("importe")).value().toDouble(), 12.75);
        QCOMPARE(leido->field(QStringLiteral("alta")).value().toDate(), QDate(2007, 3, 13));
        QCOMPARE(leido->field(QStringLiteral("activo")).value().toInt() != 0, true);
        QCOMPARE(leido->field(QStringLiteral("nota")).value().toString(), QStringLiteral("ligado"));

        // Blank text and no selection store null; a failing control stops the rest.
        nombre->setText(QStringLiteral("   "));
        grupo->setCurrentIndex(-1);
        importe->setText(QStringLiteral("doce"));
        cod->setValue(8);
        r->addNew();
        c->grabaDatos(&ventana, *r);
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Mensaje).size(), 1);
        const QString aviso = mensajes.textos(MensajeriaGrabada::Clase::Mensaje).at(0);
        QVERIFY2(aviso.startsWith(QStringLiteral("Error grabando datos:\r\n")), qPrintable(aviso));
        QVERIFY(aviso.endsWith(QStringLiteral("\r\nCampo: importe")));
        QVERIFY(r->field(QStringLiteral("nombre")).value().isNull());
        QVERIFY(r->field(QStringLiteral("grupo")).value().isNull());
        // alta comes after importe and was not written.
        QVERIFY(!r->field(QStringLiteral("alta")).value().isValid() ||
                r->field(QStringLiteral("alta")).value().isNull());
        r->cancelUpdate();
    }
};

QTEST_MAIN(TstRegistros)
#include "tst_Registros.moc"
