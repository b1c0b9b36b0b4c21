#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"
#include "support/MensajeriaGrabada.h"
#include "support/MotoresPrueba.h"

using namespace Qt::Literals::StringLiterals;

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
    std::unique_ptr<aConexion> c_;

private slots:
    void initTestCase_data() { prueba::filasMotores(); }
    void init() {
        QFETCH_GLOBAL(QString, motor);
        esMariaDb_ = motor == u"mariadb";
        c_ = prueba::conectaMotor(motor, carpeta_.path());
    }
    void cleanup() { c_.reset(); }

    // Every type code the builder maps, created and read back by nCampos and the catalogue.
    void tiposLeidos() {
        c_->eliminaTabla(u"tEsqTipos"_s);
        c_->nuevaTabla(u"tEsqTipos"_s);
        for (int tipo = 0; tipo <= 12; ++tipo) {
            const qint16 tamano =
                tipo == aConexion::kTexto ? 40 : (tipo == aConexion::kDecimal ? 2 : -1);
            c_->nuevoCampo(u"c%1"_s.arg(tipo), tipo, tamano, tipo % 2 == 1, tipo == 0);
        }
        c_->creaTabla();
        QVERIFY(c_->existeTabla(u"tEsqTipos"_s));
        // A table made leaves no definition behind for the next one.
        QCOMPARE(c_->sqlCreateTable(), u"CREATE TABLE  ()"_s);

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
        QCOMPARE(c_->nCampos(u"tEsqTipos"_s).toInt(), 13);
        for (int i = 0; i < 13; ++i) {
            const qint16 n = static_cast<qint16>(i + 1);
            QCOMPARE(c_->parametroCampo(n, 0), u"c%1"_s.arg(i));
            QCOMPARE(c_->parametroCampo(n, 1).toInt(), esperadas.at(i).tipo);
            QCOMPARE(c_->parametroCampo(n, 6).toInt(), esperadas.at(i).tipo);
            QCOMPARE(c_->parametroCampo(n, 2).toLongLong(), esperadas.at(i).tamano);
            // Booleano is NOT NULL on its own on no engine here: it follows the flag.
            QCOMPARE(c_->parametroCampo(n, 4), QString(i % 2 == 1 ? "S" : "N"));
            QCOMPARE(c_->parametroCampo(n, 5), QString(i == 0 ? "S" : "N"));
            QCOMPARE(c_->parametroCampo(n, 3), QString());
        }

        QVERIFY(c_->existeCampo(u"tEsqTipos"_s, u"C7"_s) || esMariaDb_);
        QVERIFY(!c_->existeCampo(u"tEsqTipos"_s, u"nada"_s));
        QVERIFY(!c_->existeCampo(u"tEsqNada"_s, u"c0"_s));
        QVERIFY(!c_->existeTabla(u"tEsq'Nada"_s));

        QVERIFY(!c_->existeIndice(u"tEsqTipos"_s, u"ixEsqTipos"_s));
        c_->creaIndiceTabla(u"ixEsqTipos"_s, u"tEsqTipos"_s, u"c7,c1"_s, false, true);
        QVERIFY(c_->existeIndice(u"tEsqTipos"_s, u"ixEsqTipos"_s));
        QVERIFY(!c_->existeIndice(u"tEsqTipos"_s, u"ixNada"_s));
        // Made again on other columns, the index is replaced.
        c_->creaIndiceTabla(u"ixEsqTipos"_s, u"tEsqTipos"_s, u"c2"_s);
        QCOMPARE(c_->nCampos(u"tEsqTipos"_s).toInt(), 13);
        c_->executeNR(u"DELETE FROM tEsqTipos"_s);
        const QString fila =
            u"INSERT INTO tEsqTipos (c0,c2,c4,c6,c8,c10,c12,c7,c1) VALUES (%1,%2,1,1,1,%2,1,'x',1)"_s;
        const QString fecha = c_->fecha(QDate(2007, 3, 13));
        c_->executeNR(fila.arg(1).arg(fecha));
        // (c7,c1) is no longer unique: a second equal pair is accepted.
        c_->executeNR(fila.arg(2).arg(fecha));
        QCOMPARE(c_->nRegistros(u"tEsqTipos"_s), 2);
        c_->executeNR(u"DELETE FROM tEsqTipos"_s);
        QVERIFY(!c_->existeIndice(u"tEsqNada"_s, u"ixEsqTipos"_s));

        QCOMPARE(c_->maxLength(u"tEsqTipos"_s, u"c7"_s).toInt(), 40);
        QCOMPARE(c_->maxLength(u"tEsqTipos"_s, u"c5"_s).toInt(), 0);
        QCOMPARE(c_->tamañoCampo(u"tEsqTipos"_s, u"c7"_s), qint16(40));
        QCOMPARE(c_->tipoDatoCampo(u"tEsqTipos"_s, u"c7"_s), qint16(esMariaDb_ ? 200 : 202));
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion,
                                 c_->tamañoCampo(u"tEsqTipos"_s, u"nada"_s));
        QVERIFY(!c_->campoTexto(u"tEsqTipos"_s, u"c7"_s));

        const qint32 n = c_->nTablas();
        QStringList tablas;
        for (qint16 i = 1; i <= n; ++i) {
            tablas << c_->tabla(i);
        }
        QVERIFY(tablas.contains(u"tEsqTipos"_s));
        QVERIFY(tablas.contains(u"tSecuencias"_s));
        // Views are not listed.
        c_->executeNR(u"DROP VIEW IF EXISTS vEsqTipos"_s);  // left by an interrupted run
        c_->executeNR(u"CREATE VIEW vEsqTipos AS SELECT c0 FROM tEsqTipos"_s);
        QCOMPARE(c_->nTablas(), n);
        QVERIFY(c_->existeTabla(u"vEsqTipos"_s));
        c_->executeNR(u"DROP VIEW vEsqTipos"_s);

        // A Memo keeps number-like text as it was written.
        c_->executeNR(
            u"INSERT INTO tEsqTipos (c0,c2,c4,c6,c8,c10,c12,c5) VALUES "_s
            u"(9,%1,1,1,1,%1,1,'00123')"_s.arg(c_->fecha(QDate(2007, 3, 13))));
        QCOMPARE(c_->valorCampo(u"c5"_s, u"SELECT c5 FROM tEsqTipos WHERE c0=9"_s),
                 QVariant(u"00123"_s));
        c_->executeNR(u"DELETE FROM tEsqTipos"_s);

        c_->eliminaTabla(u"tEsqTipos"_s);
        QVERIFY(!c_->existeTabla(u"tEsqTipos"_s));
    }

    void creaTablaRapida() {
        for (int vez = 0; vez < 2; ++vez) {
            // The second time the existing table is dropped and made again.
            c_->creaTablaRapida(u"tEsqRapida"_s, u"codPrueba"_s,
                                u"nombre T 50,alta F N,importe M N 0,raro X 1"_s);
        }
        QCOMPARE(c_->nCampos(u"tEsqRapida"_s).toInt(), 4);
        const QStringList nombres = {"codPrueba", "nombre", "alta", "importe"};
        const QStringList nulos = {"N", "N", "S", "S"};
        const QStringList claves = {"S", "N", "N", "N"};
        for (qint16 i = 1; i <= 4; ++i) {
            QCOMPARE(c_->parametroCampo(i, 0), nombres.at(i - 1));
            QCOMPARE(c_->parametroCampo(i, 4), nulos.at(i - 1));
            QCOMPARE(c_->parametroCampo(i, 5), claves.at(i - 1));
        }
        QCOMPARE(c_->parametroCampo(2, 2), u"50"_s);
        c_->executeNR(u"INSERT INTO tEsqRapida (codPrueba,nombre) VALUES (1,'a')"_s);
        QCOMPARE(c_->valorCampo(u"importe"_s, u"SELECT importe FROM tEsqRapida"_s).toDouble(), 0.0);
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion,
                                 c_->executeNR(u"INSERT INTO tEsqRapida (codPrueba) VALUES (2)"_s));

        // Without key fields there is no primary key.
        c_->creaTablaRapida(u"tEsqRapida"_s, QString(), u"n L"_s);
        QCOMPARE(c_->nCampos(u"tEsqRapida"_s).toInt(), 1);
        QCOMPARE(c_->parametroCampo(1, 5), u"N"_s);
        c_->eliminaTabla(u"tEsqRapida"_s);
    }

    void errores() {
        c_->creaTablaRapida(u"tEsqExiste"_s, u"a"_s);
        const platform::ErrorEjecucion existe =
            prueba::errorLanzado([&] { c_->nuevaTabla(u"tEsqExiste"_s); });
        QCOMPARE(existe.numero(), platform::kErrorTablaExiste);
        QCOMPARE(existe.descripcion(),
                 u"Ya existe una tabla con el mismo nombre en la base de datos."_s);
        const platform::ErrorEjecucion sinNombre =
            prueba::errorLanzado([&] { c_->eliminaTabla(QString()); });
        QCOMPARE(sinNombre.numero(), platform::kErrorTablaSinNombre);
        QCOMPARE(sinNombre.descripcion(),
                 u"Ha intentado eliminar una tabla sin el nombre de la tabla."_s);
        // A refused CREATE TABLE reaches the caller and keeps the definition.
        c_->nuevaTabla(u"tEsqMala"_s);
        c_->nuevoCampo(u"a"_s, aConexion::kEnteroLargo, -1, false, true);
        c_->nuevoCampo(u"a"_s, aConexion::kEnteroLargo, -1, false, false);
        const QString texto = c_->sqlCreateTable();
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c_->creaTabla());
        QCOMPARE(c_->sqlCreateTable(), texto);
        c_->eliminaTabla(u"tEsqExiste"_s);
        c_->eliminaTabla(u"tEsqNuncaExistio"_s);
    }

    // MySQL: the tables listed in tSecuencias take their codes from the stored function
    // secuencia, loaded at connect time; an answer of 0 falls back to the largest code + 1.
    void codsiguienteSecuencia() {
        if (!esMariaDb_) {
            QSKIP("the file database has no stored functions");
        }
        c_->executeNR(u"DROP FUNCTION IF EXISTS secuencia"_s);
        c_->executeNR(
            u"CREATE FUNCTION secuencia(t VARCHAR(50), campo VARCHAR(50)) RETURNS INT "_s
            u"DETERMINISTIC RETURN CASE WHEN t='tEsqSec' AND campo='cod' THEN 500 ELSE 0 END"_s);
        c_->executeNR(u"DELETE FROM tSecuencias WHERE tabla LIKE 'tEsq%'"_s);
        c_->executeNR(
            u"INSERT INTO tSecuencias (tabla,campoCod,codigo) VALUES ('tEsqSec','cod',0)"_s);
        c_->executeNR(
            u"INSERT INTO tSecuencias (tabla,campoCod,codigo) VALUES ('tEsqCero','cod',0)"_s);
        c_->creaTablaRapida(u"tEsqSec"_s, u"cod"_s);
        c_->creaTablaRapida(u"tEsqCero"_s, u"cod"_s);
        c_->executeNR(u"INSERT INTO tEsqSec (cod) VALUES (3)"_s);
        c_->executeNR(u"INSERT INTO tEsqCero (cod) VALUES (9)"_s);

        // The list was read when the instance connected, before the rows were added.
        QCOMPARE(c_->codsiguiente(u"tEsqSec"_s, u"cod"_s), 4);
        QVERIFY(c_->reconecta(true));
        QCOMPARE(c_->codsiguiente(u"tEsqSec"_s, u"cod"_s), 500);
        QCOMPARE(c_->codsiguiente(u"tEsqCero"_s, u"cod"_s), 10);
        QCOMPARE(c_->codsiguiente(u"tEsqSec"_s, u"cod"_s, u"cod<3"_s), 1);

        c_->executeNR(u"DELETE FROM tSecuencias WHERE tabla LIKE 'tEsq%'"_s);
        c_->executeNR(u"DROP FUNCTION secuencia"_s);
        c_->eliminaTabla(u"tEsqSec"_s);
        c_->eliminaTabla(u"tEsqCero"_s);
    }

    void nuevoElemento() {
        c_->creaTablaRapida(u"tEsqElem"_s, u"cod"_s, u"des T 50"_s);
        const QString tabla = u"tEsqElem"_s;
        // Found again, even with a quote or (on MySQL too) a backslash; created otherwise.
        const QList<std::pair<QString, int>> pedidos = {
            {u"rojo"_s, 1}, {u"verde"_s, 2},   {u"rojo"_s, 1},   {u"o'x"_s, 3},
            {u"o'x"_s, 3},  {u"c:\\x\\"_s, 4}, {u"c:\\x\\"_s, 4}};
        for (const auto& [texto, codigo] : pedidos) {
            QCOMPARE(c_->nuevoElemento(tabla, u"cod"_s, u"des"_s, texto).toInt(), codigo);
        }
        QCOMPARE(c_->codRef(tabla, u"des"_s, u"cod"_s, u"c:\\x\\"_s), 4);
        const QVariant blanco = c_->nuevoElemento(tabla, u"cod"_s, u"des"_s, u"   "_s);
        QVERIFY(blanco.isNull());
        QCOMPARE(c_->nRegistros(tabla), 4);
        QCOMPARE(c_->codRef(tabla, u"des"_s, u"cod"_s, u"o'x"_s), 3);
        QCOMPARE(c_->codRef(tabla, u"des"_s, u"cod"_s, u"azul"_s), -1);
        c_->eliminaTabla(tabla);
    }

    void verificaVersion() {
        if (c_->existeTabla(u"tVersiones"_s)) {
            c_->executeNR(u"DELETE FROM tVersiones WHERE appName='EsqApp'"_s);
        }
        const aConexion::Aplicacion app{u"EsqApp"_s, 2, 3, 4};
        QString minima = u"sin tocar"_s;
        // First run: the application's own version becomes the minimum.
        QVERIFY(c_->verificaVersion(app, minima));
        QCOMPARE(minima, QString());
        QVERIFY(c_->existeTabla(u"tVersiones"_s));
        QVERIFY(c_->verificaVersion(app, minima));
        QCOMPARE(minima, u"2.3.4"_s);

        struct Caso {
            const char* guardada;
            bool resultado;
        };
        for (const Caso& caso : {Caso{"2,3,5", false}, Caso{"2,2,9", true}, Caso{"2,3,4", true},
                                 Caso{"3,0,0", false}, Caso{"1,9,9", true}}) {
            const QStringList v = QString::fromLatin1(caso.guardada).split(u',');
            c_->executeNR(
                u"UPDATE tVersiones SET versionMayor=%1,versionMenor=%2,"_s
                u"revision=%3 WHERE appName='EsqApp'"_s.arg(v.at(0), v.at(1), v.at(2)));
            QCOMPARE(c_->verificaVersion(app, minima), caso.resultado);
            QCOMPARE(minima, v.join(u'.'));
        }
        c_->executeNR(u"UPDATE tVersiones SET revision=NULL WHERE appName='EsqApp'"_s);
        QVERIFY(c_->verificaVersion(app, minima));
        QCOMPARE(minima, QString());
        c_->executeNR(u"DELETE FROM tVersiones WHERE appName='EsqApp'"_s);
    }

    // A failing ADD is collected and shown once; the next column is still added.
    void modificaTabla() {
        MensajeriaGrabada mensajes;
        c_->creaTablaRapida(u"tEsqAlt"_s, u"cod"_s, u"a L N"_s);
        c_->añadeCamposTabla(u"tEsqAlt"_s, false);
        c_->nuevoCampo(u"a"_s, aConexion::kEnteroLargo, -1, true, false);
        c_->nuevoCampo(u"nueva"_s, aConexion::kTexto, 20, true, false, u"x"_s);
        c_->modificaTabla();
        QVERIFY(c_->existeCampo(u"tEsqAlt"_s, u"nueva"_s));
        const QStringList avisos = mensajes.textos(MensajeriaGrabada::Clase::Mensaje);
        QCOMPARE(avisos.size(), 1);
        // One description (the ADD of a, which exists) ended by a carriage return.
        QVERIFY(avisos.at(0).endsWith(u"\r\n"_s) && avisos.at(0).count(u'\r') == 1);

        // Silent: nothing shown even when every ADD fails; nothing pending: nothing run.
        c_->añadeCamposTabla(u"tEsqAlt"_s, true);
        c_->nuevoCampo(u"a"_s, aConexion::kEnteroLargo, -1, true, false);
        c_->nuevoCampo(u"nueva"_s, aConexion::kEnteroLargo, -1, true, false);
        c_->modificaTabla();
        c_->añadeCamposTabla(u"tEsqAlt"_s, false);
        c_->modificaTabla();
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Mensaje).size(), 1);

        // One column at a time: only when the table exists and the column does not.
        c_->añadeCampoTabla(u"tEsqAlt"_s, u"activo"_s, aConexion::kBooleano, -1, false, false, 1);
        QVERIFY(c_->existeCampo(u"tEsqAlt"_s, u"activo"_s));
        c_->executeNR(u"INSERT INTO tEsqAlt (cod,a) VALUES (5,1)"_s);
        QVERIFY(!c_->valorCampo(u"activo"_s, u"SELECT activo FROM tEsqAlt"_s).isNull());
        c_->añadeCampoTabla(u"tEsqNada"_s, u"b"_s, aConexion::kEntero, -1, true, false);
        QVERIFY(!c_->existeTabla(u"tEsqNada"_s));
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Mensaje).size(), 1);
        c_->eliminaTabla(u"tEsqAlt"_s);
    }

    void añadeReferenciaExterna() {
        c_->nuevaTabla(u"tReferenciasExternas"_s, true);
        for (const char* campo : {"tablaOrigen", "camposOrigen", "tablaDestino", "camposDestino"}) {
            c_->nuevoCampo(QString::fromLatin1(campo), aConexion::kTexto, 100, true, false);
        }
        c_->creaTabla();
        c_->añadeReferenciaExterna(u"tPedidos"_s, u"codCliente"_s, u"otra.tClientes"_s,
                                   u"cod'igo"_s);
        c_->añadeReferenciaExterna(u" tPedidos "_s, u"codCliente "_s, u"otra.tClientes"_s,
                                   u" cod'igo"_s);
        QCOMPARE(c_->nRegistros(u"tReferenciasExternas"_s), 1);
        QCOMPARE(
            c_->valorCampo(u"camposDestino"_s, u"SELECT camposDestino FROM tReferenciasExternas"_s)
                .toString(),
            u"cod'igo"_s);
        c_->añadeReferenciaExterna(u"tPedidos"_s, u"codCliente"_s, u"otra.tClientes"_s,
                                   u"codigo"_s);
        QCOMPARE(c_->nRegistros(u"tReferenciasExternas"_s), 2);
        c_->eliminaTabla(u"tReferenciasExternas"_s);
    }
};

QTEST_MAIN(TstEsquemaMotores)
#include "tst_EsquemaMotores.moc"
