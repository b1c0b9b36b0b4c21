#include <QTemporaryDir>
#include <QtTest>

#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "support/ConexionGrabadora.h"
#include "support/ErrorLanzado.h"
#include "support/MotoresPrueba.h"

using platform::Connection;
using platform::ErrorEjecucion;
using platform::RecordsetPtr;

namespace {

// What the connection's events said, in order.
struct Diario {
    QStringList lineas;
    QVector<RecordsetPtr> recordsets;

    void escucha(Connection& con) {
        QObject::connect(&con, &Connection::willExecute,
                         [this](const QString& sql) { lineas << "will " + sql; });
        QObject::connect(&con, &Connection::executeComplete,
                         [this](qint32, const ErrorEjecucion* e, qint32 estado, const QString& sql,
                                RecordsetPtr rs) {
                             lineas << QStringLiteral("complete %1 %2 %3")
                                           .arg(estado)
                                           .arg(e ? e->numero() : 0)
                                           .arg(sql);
                             recordsets << rs;
                         });
        QObject::connect(
            &con, &Connection::connectComplete, [this](const ErrorEjecucion* e, qint32 estado) {
                lineas << QStringLiteral("connect %1 %2").arg(estado).arg(e ? e->numero() : 0);
            });
    }
};

// The diary lines of statements that ran well, one after the other.
QStringList bienUnaTrasOtra(const QStringList& sentencias) {
    QStringList lineas;
    for (const QString& sql : sentencias) {
        lineas << "will " + sql << "complete 1 0 " + sql;
    }
    return lineas;
}

qint32 cuenta(Connection& con, const QString& tabla) {
    RecordsetPtr rs = con.execute("SELECT COUNT(*) AS n FROM " + tabla);
    return rs->field("n").value().toInt();
}

}  // namespace

class TstConnection : public QObject {
    Q_OBJECT

private:
    QTemporaryDir carpeta_;

private slots:
    // Events surround every statement; a failure carries the engine's state and native code and
    // the session survives it.
    void sincrona_data() { prueba::filasMotores(); }
    void sincrona() {
        Connection con;
        Diario diario;
        diario.escucha(con);
        if (!prueba::abreMotorFila(con, carpeta_.path())) {
            return;
        }
        QCOMPARE(con.state(), Connection::kAbierto);
        con.execute("DROP TABLE IF EXISTS tEventos");
        con.execute("CREATE TABLE tEventos (n INTEGER PRIMARY KEY, t VARCHAR(20))");
        qint32 afectadas = 0;
        con.execute("INSERT INTO tEventos (n, t) VALUES (1, 'uno')", &afectadas);
        QCOMPARE(afectadas, 1);
        RecordsetPtr devuelto = con.execute("SELECT * FROM tEventos");
        platform::Recordset rs;
        rs.open("SELECT * FROM tEventos WHERE n=1", &con, 0, 3);
        rs.field("t").setValue("UNO");
        rs.update();
        const QString duplicada = "INSERT INTO tEventos (n, t) VALUES (1, 'otro')";
        try {
            con.execute(duplicada);
            QFAIL("a duplicate key was accepted");
        } catch (const std::exception& error) {
            // Whoever catches any exception still reads the engine's message.
            const auto& e = dynamic_cast<const ErrorEjecucion&>(error);
            QCOMPARE(QString::fromUtf8(error.what()), e.descripcion());
            QCOMPARE(e.numero(), Connection::kErrorMotor);
            QCOMPARE(e.sqlState().left(2), QStringLiteral("23"));
            QVERIFY(e.codigoNativo() != 0);
            QVERIFY(!e.descripcion().isEmpty());
        }
        QCOMPARE(
            diario.lineas,
            (QStringList{"connect 1 0"} +
             bienUnaTrasOtra({"DROP TABLE IF EXISTS tEventos",
                              "CREATE TABLE tEventos (n INTEGER PRIMARY KEY, t VARCHAR(20))",
                              "INSERT INTO tEventos (n, t) VALUES (1, 'uno')",
                              "SELECT * FROM tEventos", "SELECT * FROM tEventos WHERE n=1",
                              "UPDATE tEventos SET t=? WHERE n=?"}) +
             QStringList{
                 "will " + duplicada,
                 QStringLiteral("complete 2 %1 %2").arg(Connection::kErrorMotor).arg(duplicada)}));
        QCOMPARE(diario.recordsets.size(), 7);
        QVERIFY(!diario.recordsets[2]);
        QCOMPARE(diario.recordsets[3], devuelto);
        QCOMPARE(diario.recordsets[4].get(), &rs);
        QCOMPARE(cuenta(con, "tEventos"), 1);

        const bool sqlite = con.motor() == u"sqlite";
        QCOMPARE(con.motor(), sqlite ? QStringLiteral("sqlite") : QStringLiteral("odbc"));
        QCOMPARE(con.property("Data Source").toString(),
                 sqlite ? carpeta_.filePath("prueba.mdb") : prueba::datosMariaDb()->host);
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, con.open());
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, con.setConnectionString("x"));
        QCOMPARE(con.state(), Connection::kAbierto);

        // Only a streaming result holds the engine, and without MARS nothing else may run until
        // it is read to the end; a kept result is read at once and outlives its connection.
        con.setSinMars(true);
        con.execute("INSERT INTO tEventos (n, t) VALUES (2, 'dos')");
        RecordsetPtr leyendo = con.executeSoloAdelante("SELECT n FROM tEventos ORDER BY n");
        const ErrorEjecucion e =
            prueba::errorLanzado([&] { con.executeSoloAdelante("SELECT n FROM tEventos"); });
        QCOMPARE(e.sqlState(), QStringLiteral("24000"));
        QCOMPARE(e.descripcion(),
                 QStringLiteral("La conexión está ocupada con los resultados de otra instrucción"));
        leyendo->moveNext();
        leyendo->moveNext();
        QVERIFY(leyendo->eof());
        RecordsetPtr leido = con.execute("SELECT n FROM tEventos ORDER BY n");
        con.execute("INSERT INTO tEventos (n, t) VALUES (3, 'tres')");
        leyendo = con.executeSoloAdelante("SELECT n FROM tEventos ORDER BY n");
        con.close();
        QCOMPARE(leyendo->state(), platform::Recordset::kCerrado);
        QCOMPARE(leido->state(), platform::Recordset::kAbierto);
        leido->moveLast();
        QCOMPARE(leido->field("n").value().toInt(), 2);
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, leido->requery());
    }

    // A lost server and MariaDB's own time-out are the toolkit's engine tests' cases; SQLite
    // has no time-out of its own and is interrupted.
    void tiempoAgotado() {
        const QString sql =
            "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT COUNT(*) FROM c";
        Connection con;
        con.open(prueba::motorPrueba("sqlite", carpeta_.path()).textoConexion);
        con.setCommandTimeout(1);
        Diario diario;
        diario.escucha(con);
        const ErrorEjecucion e = prueba::errorLanzado([&] { con.execute(sql); });
        QCOMPARE(e.numero(), ErrorEjecucion::kTiempoAgotado);
        QVERIFY(!e.sqlState().isEmpty());
        QCOMPARE(diario.lineas.last(),
                 QStringLiteral("complete 2 %1 %2").arg(ErrorEjecucion::kTiempoAgotado).arg(sql));
        con.setCommandTimeout(30);
        QCOMPARE(con.execute("SELECT 7 AS n")->field("n").value().toInt(), 7);
    }

    // Statements accepted while the open is pending run in order before a synchronous one.
    void asincrona_data() { prueba::filasMotores(); }
    void asincrona() {
        Connection con;
        Diario diario;
        diario.escucha(con);
        QSignalSpy conectada(&con, &Connection::connectComplete);
        if (!prueba::abreMotorFila(con, carpeta_.path(), Connection::kOpcionAsincrona)) {
            return;
        }
        QCOMPARE(con.state(), Connection::kConectando);
        QCOMPARE(conectada.count(), 0);
        con.execute("DROP TABLE IF EXISTS tOrden", nullptr, 144);
        con.execute("CREATE TABLE tOrden (n INTEGER)", nullptr, 144);
        con.execute("INSERT INTO tOrden (n) VALUES (1)");
        QCOMPARE(diario.lineas,
                 QStringList({"will DROP TABLE IF EXISTS tOrden",
                              "will CREATE TABLE tOrden (n INTEGER)", "connect 1 0"}) +
                     QStringList({"complete 1 0 DROP TABLE IF EXISTS tOrden",
                                  "complete 1 0 CREATE TABLE tOrden (n INTEGER)"}) +
                     bienUnaTrasOtra({"INSERT INTO tOrden (n) VALUES (1)"}));
        QCOMPARE(con.state(), Connection::kAbierto);
        diario.lineas.clear();

        QSignalSpy completada(&con, &Connection::executeComplete);
        QVERIFY(!con.execute("INSERT INTO tOrden (n) VALUES (5)", nullptr, 144));
        QCOMPARE(con.state(), Connection::kAbierto | Connection::kEjecutando);
        QCOMPARE(diario.lineas, QStringList{"will INSERT INTO tOrden (n) VALUES (5)"});
        QVERIFY(completada.wait(10000));
        QCOMPARE(con.state(), Connection::kAbierto);
        QCOMPARE(diario.lineas.last(),
                 QStringLiteral("complete 1 0 INSERT INTO tOrden (n) VALUES (5)"));

        // A failing asynchronous statement reports through its event and throws nothing.
        con.execute("INSERT INTO tNoExiste (n) VALUES (1)", nullptr, 144);
        QVERIFY(completada.wait(10000));
        QVERIFY(diario.lineas.last().startsWith(
            QStringLiteral("complete 2 %1").arg(Connection::kErrorMotor)));

        platform::Recordset rs;
        rs.open("SELECT SUM(n) AS n FROM tOrden", &con, 0, 1, 16);
        QCOMPARE(rs.state(), platform::Recordset::kEjecutando);
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, rs.eof());
        QVERIFY(completada.wait(10000));
        QCOMPARE(rs.state(), platform::Recordset::kAbierto);
        QCOMPARE(rs.field("n").value().toInt(), 6);
        rs.close();

        // Cancelled or pending when the connection closes, a statement never runs.
        con.execute("INSERT INTO tOrden (n) VALUES (7)", nullptr, 144);
        con.cancel();
        QCOMPARE(diario.lineas.last(),
                 QStringLiteral("complete 2 %1 INSERT INTO tOrden (n) VALUES (7)")
                     .arg(Connection::kErrorCancelado));
        con.execute("INSERT INTO tOrden (n) VALUES (8)", nullptr, 144);
        con.close();
        QCOMPARE(con.state(), Connection::kCerrado);
        QTest::qWait(20);
        con.open();
        QCOMPARE(cuenta(con, "tOrden"), 2);
    }

    // A file that cannot be had fails the open, synchronous or not, and leaves a closed
    // connection that refuses work. An unknown provider or driver is the connection text's case.
    void entradaErronea() {
        const QString texto = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/no/existe/x.mdb";
        const QString fallo = QStringLiteral("connect 2 %1").arg(ErrorEjecucion::kConexionRota);
        Connection con;
        Diario diario;
        diario.escucha(con);
        const ErrorEjecucion e = prueba::errorLanzado([&] { con.open(texto); });
        QCOMPARE(e.numero(), ErrorEjecucion::kConexionRota);
        QVERIFY2(e.descripcion().contains("/no/existe/x.mdb"), qPrintable(e.descripcion()));
        QCOMPARE(con.state(), Connection::kCerrado);
        QCOMPARE(diario.lineas, QStringList{fallo});
        QSignalSpy conectada(&con, &Connection::connectComplete);
        con.open(texto, Connection::kOpcionAsincrona);
        QVERIFY(conectada.wait(5000));
        QCOMPARE(con.state(), Connection::kCerrado);
        QCOMPARE(diario.lineas, QStringList({fallo, fallo}));
        QCOMPARE(prueba::errorLanzado([&] { con.execute("SELECT 1"); }).numero(),
                 Connection::kErrorObjetoCerrado);
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, con.property("Data Source"));
        platform::Recordset rs;
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, rs.open("SELECT 1", &con));
        QCOMPARE(rs.state(), platform::Recordset::kCerrado);
    }

    // The statements the layer itself writes (recordset inserts and updates) reach an engine
    // exactly as these texts, whatever the engine.
    void textosDeLosRecordsets() {
        prueba::ConexionGrabadora grabadora;
        grabadora.responde("FROM tFicheros",
                           {{"codFichero", "nombre", "nBloques"},
                            {{7, QString("a.exe"), 3}, {8, QString("b.dll"), QVariant()}}});
        grabadora.clavePrimaria("tFicheros", {"codFichero"});
        Connection con;
        con.open(
            "Provider=sqloledb.1;Data Source=srv,1433;Initial Catalog=fob;User ID=sa;Password=x");
        QCOMPARE(con.property("Data Source").toString(), QStringLiteral("srv,1433"));
        platform::Recordset rs;
        rs.open("SELECT * FROM tFicheros WHERE codCarpeta=1", &con, 0,
                platform::Recordset::kOptimista);
        QCOMPARE(rs.field("nombre").value().toString(), QStringLiteral("a.exe"));
        rs.field("nombre").setValue("a'.exe");
        rs.update();
        rs.moveNext();
        QVERIFY(rs.field("nBloques").value().isNull());
        rs.addNew();
        rs.field("codFichero").setValue(9);
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, rs.field("datos"));
        rs.field("nombre").setValue(QByteArray("\0x", 2));
        rs.update();
        con.execute("DELETE FROM tDatosFichero WHERE codFichero=9");
        QCOMPARE(grabadora.sentencias(),
                 (QStringList{"SELECT * FROM tFicheros WHERE codCarpeta=1",
                              "UPDATE tFicheros SET nombre=? WHERE codFichero=?",
                              "INSERT INTO tFicheros (codFichero,nombre) VALUES (?,?)",
                              "DELETE FROM tDatosFichero WHERE codFichero=9"}));
        QCOMPARE(grabadora.parametros()[1], (QVariantList{QString("a'.exe"), 7}));
        QCOMPARE(grabadora.parametros()[2], (QVariantList{9, QByteArray("\0x", 2)}));
    }
};

QTEST_GUILESS_MAIN(TstConnection)
#include "tst_Connection.moc"
