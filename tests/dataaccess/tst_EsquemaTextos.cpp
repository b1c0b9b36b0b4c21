#include <QRegularExpression>
#include <QTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/ErrorEjecucion.h"
#include "support/Conectada.h"
#include "support/ConexionGrabadora.h"
#include "support/ErrorLanzado.h"
#include "support/MensajeriaGrabada.h"

using prueba::ConexionGrabadora;
using prueba::TablaGuionada;

using namespace Qt::Literals::StringLiterals;

namespace {

// A table of one column and one row: what an existence query answers when the object exists.
TablaGuionada unaFila(const QString& columna, const QVariant& valor) {
    return TablaGuionada{{columna}, {{valor}}};
}

}  // namespace

// The statements the schema toolkit sends to SQL Server and Oracle, checked on their exact text
// through the recording connection, and the builder's engine-independent texts.
class TstEsquemaTextos : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConexionGrabadora> grabadora_;

    std::unique_ptr<aConexion> conectada(qint32 tipo) {
        return prueba::conectada(tipo, *grabadora_);
    }

    // An instance that only knows its engine (the builder's texts need no connection).
    static std::unique_ptr<aConexion> sinConexion(qint32 tipo) {
        auto c = std::make_unique<aConexion>();
        c->setTipoConexion(tipo);
        return c;
    }

    // A recording engine with nothing recorded or scripted yet.
    void nueva() {
        grabadora_.reset();
        grabadora_ = std::make_unique<ConexionGrabadora>();
    }

private slots:
    void init() { nueva(); }
    void cleanup() { grabadora_.reset(); }

    // The sizes each engine writes or ignores, and the codes and engines outside the table; the
    // type names themselves are the table's, read back on the real engines and through Oracle's
    // round trip.
    void tipoDato() {
        const struct {
            int motor, tipo, tamano;
            const char* esperado;
        } filas[] = {{1, 5, 0, "text"},
                     {1, 5, 10, "text (10)"},
                     {0, 5, 10, "text"},
                     {0, 7, 0, "text (0)"},
                     {1, 7, 0, "varchar (0)"},
                     {0, 12, 2, "double"},
                     {2, 12, 3, "decimal(14,3)"},
                     {1, 13, 0, ""},
                     {1, -1, 0, ""},
                     {4, 0, 0, ""}};
        for (const auto& f : filas) {
            QCOMPARE(sinConexion(f.motor)->tipoDato(f.tipo, qint16(f.tamano)),
                     QString::fromUtf8(f.esperado));
        }
    }

    // A Texto without size is refused in each engine's words, and nuevoCampo then adds nothing.
    void tipoDatoTamanoTexto() {
        const struct {
            int motor, tamano;
            const char* tipo;
        } filas[] = {{2, 0, "varchar"}, {3, -5, "'texto'"}};
        for (const auto& f : filas) {
            auto c = sinConexion(f.motor);
            const auto texto = [&] { c->tipoDato(aConexion::kTexto, qint16(f.tamano)); };
            QCOMPARE(
                prueba::errorLanzado(texto).descripcion(),
                u"No es posible que el tipo de datos %1 tenga un tamaño menor o igual a 0."_s.arg(
                    QString::fromUtf8(f.tipo)));
            c->nuevaTabla(u"t"_s);
            c->nuevoCampo(u"a"_s, aConexion::kEnteroLargo, -1, true, false);
            QVERIFY_THROWS_EXCEPTION(
                platform::ErrorEjecucion,
                c->nuevoCampo(u"b"_s, aConexion::kTexto, qint16(f.tamano), true, true));
            QCOMPARE(c->sqlCreateTable(),
                     u"CREATE TABLE t (a "_s + c->tipoDato(aConexion::kEnteroLargo, -1) + u')');
        }
    }

    // On Oracle a column made from the builder's own type text reads back as that type (Fecha
    // precisa is a DATE like Fecha), and datoTipo's other answers. The catalogue's type codes are
    // read back on the real engines.
    void tiposLeidos() {
        auto c = sinConexion(3);
        const QRegularExpression partes(u"^(\\w+) ?(?:\\((\\d+)(?:,(\\d+))?\\))?$"_s);
        for (int tipo = 0; tipo < aConexion::kDecimal; ++tipo) {
            const QString texto = c->tipoDato(tipo, 200);
            const QRegularExpressionMatch m = partes.match(texto);
            QVERIFY2(m.hasMatch(), qPrintable(texto));
            QCOMPARE(c->datoTipo(m.captured(1), m.captured(2).toShort(), m.captured(3).toShort()),
                     tipo == aConexion::kFechaPrecisa ? aConexion::kFecha : tipo);
        }
        QCOMPARE(c->datoTipo(u"NUMBER"_s, 12, 3), 0);
        QCOMPARE(c->datoTipo(u"NUMBER"_s, 0, 0), 12);
        QCOMPARE(c->datoTipo(u"CLOB"_s, 0, 0), 0);
        QCOMPARE(c->datoTipo(u"number"_s, 1, 0), 0);
        QCOMPARE(sinConexion(1)->datoTipo(u"NUMBER"_s, 1, 0), 0);
    }

    void bolActivo() {
        const struct {
            int motor;
            QVariant valor;
            bool esperado;
        } filas[] = {{0, -1, true},        {0, true, true},
                     {1, 1, true},         {1, 0, false},
                     {2, qint16(1), true}, {2, 2, false},
                     {3, u"1"_s, true},    {3, QVariant::fromValue(nullptr), false},
                     {5, 1, false}};
        for (const auto& f : filas) {
            QCOMPARE(sinConexion(f.motor)->bolActivo(f.valor), f.esperado);
        }
    }

    // One column's definition: the Booleano on the four engines (its nulls and default are the
    // engine's own), and the defaults of the other types.
    void definicion() {
        const struct {
            int motor, tipo, tamano;
            bool nulos;
            QVariant defecto;
            const char* definicion;
        } filas[] = {{0, 3, -1, false, {}, "yesno NOT NULL  DEFAULT (0) "},
                     {1, 3, -1, true, -1, "tinyint NOT NULL DEFAULT 0 "},
                     {2, 3, -1, true, -1, "tinyint DEFAULT (0) "},
                     {3, 3, -1, true, 5, "NUMBER(1) DEFAULT (0) NOT NULL "},
                     {1, 7, 10, true, u"a'bc"_s, "varchar (10) DEFAULT 'a''bc'"},
                     // The builder keeps its columns apart with ";": one in a default becomes ",".
                     {1, 7, 5, true, u"p;q"_s, "varchar (5) DEFAULT 'p,q'"},
                     {2, 5, 0, true, u"x"_s, "text DEFAULT 'x'"},
                     {1, 2, -1, true, u"getdate()"_s, "smalldatetime DEFAULT getdate()"},
                     {0, 2, -1, true, QDate(2007, 3, 13), "date DEFAULT #03/13/07#"},
                     {1, 10, -1, true, u"13/03/2007"_s, "datetime DEFAULT '13/03/07'"},
                     // Oracle wants the default before NOT NULL.
                     {3, 0, -1, false, 7, "NUMBER(10) DEFAULT 7 NOT NULL "},
                     {1, 0, -1, true, QVariant::fromValue(nullptr), "int"},
                     {0, 4, -1, true, 0, "money DEFAULT 0"}};
        for (const auto& f : filas) {
            auto c = sinConexion(f.motor);
            c->nuevaTabla(u"t"_s);
            c->nuevoCampo(u"comprimido"_s, f.tipo, qint16(f.tamano), f.nulos, false, f.defecto);
            QCOMPARE(c->sqlCreateTable(),
                     u"CREATE TABLE t (comprimido "_s + QString::fromUtf8(f.definicion) + u')');
        }
    }

    // Each existence test sends its statement and answers from its row: true when the row (and
    // its tested column) is there, false when the answer is empty or null.
    void existencia() {
        const struct {
            int tipo;
            QString operacion, sentencia;
        } filas[] = {{1, u"tabla temp0417"_s, u"SELECT object_id('temp0417','U')"_s},
                     {1, u"tabla #temp0417"_s, u"SELECT object_id('tempdb..#temp0417')"_s},
                     {3, u"tabla tCarpetas"_s,
                      u"select owner, table_name FROM dba_tables WHERE table_name = 'TCARPETAS'"_s},
                     {1, u"indice t ix"_s,
                      u"SELECT * FROM sysindexes WHERE  id=object_id('t','U') AND name='ix'"_s},
                     {1, u"indice #t ix"_s,
                      u"SELECT * FROM sysindexes WHERE name='ix' AND id=object_id('tempdb..#t')"_s},
                     {1, u"campo t c"_s,
                      u"SELECT name FROM syscolumns  WHERE id=object_id('t','U') AND name='c'"_s},
                     {3, u"campo tabla Campo"_s,
                      u"SELECT column_name FROM all_tab_columns WHERE table_name = 'TABLA' AND "
                      u"column_name='CAMPO'"_s},
                     {1, u"procedimiento p"_s, u"SELECT object_id('p','P')"_s},
                     {1, u"tabla o'x"_s, u"SELECT object_id('o''x','U')"_s}};
        for (const auto& f : filas) {
            nueva();
            auto c = conectada(f.tipo);
            const QStringList partes = f.operacion.split(u' ');
            const auto pregunta = [&] {
                if (partes.at(0) == u"tabla")
                    return c->existeTabla(partes.at(1));
                if (partes.at(0) == u"indice")
                    return c->existeIndice(partes.at(1), partes.at(2));
                if (partes.at(0) == u"campo")
                    return c->existeCampo(partes.at(1), partes.at(2));
                return c->existeProcedimiento(partes.at(1));
            };
            const QString& sentencia = f.sentencia;
            QVERIFY(!pregunta());
            QCOMPARE(grabadora_->sentencias(), QStringList{sentencia});
            grabadora_->responde(sentencia, TablaGuionada{{"a", "b"}, {{QVariant(), QVariant()}}});
            // Only the column-name query counts a row with nulls as an existing column.
            QCOMPARE(pregunta(), partes.at(0) == u"campo");
            grabadora_->responde(sentencia, TablaGuionada{{"a", "b"}, {{1, u"x"_s}}});
            QVERIFY(pregunta());
        }
    }

    void nCamposOracle() {
        auto c = conectada(3);
        c->setLogin(u"dueño"_s);
        const QString columnas =
            u"SELECT * FROM all_tab_columns WHERE table_name = 'TPEDIDOS' AND OWNER='DUEÑO'"_s;
        const QVariant nulo;
        grabadora_->responde(
            columnas, TablaGuionada{{"column_name", "DATA_LENGTH", "data_type", "data_precision",
                                     "data_Scale", "nullable", "data_Default"},
                                    {{"CODPEDIDO", 22, "NUMBER", 10, 0, "N", nulo},
                                     {"NOTAS", 4000, "VARCHAR2", nulo, nulo, "Y", nulo},
                                     {"IMPORTE", 22, "NUMBER", 16, 2, "Y", "0"},
                                     {"ALTA", 7, "DATE", nulo, nulo, "Y", "sysdate"}}});
        grabadora_->responde(u"all_cons_columns"_s, TablaGuionada{{"table_name", "column_name"},
                                                                  {{"TPEDIDOS", "CODPEDIDO"}}});
        QCOMPARE(c->nCampos(u"tPedidos"_s).toInt(), 4);
        const QStringList enviadas = grabadora_->sentencias();
        QCOMPARE(enviadas.value(0), columnas);
        QVERIFY(enviadas.value(1).contains(u"WHERE cols.table_name = 'TPEDIDOS' AND"_s));
        const QStringList esperados[] = {
            {"CODPEDIDO", "NUMBER(10)", "22", "", "N", "S", "0"},
            {"NOTAS", "VARCHAR2(4000)", "4000", "", "S", "N", "7"},
            {"IMPORTE", "NUMBER(14,16)", "22", "0", "S", "N", "12"},
            {"ALTA", "DATE", "7", "sysdate", "S", "N", "2"},
        };
        for (qint16 i = 0; i < 4; ++i) {
            for (int p = 0; p < 8; ++p) {
                QCOMPARE(c->parametroCampo(i + 1, p), esperados[i].value(p));
            }
        }
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c->parametroCampo(5, 0));

        // A table with no columns keeps the list read before.
        QCOMPARE(c->nCampos(u"nada"_s).toInt(), 0);
        QCOMPARE(c->parametroCampo(1, 0), u"CODPEDIDO"_s);
    }

    // Oracle lists its tables.
    void nTablasOracle() {
        auto c = conectada(3);
        grabadora_->responde(u"SELECT table_name FROM user_tables"_s,
                             TablaGuionada{{"table_name"}, {{"TA"}, {"TB"}}});
        QCOMPARE(c->nTablas(), 2);
        QCOMPARE(grabadora_->sentencias(), QStringList{"SELECT table_name FROM user_tables"});
        QCOMPARE(c->tabla(1), u"TA"_s);
        QCOMPARE(c->tabla(2), u"TB"_s);
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c->tabla(3));
    }

    void clavesForaneasSqlServer() {
        auto c = conectada(1);
        grabadora_->responde(
            u"REFERENTIAL_CONSTRAINTS"_s,
            TablaGuionada{{"FK_Table", "FK_Column", "PK_Table", "PK_Column", "CONSTRAINT_NAME"},
                          {{"tFicheros", "codCarpeta", "tCarpetas", "codCarpeta", "FK_1"},
                           {"tFicheros", "codTipo", "tTipos", "cod", "FK_2"}}});
        QCOMPARE(c->nClavesForaneas(u"tFicheros"_s), 2);
        QVERIFY(grabadora_->sentencias().value(0).endsWith(u"WHERE FK.TABLE_NAME='tFicheros'"_s));
        QCOMPARE(c->parametroClaveForanea(2, u"campoOrigen"_s), u"codTipo"_s);
        QCOMPARE(c->parametroClaveForanea(2, u"tablaDestino"_s), u"tTipos"_s);
        QCOMPARE(c->parametroClaveForanea(1, u"claveForanea"_s), u"FK_1"_s);
    }

    void columnasSqlServer() {
        auto c = conectada(1);
        const QString largo =
            u"SELECT type,length FROM syscolumns  WHERE id=object_id('t','U') AND name='"_s;
        QVERIFY(!c->maxLength(u"t"_s, u"falta"_s).isValid());
        QCOMPARE(grabadora_->sentencias().last(), largo + u"falta'"_s);
        grabadora_->responde(largo + u"memo'"_s, TablaGuionada{{"type", "length"}, {{35, 16}}});
        grabadora_->responde(largo + u"nombre'"_s, TablaGuionada{{"type", "length"}, {{39, 50}}});
        QCOMPARE(c->maxLength(u"t"_s, u"memo"_s).toInt(), 0);
        QCOMPARE(c->maxLength(u"t"_s, u"nombre"_s).toInt(), 50);
        grabadora_->responde(
            u"SELECT length FROM syscolumns  WHERE "_s
            u"id=object_id('t','U') AND name='nombre'"_s,
            TablaGuionada{{"length"}, {{50}}});
        grabadora_->responde(
            u"SELECT type FROM syscolumns  WHERE "_s
            u"id=object_id('t','U') AND name='nombre'"_s,
            TablaGuionada{{"type"}, {{39}}});
        QCOMPARE(c->tamañoCampo(u"t"_s, u"nombre"_s), qint16(50));
        QCOMPARE(c->tipoDatoCampo(u"t"_s, u"nombre"_s), qint16(39));
        QCOMPARE(c->tamañoCampo(u"t"_s, u"falta"_s), qint16(0));
        QCOMPARE(c->tipoDatoCampo(u"t"_s, u"falta"_s), qint16(0));
    }

    // SQL Server recognises text columns through the catalogue's column types.
    void campoTextoSqlServer() {
        auto c = conectada(1);
        grabadora_->responde(
            u"INFORMATION_SCHEMA.TABLES"_s,
            TablaGuionada{{"TABLE_NAME", "TABLE_TYPE"}, {{"tPedidos", "BASE TABLE"}}});
        grabadora_->responde(
            u"INFORMATION_SCHEMA.COLUMNS"_s,
            TablaGuionada{{"COLUMN_NAME", "DATA_TYPE", "CHARACTER_MAXIMUM_LENGTH",
                           "NUMERIC_PRECISION", "NUMERIC_SCALE", "IS_NULLABLE"},
                          {{"nombre", "varchar", 50, QVariant(), QVariant(), "YES"},
                           {"notas", "text", 2147483647, QVariant(), QVariant(), "YES"},
                           {"clave", "nvarchar", 10, QVariant(), QVariant(), "NO"},
                           {"cod", "int", QVariant(), 10, 0, "NO"}}});
        QVERIFY(c->campoTexto(u"tPedidos"_s, u"nombre"_s));
        QVERIFY(c->campoTexto(u"tPedidos"_s, u"NOTAS"_s));
        QVERIFY(!c->campoTexto(u"tPedidos"_s, u"clave"_s));
        QVERIFY(!c->campoTexto(u"tPedidos"_s, u"cod"_s));
        QVERIFY(!c->campoTexto(u"tPedidos"_s, u"falta"_s));
        QVERIFY(grabadora_->sentencias().first().contains(u"TABLE_NAME='tPedidos'"_s));
        // Any error is false.
        grabadora_->falla(u"INFORMATION_SCHEMA"_s, platform::ErrorEjecucion(-1, u"caída"_s));
        QVERIFY(!c->campoTexto(u"tPedidos"_s, u"nombre"_s));
    }

    void tablaExistente2003() {
        auto c = conectada(1);
        grabadora_->responde(u"object_id('tPedidos','U')"_s, unaFila("id", 77));
        // The error's text is checked on the real engines.
        QCOMPARE(prueba::errorLanzado([&] { c->nuevaTabla(u"tPedidos"_s); }).numero(), 2003);
        QCOMPARE(c->sqlCreateTable(), u"CREATE TABLE  ()"_s);
        grabadora_->limpia();
        c->nuevaTabla(u"tPedidos"_s, true);
        QCOMPARE(grabadora_->sentencias(),
                 (QStringList{"SELECT object_id('tPedidos','U')", "DROP TABLE tPedidos"}));
    }

    // Only an existing table is dropped, and a refused DROP is not raised.
    void eliminaTabla() {
        auto c = conectada(3);
        c->eliminaTabla(u"tNada"_s);
        QCOMPARE(grabadora_->sentencias().size(), 1);
        grabadora_->responde(u"dba_tables"_s,
                             TablaGuionada{{"owner", "table_name"}, {{"YO", "TALGO"}}});
        grabadora_->falla(u"DROP TABLE"_s, platform::ErrorEjecucion(-1, u"ocupada"_s));
        c->eliminaTabla(u"tAlgo"_s);
        QVERIFY(grabadora_->sentencias().contains(u"DROP TABLE tAlgo"_s));
    }

    void tablaTemporalSqlServer() {
        auto c = conectada(1);
        const QString nombre = c->nuevaTablaTemporal();
        QVERIFY2(QRegularExpression(u"^#temp\\d{4}$"_s).match(nombre).hasMatch(),
                 qPrintable(nombre));
        QVERIFY(grabadora_->sentencias().isEmpty());
        auto oracle = conectada(3);
        const QString otra = oracle->nuevaTablaTemporal();
        QVERIFY2(QRegularExpression(u"^temp\\d{4}$"_s).match(otra).hasMatch(), qPrintable(otra));
        QCOMPARE(grabadora_->sentencias(), QStringList{u"DROP TABLE "_s + otra});
    }

    void añadeCampoBooleano() {
        const struct {
            qint32 tipo;
            QString existe;
            QStringList sentencias;
        } filas[] = {
            {1,
             u"SELECT object_id('t','U')"_s,
             {"ALTER TABLE t ADD activo tinyint NOT NULL DEFAULT 0 ", "UPDATE t SET activo=-1",
              "ALTER TABLE t ALTER COLUMN activo tinyint NOT NULL "}},
            {3,
             u"dba_tables"_s,
             {"ALTER TABLE t ADD activo NUMBER(1) DEFAULT (0) NOT NULL ", "UPDATE t SET activo=-1",
              "ALTER TABLE t MODIFY ( activo NUMBER(1))"}}};
        for (const auto& f : filas) {
            nueva();
            auto c = conectada(f.tipo);
            grabadora_->responde(f.existe, TablaGuionada{{"a", "b"}, {{1, "T"}}});
            c->añadeCampoTabla(u"t"_s, u"activo"_s, aConexion::kBooleano, -1, false, false, -1);
            QCOMPARE(grabadora_->sentencias().mid(2), f.sentencias);
        }
    }

    void añadeCampoTextoSinUpdate() {
        auto c = conectada(1);
        grabadora_->responde(u"SELECT object_id('t','U')"_s, unaFila("id", 1));
        c->añadeCampoTabla(u"t"_s, u"n"_s, aConexion::kTexto, 20, false, false, u"x"_s);
        QCOMPARE(grabadora_->sentencias().mid(2),
                 QStringList{"ALTER TABLE t ADD n varchar (20) DEFAULT 'x'"});
        // A column that exists already is left alone.
        grabadora_->limpia();
        grabadora_->responde(u"FROM syscolumns"_s, unaFila("name", "n"));
        c->añadeCampoTabla(u"t"_s, u"n"_s, aConexion::kTexto, 20, false, false, u"x"_s);
        QCOMPARE(grabadora_->sentencias().size(), 2);
    }

    void modificaCampoSqlServer() {
        auto c = conectada(1);
        const QString restricciones =
            u"SELECT name FROM sysobjects WHERE  (id IN (SELECT cDefault from syscolumns  WHERE "_s
            u"id=(SELECT id FROM sysobjects WHERE name='tPedidos' AND xtype='U') AND (name = "_s
            u"'estado')))"_s;
        grabadora_->responde(restricciones, TablaGuionada{{"name"}, {{"DF_viejo"}}});
        c->modificaCampo(u"tPedidos"_s, u"estado"_s, aConexion::kEntero, -1, false, 0);
        QCOMPARE(grabadora_->sentencias(),
                 (QStringList{restricciones, "ALTER TABLE tPedidos DROP CONSTRAINT DF_viejo",
                              "ALTER TABLE tPedidos ALTER COLUMN estado smallint  NOT NULL",
                              restricciones, "ALTER TABLE tPedidos DROP CONSTRAINT DF_viejo",
                              "ALTER TABLE tPedidos ADD CONSTRAINT tPedidos_estado_def_0 DEFAULT 0 "
                              "FOR estado"}));
    }

    void modificaCampoOracle() {
        auto c = conectada(3);
        c->modificaCampo(u"t"_s, u"c"_s, aConexion::kTexto, 9, true, u"o'k"_s);
        QCOMPARE(grabadora_->sentencias(),
                 QStringList{"ALTER TABLE t ALTER COLUMN c VARCHAR2 (9) "});
        QVERIFY_THROWS_EXCEPTION(
            platform::ErrorEjecucion,
            c->modificaCampo(u"t"_s, u"f"_s, aConexion::kFecha, -1, true, u"mañana"_s));
    }

    void alteracionesSencillas() {
        auto c = conectada(1);
        c->añadeDefectoCampo(u"t"_s, u"c"_s, u"'x'"_s);
        c->creaClaveForanea(u"tFicheros"_s, u"codCarpeta"_s, u"tCarpetas"_s, u"codCarpeta"_s);
        c->eliminaColumna(u"t"_s, u"c"_s);
        const QStringList enviadas = grabadora_->sentencias();
        QCOMPARE(enviadas.value(0),
                 u"ALTER TABLE t ADD CONSTRAINT t_c_def_'x' DEFAULT 'x' FOR c"_s);
        QCOMPARE(enviadas.value(1),
                 u" ALTER TABLE tFicheros ADD FOREIGN KEY (codCarpeta ) "_s
                 u"REFERENCES tCarpetas(codCarpeta)"_s);
        QVERIFY(enviadas.value(2).startsWith(u"SELECT name FROM sysobjects WHERE  (id IN"));
        QCOMPARE(enviadas.value(3), u"ALTER TABLE t DROP COLUMN c"_s);
        QCOMPARE(enviadas.size(), 4);
    }

    void indices() {
        const char* borra = "DROP INDEX t.ix ON t";
        const struct {
            qint32 tipo;
            bool unico;
            const char *borra, *crea;
        } filas[] = {{1, true, borra, "CREATE  UNIQUE  INDEX ix ON t(a,b)"},
                     {1, false, borra, "CREATE  INDEX ix ON t(a,b)"},
                     // Oracle's DROP INDEX takes no table: the qualified form would leave the
                     // old index.
                     {3, false, "DROP INDEX ix", "CREATE  INDEX ix ON t(a,b)"}};
        for (const auto& f : filas) {
            nueva();
            auto c = conectada(f.tipo);
            grabadora_->responde(u"object_id('t','U')"_s, unaFila("id", 5));
            grabadora_->responde(u"FROM dba_tables"_s,
                                 TablaGuionada{{u"owner"_s, u"table_name"_s}, {{u"yo"_s, u"T"_s}}});
            grabadora_->falla(u"DROP INDEX"_s, platform::ErrorEjecucion(-1, u"no existe"_s));
            c->creaIndiceTabla(u"ix"_s, u"t"_s, u"a,b"_s, false, f.unico);
            // The refused DROP is registered in tErrores on the way; the rest is the index.
            QStringList enviadas;
            for (const QString& sentencia : grabadora_->sentencias()) {
                if (!sentencia.startsWith(u"INSERT INTO tErrores") &&
                    sentencia.contains(u"INDEX")) {
                    enviadas << sentencia;
                }
            }
            QCOMPARE(enviadas, (QStringList{f.borra, f.crea}));
        }
    }

    void indicesMensajes() {
        MensajeriaGrabada mensajes;
        auto c = conectada(1);
        c->creaIndiceTabla(u"ix"_s, u"t"_s, QString(), true);
        c->creaIndiceTabla(u"ix"_s, u"tNo"_s, u"a"_s);
        QCOMPARE(
            mensajes.textos(MensajeriaGrabada::Clase::Mensaje),
            (QStringList{"No se seleccionaron campos para el índice", "La tabla: tNo no existe."}));
        QCOMPARE(grabadora_->sentencias(), QStringList{"SELECT object_id('tNo','U')"});
    }

    // Only SQL Server and Access update through a join; MySQL and Oracle send nothing.
    void updateConJoin() {
        const QString join = u"tFicheros f INNER JOIN tCarpetas c ON f.codCarpeta=c.codCarpeta"_s;
        const QString donde = u"c.carpeta='x'"_s;
        const QString fecha = u" SET f.fecha=null"_s;
        const struct {
            int tipo;
            QString query, where;
            QStringList esperado;
        } filas[] = {
            {1, join, donde, {" UPDATE tFicheros" + fecha + " FROM " + join + " WHERE " + donde}},
            {1, {}, {}, {" UPDATE tFicheros" + fecha}},
            {0, join, donde, {" UPDATE " + join + fecha + " WHERE " + donde}},
            {0, {}, u"a=1"_s, {" UPDATE tFicheros" + fecha + " WHERE a=1"}},
            {2, u"q"_s, u"b=2"_s, {}},
            {3, u"q"_s, u"b=2"_s, {}}};
        for (const auto& f : filas) {
            nueva();
            conectada(f.tipo)->update(u"tFicheros"_s, u"f.fecha=null"_s, f.query, f.where);
            QCOMPARE(grabadora_->sentencias(), f.esperado);
        }
    }

    // Connecting makes sure of tSecuencias (nuevaTabla asks again before the definition) and
    // loads it; its tables take their codes from the stored function.
    void secuenciaSqlServer() {
        grabadora_->responde(
            u"SELECT * FROM tSecuencias"_s,
            TablaGuionada{{"tabla", "campoCod", "codigo"}, {{"tFicheros", "codFichero", 0}}});
        aConexion c;
        c.setTipoConexion(1);
        c.setServidor(u"s"_s);
        c.conecta(true);
        QCOMPARE(grabadora_->sentencias().mid(0, 4),
                 (QStringList{"SELECT object_id('tSecuencias','U')",
                              "SELECT object_id('tSecuencias','U')",
                              "CREATE TABLE tSecuencias (tabla varchar (50) NOT NULL ,campoCod "
                              "varchar (50) NOT NULL ,codigo int NOT NULL ,PRIMARY KEY "
                              "(tabla,campoCod))",
                              "SELECT * FROM tSecuencias"}));
        grabadora_->limpia();
        grabadora_->responde(u"secuencia("_s, unaFila("x", 500));
        QCOMPARE(c.codsiguiente(u"tFicheros"_s, u"codFichero"_s), 500);
        QCOMPARE(c.codsiguiente(u"tOtros"_s, u"cod"_s), 1);
        QCOMPARE(grabadora_->sentencias(), (QStringList{"secuencia('tFicheros','codFichero')",
                                                        "SELECT max(cod) as ultCod FROM tOtros"}));
    }
};

QTEST_MAIN(TstEsquemaTextos)
#include "tst_EsquemaTextos.moc"
