#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

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

void escribe(QWidget& v, const char* nombre, const QString& t) {
    v.findChild<QLineEdit*>(QString::fromLatin1(nombre))->setText(t);
}

// The set-up window's boxes, joined by "|".
QString cajas(fHost& host) {
    QStringList textos;
    for (const char* caja : {"tServidorRemoto", "tServidorLocal", "tProvider", "tSid", "tBaseDatos",
                             "tLogin", "tPassword", "tPassword2", "tPuerto", "tAplicacion"}) {
        textos << host.findChild<QLineEdit*>(QString::fromLatin1(caja))->text();
    }
    return textos.join(u'|');
}

int tipoElegido(fHost& host) {
    return host.findChild<QComboBox*>(QStringLiteral("cTipoConexion"))->currentIndex();
}

// Builds the directory: client 7 "O'Brien" (key k'1) is served by database 1 for "Ges'tion"
// (MySQL, no executable) and by database 2 for "Almacen" (ORACLE, "alm.exe"). The quotes show
// every value reaches the engine quoted.
void creaDirectorio(const QString& textoConexion) {
    platform::Connection c;
    c.open(textoConexion);
    for (const char* tabla :
         {"tAplicacionBaseDatos", "tAplicaciones", "tBasesDatos", "tClientesF7"}) {
        c.execute(QStringLiteral("DROP TABLE IF EXISTS ") + tabla, nullptr, 128);
    }
    for (const char* s : {
             "CREATE TABLE tClientesF7 (codCliente INTEGER, refCliente VARCHAR(50), "
             "claveInstalacion VARCHAR(50))",
             "CREATE TABLE tBasesDatos (codBaseDatos INTEGER, codCliente INTEGER, tipoConexion "
             "INTEGER, provider VARCHAR(50), sid VARCHAR(50), servidor VARCHAR(50), servidorLocal "
             "VARCHAR(50), baseDatos VARCHAR(50), login VARCHAR(50), Password VARCHAR(50), "
             "puerto INTEGER)",
             "CREATE TABLE tAplicacionBaseDatos (codBaseDatos INTEGER, codAplicacion INTEGER)",
             "CREATE TABLE tAplicaciones (codAplicacion INTEGER, aplicacion VARCHAR(50), "
             "ejecutable VARCHAR(50))",
             "INSERT INTO tClientesF7 VALUES (7, 'O''Brien', 'k''1')",
             "INSERT INTO tClientesF7 VALUES (8, 'Otro', 'k2')",
             "INSERT INTO tBasesDatos VALUES (1, 7, 2, NULL, NULL, 'remoto.example', "
             "'192.168.1.5', 'fob', 'usuario', 'clave', 3307)",
             "INSERT INTO tBasesDatos VALUES (2, 7, 3, 'OraProv', 'ORCL', 'ora.example', NULL, "
             "'almacen', 'alm', 'secreto', 1600)",
             "INSERT INTO tAplicaciones VALUES (1, 'Ges''tion', NULL)",
             "INSERT INTO tAplicaciones VALUES (2, 'Almacen', 'alm.exe')",
             "INSERT INTO tAplicacionBaseDatos VALUES (1, 1)",
             "INSERT INTO tAplicacionBaseDatos VALUES (2, 2)",
         }) {
        c.execute(QString::fromLatin1(s), nullptr, 128);
    }
}

}  // namespace

Q_DECLARE_METATYPE(QList<Respuesta>)

class TstDirectorioCentral : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { qunsetenv(DirectorioCentral::kVariableEntorno); }

    void conexion() {
        const std::pair<const char*, const char*> casos[] = {
            // type|server|password; empty: refused.
            {nullptr, "1|corvinal-directorio|qel_u_dorn_XPT"},
            {"0,,|/datos,dir.mdb,,,0", "0|/datos|"},
            {"2,,|db.example,corvinal,u,clara,3306", "2|db.example|clara"},
            {"2,,|db.example,corvinal,u", ""},
            {"db.example,corvinal,u,p,99999", ""},
        };
        for (const auto& [registro, datos] : casos) {
            if (registro) {
                qputenv(DirectorioCentral::kVariableEntorno, registro);
            }
            const DirectorioCentral::Conexion c = DirectorioCentral::conexion();
            const DatosConexion& d = c.datos;
            QCOMPARE(
                c.error.isEmpty()
                    ? QStringLiteral("%1|%2|%3").arg(d.tipoConexion).arg(d.servidor, d.password)
                    : QString(),
                QString(datos));
        }
    }

    void busqueda_data() {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QList<Respuesta>>("respuestas");
        QTest::addColumn<QStringList>("mensajes");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("esperadas");
        const QString sinCliente = QStringLiteral(
            "No se encuentra ningún cliente con referencia: Nadie y la clave de instalación "
            "introducida.");
        const QString sinAplicacion = QStringLiteral(
            "No se existe aplicación asociada al cliente seleccionado con el nombre: Nada");
        const Respuesta cerrada{{}, {}, {}, false};
        const Respuesta almacen{"O'Brien", "k'1", "Almacen"};
        // The directory's port and provider replace the type's defaults.
        const QString mysql = "remoto.example|192.168.1.5|||fob|usuario|clave|clave|3307|fob7.exe";
        const QString oracle = "ora.example||OraProv|ORCL|almacen|alm|secreto|secreto|1600|alm.exe";
        const QString nada = "||||||||1433|fob7.exe";
        for (const QString& motor : {QStringLiteral("sqlite"), QStringLiteral("mariadb")}) {
            const auto f = [&motor](const char* fila, const QList<Respuesta>& respuestas,
                                    const QStringList& mensajes, int tipo,
                                    const QString& esperadas) {
                QTest::addRow("%s: %s", qPrintable(motor), fila)
                    << motor << respuestas << mensajes << tipo << esperadas;
            };
            f("comillas y blancos, ejecutable nulo", {{" O'Brien ", "k'1 ", " Ges'tion "}}, {}, 2,
              mysql);
            f("oracle con ejecutable", {almacen}, {}, 3, oracle);
            if (motor != u"sqlite") {
                continue;  // the dialogue around the queries is the same on every engine
            }
            f("cliente no encontrado y luego cerrada", {{"Nadie", "k'1", "Ges'tion"}, cerrada},
              {sinCliente}, -1, nada);
            f("clave de otro cliente",
              {{"Nadie", "k2", "Ges'tion"}, {"O'Brien", "k'1", "Ges'tion"}}, {sinCliente}, 2,
              mysql);
            f("aplicacion no encontrada y luego la buena", {{"O'Brien", "k'1", "Nada"}, almacen},
              {sinAplicacion}, 3, oracle);
        }
    }
    void busqueda() {
        QFETCH(QString, motor);
        QFETCH(QList<Respuesta>, respuestas);
        QFETCH(QStringList, mensajes);
        QFETCH(int, tipo);
        QFETCH(QString, esperadas);
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
        const DirectorioCentral::SolicitudInstalada solicitud([&](fDatosConexionTolvane& v) {
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
        QCOMPARE(tipoElegido(host), tipo);
        QCOMPARE(cajas(host), esperadas);
        // The lookup itself stores nothing.
        QVERIFY(!host.seAcepto());
    }

    // A directory that cannot be reached or read is said once; the window stays as it was.
    void directorioInutilizable() {
        QTemporaryDir carpeta;
        prueba::creaFicheroSqlite(carpeta.path());
        const std::pair<QString, int> casos[] = {
            {"0,,|/no/existe/nunca,dir.mdb,,,0", 0},
            {"0,,|solo,tres,campos", 0},
            // The one without tables opens: only it asks for the client.
            {prueba::registroMotor("sqlite", carpeta.path()), 1},
        };
        for (const auto& [registro, preguntas] : casos) {
            qputenv(DirectorioCentral::kVariableEntorno, registro.toUtf8());
            int preguntado = 0;
            const DirectorioCentral::SolicitudInstalada solicitud([&](fDatosConexionTolvane& v) {
                ++preguntado;
                escribe(v, "tRefCliente", QStringLiteral("a"));
                escribe(v, "tClaveInstalacion", QStringLiteral("b"));
                v.bAceptar_Click();
                return v.seAcepto();
            });
            MensajeriaGrabada grabada;
            fHost host;
            DirectorioCentral::obtieneDatos(host);
            QCOMPARE(preguntado, preguntas);
            QCOMPARE(grabada.textos(MensajeriaGrabada::Clase::Mensaje).size(), 1);
            QCOMPARE(tipoElegido(host), -1);
            QCOMPARE(cajas(host), QStringLiteral("||||||||1433|fob7.exe"));
        }
    }
};

QTEST_MAIN(TstDirectorioCentral)
#include "tst_DirectorioCentral.moc"
