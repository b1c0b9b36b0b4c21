#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <functional>

#include "arranque/RegistroArranque.h"
#include "comun/modTolvane1.h"
#include "setup/DatosHost.h"
#include "setup/fHost.h"
#include "support/FicherosPrueba.h"
#include "support/MensajeriaGrabada.h"

namespace {

// Valid data of the given type, with the window's application, changed by `cambia`.
DatosHost completos(int tipo, const std::function<void(DatosHost&)>& cambia = {}) {
    DatosHost d;
    d.aplicacion = QStringLiteral("fob7.exe");
    d.tipo = tipo;
    const DatosHost::AjustesTipo a = DatosHost::ajustesTipo(tipo);
    d.puerto = a.puerto;
    d.provider = a.provider;
    d.tServidorLocal = QStringLiteral("srv");
    d.baseDatos = QStringLiteral("db");
    d.login = QStringLiteral("sa");
    d.password = d.password2 = QStringLiteral("pw");
    if (cambia) {
        cambia(d);
    }
    return d;
}

template <typename T>
T* control(fHost& ventana, const char* nombre) {
    T* c = ventana.findChild<T*>(QString::fromLatin1(nombre));
    if (!c) {
        qFatal("falta el control %s", nombre);
    }
    return c;
}

void escribe(fHost& v, const char* nombre, const QString& texto) {
    control<QLineEdit>(v, nombre)->setText(texto);
}

// Fills every box with valid data for the chosen type.
void rellenaValidos(fHost& v, int tipo) {
    control<QComboBox>(v, "cTipoConexion")->setCurrentIndex(tipo);
    escribe(v, "tServidorLocal", QStringLiteral("srv"));
    escribe(v, "tBaseDatos", QStringLiteral("db"));
    escribe(v, "tLogin", QStringLiteral("sa"));
    escribe(v, "tPassword", QStringLiteral("pw"));
    escribe(v, "tPassword2", QStringLiteral("pw"));
}

}  // namespace

class TstfHost : public QObject {
    Q_OBJECT
private slots:
    void estadoInicialYServidor() {
        fHost v;
        QCOMPARE(control<QLineEdit>(v, "tPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(control<QLineEdit>(v, "tPassword2")->echoMode(), QLineEdit::Password);
        // Only the chosen server's box takes text.
        for (const bool local : {true, false, true}) {
            control<QRadioButton>(v, local ? "oServidorLocal" : "oServidorRemoto")
                ->setChecked(true);
            QCOMPARE(control<QLineEdit>(v, "tServidorLocal")->isEnabled(), local);
            QCOMPARE(control<QLineEdit>(v, "tServidorRemoto")->isEnabled(), !local);
        }
    }

    // Every setting of the type is put again, not only added: from ORACLE (provider changed)
    // to each type, ORACLE itself included.
    void eleccionDeTipo() {
        const struct {
            int tipo;
            const char* puerto;
            bool puertoVisible, oracleVisible;
            const char* provider;
        } casos[] = {{0, "", false, false, ""},
                     {2, "3306", true, false, ""},
                     {3, "1521", true, true, "OraOLEDB.Oracle"}};
        for (const auto& c : casos) {
            fHost v;
            control<QComboBox>(v, "cTipoConexion")->setCurrentIndex(3);
            escribe(v, "tProvider", QStringLiteral("otro"));
            v.estableceTipo(c.tipo);
            QCOMPARE(control<QLineEdit>(v, "tPuerto")->text(), QString(c.puerto));
            QCOMPARE(!control<QFrame>(v, "fPuerto")->isHidden(), c.puertoVisible);
            QCOMPARE(!control<QFrame>(v, "fOracle")->isHidden(), c.oracleVisible);
            QCOMPARE(control<QLineEdit>(v, "tProvider")->text(), QString(c.provider));
        }
    }

    void informeAlAceptar() {
        const QString informe = QStringLiteral(
            "·No se seleccionó tipo de conexión.\r·Dirección del servidor Nula.\r·Base de datos "
            "nula.\r·Login de acceso nula.\r");
        QTemporaryDir carpeta;
        MensajeriaGrabada mensajes;
        fHost v;
        v.setCarpetaLanzador(carpeta.path());
        QTest::mouseClick(control<QPushButton>(v, "bAceptar"), Qt::LeftButton);
        // One message box, its lines broken as the message window breaks them.
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Mensaje),
                 QStringList{QString(informe).replace(u'\r', QStringLiteral("\r\n"))});
        // The window keeps the report in red.
        const auto* eInforme = v.findChild<QLabel*>(QStringLiteral("eInforme"));
        QCOMPARE(eInforme->text(), QString(informe).replace(u'\r', u'\n').trimmed());
        QCOMPARE(eInforme->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(!v.seAcepto());
        QVERIFY(!QFile::exists(RegistroArranque::rutaFichero(carpeta.path())));
    }

    // The remote server, once chosen, is the one stored.
    void aceptarEscribeElFichero() {
        for (const int tipo : {2, 3}) {
            const QByteArray bytes = tipo == 2 ? "2,,,|srv,db,sa,DFD9,3306,,,fob7.exe\r\n"
                                               : "3,OraOLEDB.Oracle,,|lejos,db,sa,DFD9,1521\r\n";
            const QString aplicacion = tipo == 2 ? "fob7.exe" : "";
            QTemporaryDir carpeta;
            MensajeriaGrabada mensajes;
            fHost v;
            v.setCarpetaLanzador(carpeta.path());
            rellenaValidos(v, tipo);
            if (tipo == 3) {
                control<QRadioButton>(v, "oServidorRemoto")->setChecked(true);
                escribe(v, "tServidorRemoto", QStringLiteral("lejos"));
            }
            escribe(v, "tAplicacion", aplicacion);
            QTest::mouseClick(control<QPushButton>(v, "bAceptar"), Qt::LeftButton);
            QVERIFY(mensajes.registros.isEmpty());
            QVERIFY(v.seAcepto());
            QCOMPARE(prueba::lee(RegistroArranque::rutaFichero(carpeta.path())), bytes);
            // Opened on the stored record, the window shows it so that accepting stores it again.
            fHost otra;
            otra.setCarpetaLanzador(carpeta.path());
            otra.muestraDatos(DatosHost::deRegistro(
                RegistroArranque::analiza(QString::fromLatin1(bytes.chopped(2)))));
            QFile::remove(RegistroArranque::rutaFichero(carpeta.path()));
            QTest::mouseClick(control<QPushButton>(otra, "bAceptar"), Qt::LeftButton);
            QCOMPARE(prueba::lee(RegistroArranque::rutaFichero(carpeta.path())), bytes);
        }
    }

    void cancelarNoEscribe() {
        QTemporaryDir carpeta;
        fHost v;
        v.setCarpetaLanzador(carpeta.path());
        rellenaValidos(v, 1);
        QTest::mouseClick(control<QPushButton>(v, "bCancelar"), Qt::LeftButton);
        QVERIFY(!v.seAcepto());
        QVERIFY(!QFile::exists(RegistroArranque::rutaFichero(carpeta.path())));
    }

    // The window's data on their own: the report and the stored line.
    void informe() {
        const auto f = [](const char* fila, const DatosHost& d, const char* informe) {
            QVERIFY2(d.informe() == QString::fromUtf8(informe),
                     qPrintable(QString::fromUtf8(fila) + ": " + d.informe()));
        };
        const char* const distintos = "·Los passwords introducidos no coinciden.\r";
        const char* const puerto = "·Nº de Puerto incorrecto.\r";
        f("completos", completos(1), "");
        f("remoto elegido con solo el local",
          completos(2, [](DatosHost& d) { d.servidorLocal = false; }),
          "·Dirección del servidor Nula.\r");
        f("remoto lleno",
          completos(2,
                    [](DatosHost& d) {
                        d.servidorLocal = false;
                        d.tServidorRemoto = QStringLiteral("lejos");
                        d.tServidorLocal.clear();
                    }),
          "");
        f("blancos cuentan como vacios",
          completos(1,
                    [](DatosHost& d) {
                        d.tServidorLocal = QStringLiteral("  ");
                        d.baseDatos = QStringLiteral(" ");
                        d.login = QStringLiteral("\t");
                    }),
          "·Dirección del servidor Nula.\r·Base de datos nula.\r·Login de acceso nula.\r");
        f("passwords distintos por mayusculas",
          completos(1, [](DatosHost& d) { d.password2 = "PW"; }), distintos);
        f("puerto no numerico", completos(3, [](DatosHost& d) { d.puerto = "mil"; }), puerto);
        f("puerto que el arranque no acepta",
          completos(2, [](DatosHost& d) { d.puerto = "40000"; }), puerto);
        f("separadores del registro en un campo",
          completos(3, [](DatosHost& d) { d.aplicacion = "a,b.exe"; }),
          "·El campo Aplicación no puede llevar «,» ni «|».\r");
        f("password fuera de Windows-1252",
          completos(1, [](DatosHost& d) { d.password = d.password2 = QStringLiteral("pw\u0416"); }),
          "·El campo Password tiene caracteres que no admite Windows-1252.\r");
        f("MS Access sin puerto se acepta", completos(0), "");
        DatosHost todo;
        todo.servidorLocal = false;
        todo.password = QStringLiteral("a");
        todo.puerto = QStringLiteral("x");
        f("todos los fallos en orden", todo,
          "·No se seleccionó tipo de conexión.\r·Dirección del servidor Nula.\r·Base de datos "
          "nula.\r·Login de acceso nula.\r·Los passwords introducidos no coinciden.\r·Nº de "
          "Puerto incorrecto.\r");
    }

    void lineaGuardada() {
        // "pw" is DFD9 in hexadecimal form. The stored line is one the launcher accepts, with
        // the same password.
        const auto f = [](const DatosHost& d, const char* linea) {
            QCOMPARE(d.lineaFichero(), QString(linea));
            const RegistroArranque r = RegistroArranque::analiza(linea);
            QVERIFY2(r.valido, qPrintable(r.motivo));
            QCOMPARE(modTolvane1::decodifica(r.campos.at(RegistroArranque::kPassword)), d.password);
        };
        f(completos(3, [](DatosHost& d) { d.sid = "ORCL"; }),
          "3,OraOLEDB.Oracle,ORCL,|srv,db,sa,DFD9,1521,,,fob7.exe");
        f(completos(0), "0,,,|srv,db,sa,DFD9,0,,,fob7.exe");
        f(completos(1,
                    [](DatosHost& d) {
                        d.aplicacion.clear();
                        d.servidorLocal = false;
                        d.tServidorRemoto = QStringLiteral(" lejos ");
                        d.puerto = QStringLiteral(" 1433");
                    }),
          "1,,,| lejos ,db,sa,DFD9, 1433");
    }
};

QTEST_MAIN(TstfHost)
#include "tst_fHost.moc"
