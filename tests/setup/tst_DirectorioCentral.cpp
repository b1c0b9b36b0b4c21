#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "dataaccess/aConexion.h"
#include "platform/Connection.h"
#include "setup/DirectorioCentral.h"
#include "setup/fDatosConexionTolvane.h"
#include "setup/fHost.h"
#include "support/MensajeriaGrabada.h"
#include "support/MotoresPrueba.h"

namespace {

// One answer to the request window: the three boxes and "Aceptar", or a closed window.
struct Respuesta {
    QString ref;
    QString clave;
    QString aplicacion;
    bool acepta = true;
};

QString texto(QWidget& v, const char* nombre) {
    return v.findChild<QLineEdit*>(QString::fromLatin1(nombre))->text();
}

void escribe(QWidget& v, const char* nombre, const QString& t) {
    v.findChild<QLineEdit*>(QString::fromLatin1(nombre))->setText(t);
}

const QStringList kTablas = {QStringLiteral("tAplicacionBaseDatos"),
                             QStringLiteral("tAplicaciones"), QStringLiteral("tBasesDatos"),
                             QStringLiteral("tClientesF7")};

// Builds the directory: client 7 "O'Brien" (key k1) is served by database 1 for "Gestion"
// (MySQL, no executable) and by database 2 for "Almacen" (ORACLE, "alm.exe").
void creaDirectorio(const QString& textoConexion) {
    platform::Connection c;
    c.open(textoConexion);
    for (const QString& tabla : kTablas) {
        c.execute(QStringLiteral("DROP TABLE IF EXISTS ") + tabla, nullptr, 128);
    }
    const QStringList sentencias = {
        QStringLiteral("CREATE TABLE tClientesF7 (codCliente INTEGER, refCliente VARCHAR(50), "
                       "claveInstalacion VARCHAR(50))"),
        QStringLiteral("CREATE TABLE tBasesDatos (codBaseDatos INTEGER, codCliente INTEGER, "
                       "tipoConexion INTEGER, provider VARCHAR(50), sid VARCHAR(50), servidor "
                       "VARCHAR(50), servidorLocal VARCHAR(50), baseDatos VARCHAR(50), login "
                       "VARCHAR(50), Password VARCHAR(50), puerto INTEGER)"),
        QStringLiteral("CREATE TABLE tAplicacionBaseDatos (codBaseDatos INTEGER, codAplicacion "
                       "INTEGER)"),
        QStringLiteral("CREATE TABLE tAplicaciones (codAplicacion INTEGER, aplicacion "
                       "VARCHAR(50), ejecutable VARCHAR(50))"),
        QStringLiteral("INSERT INTO tClientesF7 VALUES (7, 'O''Brien', 'k1')"),
        QStringLiteral("INSERT INTO tClientesF7 VALUES (8, 'Otro', 'k2')"),
        QStringLiteral("INSERT INTO tBasesDatos VALUES (1, 7, 2, NULL, NULL, 'remoto.example', "
                       "'192.168.1.5', 'fob', 'usuario', 'clave', 3307)"),
        QStringLiteral("INSERT INTO tBasesDatos VALUES (2, 7, 3, 'OraProv', 'ORCL', 'ora.example', "
                       "NULL, 'almacen', 'alm', 'secreto', 1600)"),
        QStringLiteral("INSERT INTO tAplicaciones VALUES (1, 'Gestion', NULL)"),
        QStringLiteral("INSERT INTO tAplicaciones VALUES (2, 'Almacen', 'alm.exe')"),
        QStringLiteral("INSERT INTO tAplicacionBaseDatos VALUES (1, 1)"),
        QStringLiteral("INSERT INTO tAplicacionBaseDatos VALUES (2, 2)"),
    };
    for (const QString& s : sentencias) {
        c.execute(s, nullptr, 128);
    }
}

}  // namespace

Q_DECLARE_METATYPE(QList<Respuesta>)

class TstDirectorioCentral : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        DirectorioCentral::estableceSolicitud({});
        qunsetenv(DirectorioCentral::kVariableEntorno);
    }

    void conexionFija() {
        qunsetenv(DirectorioCentral::kVariableEntorno);
        const DirectorioCentral::Conexion c = DirectorioCentral::conexion();
        QCOMPARE(c.datos.tipoConexion, 1);
        QCOMPARE(c.datos.servidor, QStringLiteral("corvinal-directorio"));
        QCOMPARE(c.datos.baseDatos, QStringLiteral("corvinal"));
        QCOMPARE(c.datos.login, QStringLiteral("corvinal"));
        QCOMPARE(c.datos.password, QStringLiteral("qel_u_dorn_XPT"));
        QCOMPARE(c.datos.puerto, 1442);
        QVERIFY(c.error.isEmpty());
    }

    void conexionDelEntorno_data() {
        QTest::addColumn<QString>("registro");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("servidor");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("valido");
        QTest::newRow("fichero") << "0,,|/datos,dir.mdb,,,0" << 0 << "/datos"
                                 << "" << true;
        QTest::newRow("mysql") << "2,,|db.example,corvinal,u,clara,3306" << 2 << "db.example"
                               << "clara" << true;
        QTest::newRow("cuatro campos") << "2,,|db.example,corvinal,u" << 0 << ""
                                       << "" << false;
        QTest::newRow("puerto excesivo") << "db.example,corvinal,u,p,99999" << 0 << ""
                                         << "" << false;
    }
    void conexionDelEntorno() {
        QFETCH(QString, registro);
        QFETCH(int, tipo);
        QFETCH(QString, servidor);
        QFETCH(QString, password);
        QFETCH(bool, valido);
        qputenv(DirectorioCentral::kVariableEntorno, registro.toUtf8());
        const DirectorioCentral::Conexion c = DirectorioCentral::conexion();
        QCOMPARE(c.error.isEmpty(), valido);
        if (valido) {
            QCOMPARE(c.datos.tipoConexion, tipo);
            QCOMPARE(c.datos.servidor, servidor);
            QCOMPARE(c.datos.password, password);
        }
    }

    void consultas() {
        aConexion c;
        const auto aplana = [&c](const QString& s) { return c.aplana(s); };
        QCOMPARE(DirectorioCentral::consultaCliente(QStringLiteral(" O'Brien "),
                                                    QStringLiteral("k'1"), aplana),
                 QStringLiteral("SELECT codCliente FROM tClientesF7  WHERE refCliente='O''Brien' "
                                "AND claveInstalacion='k''1'"));
        QCOMPARE(
            DirectorioCentral::consultaBaseDatos(QStringLiteral(" Ges'tion "), 7, aplana),
            QStringLiteral("SELECT tb.*,ta.ejecutable FROM tBasesDatos tb INNER JOIN "
                           "tAplicacionBaseDatos tap  ON tb.codBaseDatos=tap.codBaseDatos "
                           "INNER JOIN tAplicaciones ta ON  tap.codAplicacion=ta.codAplicacion "
                           "WHERE ta.aplicacion='Ges''tion'  AND codCliente=7"));
    }

    void busqueda_data() {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QList<Respuesta>>("respuestas");
        QTest::addColumn<QStringList>("mensajes");
        QTest::addColumn<bool>("rellena");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("puerto");
        QTest::addColumn<QString>("aplicacion");
        const QString sinCliente = QStringLiteral(
            "No se encuentra ningún cliente con referencia: Nadie y la clave de instalación "
            "introducida.");
        const QString sinAplicacion = QStringLiteral(
            "No se existe aplicación asociada al cliente seleccionado con el nombre: Nada");
        const Respuesta cerrada{{}, {}, {}, false};
        const Respuesta gestion{"O'Brien", "k1", "Gestion"};
        const Respuesta almacen{"O'Brien", "k1", "Almacen"};
        for (const QString& motor : {QStringLiteral("sqlite"), QStringLiteral("mariadb")}) {
            const auto f = [&motor](const char* fila, const QList<Respuesta>& respuestas,
                                    const QStringList& mensajes, int tipo) {
                const bool oracle = tipo == 3;
                QTest::addRow("%s: %s", qPrintable(motor), fila)
                    << motor << respuestas << mensajes << (tipo > 0) << tipo
                    << (oracle      ? "1600"
                        : tipo == 2 ? "3307"
                                    : "1433")
                    << (oracle ? "alm.exe" : "fob7.exe");
            };
            f("comilla y blancos, ejecutable nulo, puerto del directorio",
              {{" O'Brien ", "k1 ", " Gestion"}}, {}, 2);
            f("oracle con ejecutable", {almacen}, {}, 3);
            f("cliente no encontrado y luego cerrada", {{"Nadie", "k1", "Gestion"}, cerrada},
              {sinCliente}, -1);
            f("clave de otro cliente", {{"Nadie", "k2", "Gestion"}, gestion}, {sinCliente}, 2);
            f("aplicacion no encontrada y luego la buena", {{"O'Brien", "k1", "Nada"}, almacen},
              {sinAplicacion}, 3);
            f("referencia vacia", {{"", "k1", "Gestion"}}, {}, -1);
        }
    }
    void busqueda() {
        QFETCH(QString, motor);
        QFETCH(QList<Respuesta>, respuestas);
        QFETCH(QStringList, mensajes);
        QFETCH(bool, rellena);
        QFETCH(int, tipo);
        QFETCH(QString, puerto);
        QFETCH(QString, aplicacion);
        QTemporaryDir carpeta;
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpeta.path());
        if (!prueba::disponible(m)) {
            return;
        }
        creaDirectorio(m.textoConexion);
        qputenv(DirectorioCentral::kVariableEntorno,
                prueba::registroMotor(motor, carpeta.path()).toUtf8());

        QList<Respuesta> pendientes = respuestas;
        // What each showing of the request found in its boxes, and what was typed into it.
        QStringList encontrado;
        QStringList escrito{QStringLiteral("||")};
        DirectorioCentral::estableceSolicitud([&](fDatosConexionTolvane& v) -> bool {
            encontrado << QStringList{v.refCliente(), v.claveInstalacion(), v.aplicacion()}.join(
                u'|');
            v.show();
            const Respuesta r = pendientes.takeFirst();
            if (!r.acepta) {
                v.close();
                return v.seAcepto();
            }
            escribe(v, "tRefCliente", r.ref);
            escribe(v, "tClaveInstalacion", r.clave);
            escribe(v, "tAplicacion", r.aplicacion);
            escrito << QStringList{r.ref, r.clave, r.aplicacion}.join(u'|');
            QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("bAceptar")),
                              Qt::LeftButton);
            return v.seAcepto();
        });

        MensajeriaGrabada grabada;
        fHost host;
        host.findChild<QPushButton*>(QStringLiteral("bObtenerInformacionTolvane"))->click();

        QVERIFY2(pendientes.isEmpty(),
                 qPrintable(grabada.textos(MensajeriaGrabada::Clase::Mensaje).join(u'\n')));
        // A request shown again keeps what was typed the last time.
        QCOMPARE(encontrado, escrito.mid(0, encontrado.size()));
        QCOMPARE(grabada.textos(MensajeriaGrabada::Clase::Mensaje), mensajes);
        QCOMPARE(host.findChild<QComboBox*>(QStringLiteral("cTipoConexion"))->currentIndex(), tipo);
        QCOMPARE(texto(host, "tPuerto"), puerto);
        QCOMPARE(texto(host, "tAplicacion"), aplicacion);
        if (!rellena) {
            QCOMPARE(texto(host, "tServidorRemoto"), QString());
            QCOMPARE(texto(host, "tLogin"), QString());
            return;
        }
        if (tipo == 2) {
            QCOMPARE(texto(host, "tServidorRemoto"), QStringLiteral("remoto.example"));
            QCOMPARE(texto(host, "tServidorLocal"), QStringLiteral("192.168.1.5"));
            QCOMPARE(texto(host, "tProvider"), QString());
            QCOMPARE(texto(host, "tBaseDatos"), QStringLiteral("fob"));
            QCOMPARE(texto(host, "tLogin"), QStringLiteral("usuario"));
            QCOMPARE(texto(host, "tPassword"), QStringLiteral("clave"));
            QCOMPARE(texto(host, "tPassword2"), QStringLiteral("clave"));
            QVERIFY(host.findChild<QFrame*>(QStringLiteral("fOracle"))->isHidden());
        } else {
            // The directory's provider replaces the type's default one.
            QCOMPARE(texto(host, "tProvider"), QStringLiteral("OraProv"));
            QCOMPARE(texto(host, "tSid"), QStringLiteral("ORCL"));
            QCOMPARE(texto(host, "tServidorLocal"), QString());
            QVERIFY(!host.findChild<QFrame*>(QStringLiteral("fOracle"))->isHidden());
        }
        // The lookup itself stores nothing.
        QVERIFY(!host.seAcepto());
    }

    void directorioInalcanzable_data() {
        QTest::addColumn<QString>("registro");
        QTest::newRow("carpeta inexistente") << "0,,|/no/existe/nunca,dir.mdb,,,0";
        QTest::newRow("registro no valido") << "0,,|solo,tres,campos";
    }
    void directorioInalcanzable() {
        QFETCH(QString, registro);
        qputenv(DirectorioCentral::kVariableEntorno, registro.toUtf8());
        bool preguntado = false;
        DirectorioCentral::estableceSolicitud([&](fDatosConexionTolvane&) -> bool {
            preguntado = true;
            return false;
        });
        MensajeriaGrabada grabada;
        fHost host;
        DirectorioCentral::obtieneDatos(host);
        QVERIFY(!preguntado);
        QCOMPARE(grabada.textos(MensajeriaGrabada::Clase::Mensaje).size(), 1);
        QCOMPARE(host.findChild<QComboBox*>(QStringLiteral("cTipoConexion"))->currentIndex(), -1);
    }

    void directorioSinTablas() {
        QTemporaryDir carpeta;
        prueba::creaFicheroSqlite(carpeta.path());
        qputenv(DirectorioCentral::kVariableEntorno,
                prueba::registroMotor("sqlite", carpeta.path()).toUtf8());
        DirectorioCentral::estableceSolicitud([](fDatosConexionTolvane& v) -> bool {
            escribe(v, "tRefCliente", QStringLiteral("a"));
            escribe(v, "tClaveInstalacion", QStringLiteral("b"));
            v.bAceptar_Click();
            return v.seAcepto();
        });
        MensajeriaGrabada grabada;
        fHost host;
        DirectorioCentral::obtieneDatos(host);
        // The engine's error is shown once and the lookup ends.
        QCOMPARE(grabada.textos(MensajeriaGrabada::Clase::Mensaje).size(), 1);
        QCOMPARE(texto(host, "tPuerto"), QStringLiteral("1433"));
    }
};

QTEST_MAIN(TstDirectorioCentral)
#include "tst_DirectorioCentral.moc"
