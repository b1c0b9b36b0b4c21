#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Recordset.h"
#include "support/MensajeriaGrabada.h"
#include "support/MotoresPrueba.h"

namespace {

constexpr qint32 kMaximo = 2147483647;

struct ColumnaEsperada {
    int tipo;       // type code read back
    qint32 tamano;  // defined size read back
};

}  // namespace

// The schema toolkit on the real engines: the file database (SQLite) and MySQL (MariaDB).
class TstEsquemaMotores : public QObject {
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    bool esMariaDb_ = false;

    // An open instance on the engine of the current data row.
    std::unique_ptr<aConexion> abre(const prueba::MotorPrueba& motor) {
        auto c = std::make_unique<aConexion>();
        c->setTipoConexion(motor.nombre == u"mariadb" ? 2 : 0);
        c->setCadenaConexion(motor.textoConexion);
        c->conecta(true);
        esMariaDb_ = motor.nombre == u"mariadb";
        return c;
    }

    static qint32 cuenta(aConexion& c, const QString& tabla) { return c.nRegistros(tabla); }

private slots:
    void tiposLeidos_data() { prueba::filasMotores(); }

    // Every type code the builder maps, created and read back by nCampos and the catalogue.
    void tiposLeidos() {
        QFETCH(QString, motor);
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpeta_.path());
        PRUEBA_REQUIERE_MOTOR(m);
        auto c = abre(m);
        QVERIFY2(c->conexionAbierta(), qPrintable(c->mensajeErrorConexion()));
        c->eliminaTabla(QStringLiteral("tEsqTipos"));
        c->nuevaTabla(QStringLiteral("tEsqTipos"));
        for (int tipo = 0; tipo <= 12; ++tipo) {
            const qint16 tamano =
                tipo == aConexion::kTexto ? 40 : (tipo == aConexion::kDecimal ? 2 : -1);
            c->nuevoCampo(QStringLiteral("c%1").arg(tipo), tipo, tamano, tipo % 2 == 1, tipo == 0);
        }
        c->creaTabla();
        QVERIFY(c->existeTabla(QStringLiteral("tEsqTipos")));

        // The file database keeps the builder's type names and reports the codes its
        // recordsets report (integer reads as a long, yesno and memo have no builder code,
        // byte reads as Booleano); MySQL reports its own types.
        const QVector<ColumnaEsperada> sqlite = {
            {0, 4},  {0, 4}, {2, 8}, {0, 2}, {4, 8},        {0, 536870910}, {3, 1},
            {7, 40}, {8, 4}, {9, 8}, {2, 8}, {11, kMaximo}, {9, 8}};
        const QVector<ColumnaEsperada> mariadb = {
            {0, 4},  {1, 2}, {2, 16}, {1, 1},  {9, 8},        {5, 65535}, {1, 1},
            {7, 40}, {9, 8}, {9, 8},  {2, 16}, {11, kMaximo}, {8, 19}};
        const QVector<ColumnaEsperada>& esperadas = esMariaDb_ ? mariadb : sqlite;
        QCOMPARE(c->nCampos(QStringLiteral("tEsqTipos")).toInt(), 13);
        for (int i = 0; i < 13; ++i) {
            const qint16 n = static_cast<qint16>(i + 1);
            QCOMPARE(c->parametroCampo(n, 0), QStringLiteral("c%1").arg(i));
            QCOMPARE(c->parametroCampo(n, 1).toInt(), esperadas.at(i).tipo);
            QCOMPARE(c->parametroCampo(n, 6).toInt(), esperadas.at(i).tipo);
            QCOMPARE(c->parametroCampo(n, 2).toLongLong(), esperadas.at(i).tamano);
            // Booleano is NOT NULL on its own on no engine here: it follows the flag.
            QCOMPARE(c->parametroCampo(n, 4), QString(i % 2 == 1 ? "S" : "N"));
            QCOMPARE(c->parametroCampo(n, 5), QString(i == 0 ? "S" : "N"));
            QCOMPARE(c->parametroCampo(n, 3), QString());
        }

        QVERIFY(c->existeCampo(QStringLiteral("tEsqTipos"), QStringLiteral("c12")));
        QVERIFY(c->existeCampo(QStringLiteral("tEsqTipos"), QStringLiteral("C7")) || esMariaDb_);
        QVERIFY(!c->existeCampo(QStringLiteral("tEsqTipos"), QStringLiteral("nada")));
        QVERIFY(!c->existeCampo(QStringLiteral("tEsqNada"), QStringLiteral("c0")));
        QVERIFY(!c->existeTabla(QStringLiteral("tEsqNada")));
        QVERIFY(!c->existeTabla(QStringLiteral("tEsq'Nada")));

        QVERIFY(!c->existeIndice(QStringLiteral("tEsqTipos"), QStringLiteral("ixEsqTipos")));
        c->creaIndiceTabla(QStringLiteral("ixEsqTipos"), QStringLiteral("tEsqTipos"),
                           QStringLiteral("c7,c1"), false, true);
        QVERIFY(c->existeIndice(QStringLiteral("tEsqTipos"), QStringLiteral("ixEsqTipos")));
        QVERIFY(!c->existeIndice(QStringLiteral("tEsqTipos"), QStringLiteral("ixNada")));
        // Made again on other columns, the index is replaced.
        c->creaIndiceTabla(QStringLiteral("ixEsqTipos"), QStringLiteral("tEsqTipos"),
                           QStringLiteral("c2"));
        QCOMPARE(c->nCampos(QStringLiteral("tEsqTipos")).toInt(), 13);
        c->executeNR(QStringLiteral("DELETE FROM tEsqTipos"));
        const QString fila = QStringLiteral(
            "INSERT INTO tEsqTipos (c0,c2,c4,c6,c8,c10,c12,c7,c1) VALUES (%1,%2,1,1,1,%2,1,'x',1)");
        const QString fecha = c->fecha(QDate(2007, 3, 13));
        c->executeNR(fila.arg(1).arg(fecha));
        // (c7,c1) is no longer unique: a second equal pair is accepted.
        c->executeNR(fila.arg(2).arg(fecha));
        QCOMPARE(c->nRegistros(QStringLiteral("tEsqTipos")), 2);
        c->executeNR(QStringLiteral("DELETE FROM tEsqTipos"));
        QVERIFY(!c->existeIndice(QStringLiteral("tEsqNada"), QStringLiteral("ixEsqTipos")));

        QCOMPARE(c->maxLength(QStringLiteral("tEsqTipos"), QStringLiteral("c7")).toInt(), 40);
        QCOMPARE(c->maxLength(QStringLiteral("tEsqTipos"), QStringLiteral("c5")).toInt(), 0);
        QCOMPARE(c->tamañoCampo(QStringLiteral("tEsqTipos"), QStringLiteral("c7")), qint16(40));
        QCOMPARE(c->tipoDatoCampo(QStringLiteral("tEsqTipos"), QStringLiteral("c7")),
                 qint16(esMariaDb_ ? 200 : 202));
        QVERIFY_THROWS_EXCEPTION(
            platform::ErrorEjecucion,
            c->tamañoCampo(QStringLiteral("tEsqTipos"), QStringLiteral("nada")));
        QVERIFY(!c->campoTexto(QStringLiteral("tEsqTipos"), QStringLiteral("c7")));

        const qint32 n = c->nTablas();
        QStringList tablas;
        for (qint16 i = 1; i <= n; ++i) {
            tablas << c->tabla(i);
        }
        QVERIFY(tablas.contains(QStringLiteral("tEsqTipos")));
        QVERIFY(tablas.contains(QStringLiteral("tSecuencias")));
        // Views are not listed.
        c->executeNR(QStringLiteral("CREATE VIEW vEsqTipos AS SELECT c0 FROM tEsqTipos"));
        QCOMPARE(c->nTablas(), n);
        QVERIFY(c->existeTabla(QStringLiteral("vEsqTipos")));
        c->executeNR(QStringLiteral("DROP VIEW vEsqTipos"));

        // A Memo keeps number-like text as it was written.
        c->executeNR(QStringLiteral("INSERT INTO tEsqTipos (c0,c2,c4,c6,c8,c10,c12,c5) VALUES "
                                    "(9,%1,1,1,1,%1,1,'00123')")
                         .arg(c->fecha(QDate(2007, 3, 13))));
        QCOMPARE(c->valorCampo(QStringLiteral("c5"),
                               QStringLiteral("SELECT c5 FROM tEsqTipos WHERE c0=9")),
                 QVariant(QStringLiteral("00123")));
        c->executeNR(QStringLiteral("DELETE FROM tEsqTipos"));

        // An Imagen column keeps its bytes.
        QByteArray bytes("\x00\x01\xff\x7f", 4);
        auto r = std::make_shared<platform::Recordset>();
        r->open(QStringLiteral("SELECT * FROM tEsqTipos WHERE c0=-1"), c->con(), 0,
                platform::Recordset::kOptimista);
        r->addNew();
        r->field(QStringLiteral("c0")).setValue(1);
        r->field(QStringLiteral("c11")).setValue(bytes);
        const QDateTime momento(QDate(2007, 3, 13), QTime(14, 5, 9));
        const QVariantList obligados = {momento, 1.5, 7, 2.5, momento, 3.25};
        for (int i = 0; i < obligados.size(); ++i) {
            r->field(QStringLiteral("c%1").arg(2 * i + 2)).setValue(obligados.at(i));
        }
        QVERIFY(c->actualiza(*r));
        r->close();
        QCOMPARE(c->valorCampo(QStringLiteral("c11"), QStringLiteral("SELECT c11 FROM tEsqTipos"))
                     .toByteArray(),
                 bytes);
        c->eliminaTabla(QStringLiteral("tEsqTipos"));
        QVERIFY(!c->existeTabla(QStringLiteral("tEsqTipos")));
    }

    void creaTablaRapida_data() { prueba::filasMotores(); }

    void creaTablaRapida() {
        QFETCH(QString, motor);
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpeta_.path());
        PRUEBA_REQUIERE_MOTOR(m);
        auto c = abre(m);
        for (int vez = 0; vez < 2; ++vez) {
            // The second time the existing table is dropped and made again.
            c->creaTablaRapida(QStringLiteral("tEsqRapida"), QStringLiteral("codPrueba"),
                               QStringLiteral("nombre T 50,alta F N,importe M N 0,raro X 1"));
        }
        QCOMPARE(c->nCampos(QStringLiteral("tEsqRapida")).toInt(), 4);
        const QStringList nombres = {"codPrueba", "nombre", "alta", "importe"};
        const QStringList nulos = {"N", "N", "S", "S"};
        const QStringList claves = {"S", "N", "N", "N"};
        for (qint16 i = 1; i <= 4; ++i) {
            QCOMPARE(c->parametroCampo(i, 0), nombres.at(i - 1));
            QCOMPARE(c->parametroCampo(i, 4), nulos.at(i - 1));
            QCOMPARE(c->parametroCampo(i, 5), claves.at(i - 1));
        }
        QCOMPARE(c->parametroCampo(2, 2), QStringLiteral("50"));
        c->executeNR(QStringLiteral("INSERT INTO tEsqRapida (codPrueba,nombre) VALUES (1,'a')"));
        QCOMPARE(c->valorCampo(QStringLiteral("importe"),
                               QStringLiteral("SELECT importe FROM tEsqRapida"))
                     .toDouble(),
                 0.0);
        QVERIFY_THROWS_EXCEPTION(
            platform::ErrorEjecucion,
            c->executeNR(QStringLiteral("INSERT INTO tEsqRapida (codPrueba) VALUES (2)")));

        // Without key fields there is no primary key; without items only the keys.
        c->creaTablaRapida(QStringLiteral("tEsqRapida"), QString(), QStringLiteral("n L"));
        QCOMPARE(c->nCampos(QStringLiteral("tEsqRapida")).toInt(), 1);
        QCOMPARE(c->parametroCampo(1, 5), QStringLiteral("N"));
        c->creaTablaRapida(QStringLiteral("tEsqRapida"), QStringLiteral("a,b"));
        QCOMPARE(c->nCampos(QStringLiteral("tEsqRapida")).toInt(), 2);
        QCOMPARE(c->parametroCampo(2, 5), QStringLiteral("S"));
        c->eliminaTabla(QStringLiteral("tEsqRapida"));
    }

    void errores_data() { prueba::filasMotores(); }

    void errores() {
        QFETCH(QString, motor);
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpeta_.path());
        PRUEBA_REQUIERE_MOTOR(m);
        auto c = abre(m);
        c->creaTablaRapida(QStringLiteral("tEsqExiste"), QStringLiteral("a"));
        try {
            c->nuevaTabla(QStringLiteral("tEsqExiste"));
            QFAIL("an existing table was started again");
        } catch (const platform::ErrorEjecucion& e) {
            QCOMPARE(e.numero(), 2003);
            QCOMPARE(
                e.descripcion(),
                QStringLiteral("Ya existe una tabla con el mismo nombre en la base de datos."));
        }
        try {
            c->eliminaTabla(QString());
            QFAIL("a table without a name was dropped");
        } catch (const platform::ErrorEjecucion& e) {
            QCOMPARE(e.numero(), 30020);
            QCOMPARE(e.descripcion(),
                     QStringLiteral("Ha intentado eliminar una tabla sin el nombre de la tabla."));
        }
        // A refused CREATE TABLE reaches the caller and keeps the definition.
        c->nuevaTabla(QStringLiteral("tEsqMala"));
        c->nuevoCampo(QStringLiteral("a"), aConexion::kEnteroLargo, -1, false, true);
        c->nuevoCampo(QStringLiteral("a"), aConexion::kEnteroLargo, -1, false, false);
        const QString texto = c->sqlCreateTable();
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c->creaTabla());
        QCOMPARE(c->sqlCreateTable(), texto);
        c->eliminaTabla(QStringLiteral("tEsqExiste"));
        c->eliminaTabla(QStringLiteral("tEsqNuncaExistio"));
    }

    void codsiguiente_data() { prueba::filasMotores(); }

    void codsiguiente() {
        QFETCH(QString, motor);
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpeta_.path());
        PRUEBA_REQUIERE_MOTOR(m);
        auto c = abre(m);
        c->creaTablaRapida(QStringLiteral("tEsqCod"), QStringLiteral("cod"),
                           QStringLiteral("grupo L N"));
        QCOMPARE(c->codsiguiente(QStringLiteral("tEsqCod"), QStringLiteral("cod")), 1);
        c->executeNR(QStringLiteral("INSERT INTO tEsqCod (cod,grupo) VALUES (41,1)"));
        c->executeNR(QStringLiteral("INSERT INTO tEsqCod (cod,grupo) VALUES (7,2)"));
        QCOMPARE(c->codsiguiente(QStringLiteral("tEsqCod"), QStringLiteral("cod")), 42);
        QCOMPARE(c->codsiguiente(QStringLiteral("tEsqCod"), QStringLiteral("cod"),
                                 QStringLiteral("grupo=2")),
                 8);
        QCOMPARE(c->codsiguiente(QStringLiteral("tEsqCod"), QStringLiteral("cod"),
                                 QStringLiteral("grupo=3")),
                 1);
        c->eliminaTabla(QStringLiteral("tEsqCod"));
    }

    // MySQL: the tables listed in tSecuencias take their codes from the stored function
    // secuencia, loaded at connect time; an answer of 0 falls back to the largest code + 1.
    void codsiguienteSecuencia() {
        const prueba::MotorPrueba m =
            prueba::motorPrueba(QStringLiteral("mariadb"), carpeta_.path());
        PRUEBA_REQUIERE_MOTOR(m);
        auto c = abre(m);
        c->executeNR(QStringLiteral("DROP FUNCTION IF EXISTS secuencia"));
        c->executeNR(QStringLiteral(
            "CREATE FUNCTION secuencia(t VARCHAR(50), campo VARCHAR(50)) RETURNS INT "
            "DETERMINISTIC RETURN CASE WHEN t='tEsqSec' AND campo='cod' THEN 500 ELSE 0 END"));
        c->executeNR(QStringLiteral("DELETE FROM tSecuencias WHERE tabla LIKE 'tEsq%'"));
        c->executeNR(QStringLiteral(
            "INSERT INTO tSecuencias (tabla,campoCod,codigo) VALUES ('tEsqSec','cod',0)"));
        c->executeNR(QStringLiteral(
            "INSERT INTO tSecuencias (tabla,campoCod,codigo) VALUES ('tEsqCero','cod',0)"));
        c->creaTablaRapida(QStringLiteral("tEsqSec"), QStringLiteral("cod"));
        c->creaTablaRapida(QStringLiteral("tEsqCero"), QStringLiteral("cod"));
        c->executeNR(QStringLiteral("INSERT INTO tEsqSec (cod) VALUES (3)"));
        c->executeNR(QStringLiteral("INSERT INTO tEsqCero (cod) VALUES (9)"));

        // The list was read when the instance connected, before the rows were added.
        QCOMPARE(c->codsiguiente(QStringLiteral("tEsqSec"), QStringLiteral("cod")), 4);
        QVERIFY(c->reconecta(true));
        QCOMPARE(c->codsiguiente(QStringLiteral("tEsqSec"), QStringLiteral("cod")), 500);
        QCOMPARE(c->codsiguiente(QStringLiteral("tEsqCero"), QStringLiteral("cod")), 10);
        QCOMPARE(c->codsiguiente(QStringLiteral("tEsqSec"), QStringLiteral("cod"),
                                 QStringLiteral("cod<3")),
                 1);

        c->executeNR(QStringLiteral("DELETE FROM tSecuencias WHERE tabla LIKE 'tEsq%'"));
        c->executeNR(QStringLiteral("DROP FUNCTION secuencia"));
        c->eliminaTabla(QStringLiteral("tEsqSec"));
        c->eliminaTabla(QStringLiteral("tEsqCero"));
    }

    void nuevoElemento_data() { prueba::filasMotores(); }

    void nuevoElemento() {
        QFETCH(QString, motor);
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpeta_.path());
        PRUEBA_REQUIERE_MOTOR(m);
        auto c = abre(m);
        c->creaTablaRapida(QStringLiteral("tEsqElem"), QStringLiteral("cod"),
                           QStringLiteral("des T 50"));
        const QString tabla = QStringLiteral("tEsqElem");
        const QString cod = QStringLiteral("cod");
        const QString des = QStringLiteral("des");
        QCOMPARE(c->nuevoElemento(tabla, cod, des, QStringLiteral("rojo")).toInt(), 1);
        QCOMPARE(c->nuevoElemento(tabla, cod, des, QStringLiteral("verde")).toInt(), 2);
        QCOMPARE(c->nuevoElemento(tabla, cod, des, QStringLiteral("rojo")).toInt(), 1);
        QCOMPARE(c->nuevoElemento(tabla, cod, des, QStringLiteral("o'x")).toInt(), 3);
        QCOMPARE(c->nuevoElemento(tabla, cod, des, QStringLiteral("o'x")).toInt(), 3);
        // A backslash is a character like any other, on MySQL too.
        QCOMPARE(c->nuevoElemento(tabla, cod, des, QStringLiteral("c:\\x\\")).toInt(), 4);
        QCOMPARE(c->nuevoElemento(tabla, cod, des, QStringLiteral("c:\\x\\")).toInt(), 4);
        QCOMPARE(c->codRef(tabla, des, cod, QStringLiteral("c:\\x\\")), 4);
        const QVariant blanco = c->nuevoElemento(tabla, cod, des, QStringLiteral("   "));
        QVERIFY(blanco.isNull());
        QCOMPARE(cuenta(*c, tabla), 4);
        QCOMPARE(c->codRef(tabla, des, cod, QStringLiteral("o'x")), 3);
        QCOMPARE(c->codRef(tabla, des, cod, QStringLiteral("azul")), -1);
        c->eliminaTabla(tabla);
    }

    void verificaVersion_data() { prueba::filasMotores(); }

    void verificaVersion() {
        QFETCH(QString, motor);
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpeta_.path());
        PRUEBA_REQUIERE_MOTOR(m);
        auto c = abre(m);
        if (c->existeTabla(QStringLiteral("tVersiones"))) {
            c->executeNR(QStringLiteral("DELETE FROM tVersiones WHERE appName='EsqApp'"));
        }
        const aConexion::Aplicacion app{QStringLiteral("EsqApp"), 2, 3, 4};
        QString minima = QStringLiteral("sin tocar");
        // First run: the application's own version becomes the minimum.
        QVERIFY(c->verificaVersion(app, minima));
        QCOMPARE(minima, QString());
        QVERIFY(c->existeTabla(QStringLiteral("tVersiones")));
        QVERIFY(c->verificaVersion(app, minima));
        QCOMPARE(minima, QStringLiteral("2.3.4"));

        struct Caso {
            const char* guardada;
            bool resultado;
        };
        for (const Caso& caso : {Caso{"2,3,5", false}, Caso{"2,2,9", true}, Caso{"2,3,4", true},
                                 Caso{"3,0,0", false}, Caso{"1,9,9", true}}) {
            const QStringList v = QString::fromLatin1(caso.guardada).split(u',');
            c->executeNR(QStringLiteral("UPDATE tVersiones SET versionMayor=%1,versionMenor=%2,"
                                        "revision=%3 WHERE appName='EsqApp'")
                             .arg(v.at(0), v.at(1), v.at(2)));
            QCOMPARE(c->verificaVersion(app, minima), caso.resultado);
            QCOMPARE(minima, v.join(u'.'));
        }
        c->executeNR(QStringLiteral("UPDATE tVersiones SET revision=NULL WHERE appName='EsqApp'"));
        QVERIFY(c->verificaVersion(app, minima));
        QCOMPARE(minima, QString());
        QVERIFY(c->verificaVersion(aConexion::Aplicacion{}, minima));
        c->executeNR(QStringLiteral("DELETE FROM tVersiones WHERE appName='EsqApp'"));
    }

    void modificaTabla_data() { prueba::filasMotores(); }

    // A failing ADD is collected and shown once; the next column is still added.
    void modificaTabla() {
        QFETCH(QString, motor);
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpeta_.path());
        PRUEBA_REQUIERE_MOTOR(m);
        MensajeriaGrabada mensajes;
        auto c = abre(m);
        c->creaTablaRapida(QStringLiteral("tEsqAlt"), QStringLiteral("cod"),
                           QStringLiteral("a L N"));
        c->añadeCamposTabla(QStringLiteral("tEsqAlt"), false);
        c->nuevoCampo(QStringLiteral("a"), aConexion::kEnteroLargo, -1, true, false);
        c->nuevoCampo(QStringLiteral("nueva"), aConexion::kTexto, 20, true, false,
                      QStringLiteral("x"));
        c->modificaTabla();
        QVERIFY(c->existeCampo(QStringLiteral("tEsqAlt"), QStringLiteral("nueva")));
        const QStringList avisos = mensajes.textos(MensajeriaGrabada::Clase::Mensaje);
        QCOMPARE(avisos.size(), 1);
        // One description ended by a carriage return (shown as a line break).
        QVERIFY(avisos.at(0).endsWith(QStringLiteral("\r\n")));
        QVERIFY(avisos.at(0).contains(QStringLiteral("ADD a ")));
        QCOMPARE(avisos.at(0).count(u'\r'), 1);

        // Silent: nothing shown even when every ADD fails; nothing pending: nothing run.
        c->añadeCamposTabla(QStringLiteral("tEsqAlt"), true);
        c->nuevoCampo(QStringLiteral("a"), aConexion::kEnteroLargo, -1, true, false);
        c->nuevoCampo(QStringLiteral("nueva"), aConexion::kEnteroLargo, -1, true, false);
        c->modificaTabla();
        c->añadeCamposTabla(QStringLiteral("tEsqAlt"), false);
        c->modificaTabla();
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Mensaje).size(), 1);

        // One column at a time: only when the table exists and the column does not.
        c->añadeCampoTabla(QStringLiteral("tEsqAlt"), QStringLiteral("activo"),
                           aConexion::kBooleano, -1, false, false, 1);
        QVERIFY(c->existeCampo(QStringLiteral("tEsqAlt"), QStringLiteral("activo")));
        c->executeNR(QStringLiteral("INSERT INTO tEsqAlt (cod,a) VALUES (5,1)"));
        QVERIFY(
            !c->valorCampo(QStringLiteral("activo"), QStringLiteral("SELECT activo FROM tEsqAlt"))
                 .isNull());
        c->añadeCampoTabla(QStringLiteral("tEsqNada"), QStringLiteral("b"), aConexion::kEntero, -1,
                           true, false);
        QVERIFY(!c->existeTabla(QStringLiteral("tEsqNada")));
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Mensaje).size(), 1);
        c->eliminaTabla(QStringLiteral("tEsqAlt"));
    }

    void añadeReferenciaExterna_data() { prueba::filasMotores(); }

    void añadeReferenciaExterna() {
        QFETCH(QString, motor);
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpeta_.path());
        PRUEBA_REQUIERE_MOTOR(m);
        auto c = abre(m);
        c->nuevaTabla(QStringLiteral("tReferenciasExternas"), true);
        for (const char* campo : {"tablaOrigen", "camposOrigen", "tablaDestino", "camposDestino"}) {
            c->nuevoCampo(QString::fromLatin1(campo), aConexion::kTexto, 100, true, false);
        }
        c->creaTabla();
        c->añadeReferenciaExterna(QStringLiteral("tPedidos"), QStringLiteral("codCliente"),
                                  QStringLiteral("otra.tClientes"), QStringLiteral("cod'igo"));
        c->añadeReferenciaExterna(QStringLiteral(" tPedidos "), QStringLiteral("codCliente "),
                                  QStringLiteral("otra.tClientes"), QStringLiteral(" cod'igo"));
        QCOMPARE(cuenta(*c, QStringLiteral("tReferenciasExternas")), 1);
        QCOMPARE(c->valorCampo(QStringLiteral("camposDestino"),
                               QStringLiteral("SELECT camposDestino FROM tReferenciasExternas"))
                     .toString(),
                 QStringLiteral("cod'igo"));
        c->añadeReferenciaExterna(QStringLiteral("tPedidos"), QStringLiteral("codCliente"),
                                  QStringLiteral("otra.tClientes"), QStringLiteral("codigo"));
        QCOMPARE(cuenta(*c, QStringLiteral("tReferenciasExternas")), 2);
        c->eliminaTabla(QStringLiteral("tReferenciasExternas"));
    }
};

QTEST_MAIN(TstEsquemaMotores)
#include "tst_EsquemaMotores.moc"
