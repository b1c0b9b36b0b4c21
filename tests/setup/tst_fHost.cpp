#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "arranque/RegistroArranque.h"
#include "setup/fHost.h"
#include "support/FicherosPrueba.h"
#include "support/MensajeriaGrabada.h"

namespace {

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
    void estadoInicial() {
        fHost v;
        QCOMPARE(v.windowTitle(), QStringLiteral("Datos de Conexión"));
        auto* tipo = control<QComboBox>(v, "cTipoConexion");
        QCOMPARE(tipo->currentIndex(), -1);
        QCOMPARE(tipo->count(), 4);
        QCOMPARE(tipo->itemText(0), QStringLiteral("MS Access"));
        QCOMPARE(tipo->itemText(3), QStringLiteral("ORACLE"));
        QVERIFY(control<QRadioButton>(v, "oServidorLocal")->isChecked());
        QCOMPARE(control<QRadioButton>(v, "oServidorRemoto")->text(), QStringLiteral("Remoto:"));
        QVERIFY(control<QLineEdit>(v, "tServidorLocal")->isEnabled());
        QVERIFY(!control<QLineEdit>(v, "tServidorRemoto")->isEnabled());
        QCOMPARE(control<QLineEdit>(v, "tPuerto")->text(), QStringLiteral("1433"));
        QCOMPARE(control<QLineEdit>(v, "tAplicacion")->text(), QStringLiteral("fob7.exe"));
        QCOMPARE(control<QLineEdit>(v, "tPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(control<QLineEdit>(v, "tPassword2")->echoMode(), QLineEdit::Password);
        QVERIFY(control<QFrame>(v, "fOracle")->isHidden());
        QCOMPARE(control<QPushButton>(v, "bObtenerInformacionTolvane")->text(),
                 QStringLiteral("Obtener información de acceso"));
        QVERIFY(!v.seAcepto());
    }

    void eleccionDeTipo_data() {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("puerto");
        QTest::addColumn<bool>("puertoVisible");
        QTest::addColumn<bool>("oracleVisible");
        QTest::addColumn<QString>("provider");
        QTest::newRow("MS Access") << 0 << "" << false << false << "";
        QTest::newRow("SQL Server") << 1 << "1433" << true << false << "";
        QTest::newRow("MySQL") << 2 << "3306" << true << false << "";
        QTest::newRow("ORACLE") << 3 << "1521" << true << true << "OraOLEDB.Oracle";
    }
    void eleccionDeTipo() {
        QFETCH(int, tipo);
        QFETCH(QString, puerto);
        QFETCH(bool, puertoVisible);
        QFETCH(bool, oracleVisible);
        QFETCH(QString, provider);
        fHost v;
        // Coming from ORACLE shows that every setting is put, not only added.
        control<QComboBox>(v, "cTipoConexion")->setCurrentIndex(3);
        escribe(v, "tProvider", QStringLiteral("otro"));
        // Choosing the entry chosen already (ORACLE) applies its settings again.
        v.estableceTipo(tipo);
        QCOMPARE(control<QLineEdit>(v, "tPuerto")->text(), puerto);
        QCOMPARE(!control<QFrame>(v, "fPuerto")->isHidden(), puertoVisible);
        QCOMPARE(!control<QFrame>(v, "fOracle")->isHidden(), oracleVisible);
        QCOMPARE(control<QLineEdit>(v, "tProvider")->text(), provider);
    }

    void servidorLocalORemoto() {
        fHost v;
        control<QRadioButton>(v, "oServidorRemoto")->setChecked(true);
        QVERIFY(!control<QLineEdit>(v, "tServidorLocal")->isEnabled());
        QVERIFY(control<QLineEdit>(v, "tServidorRemoto")->isEnabled());
        control<QRadioButton>(v, "oServidorLocal")->setChecked(true);
        QVERIFY(control<QLineEdit>(v, "tServidorLocal")->isEnabled());
        QVERIFY(!control<QLineEdit>(v, "tServidorRemoto")->isEnabled());
    }

    void informeAlAceptar_data() {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QString>("informe");
        QTest::newRow("estado inicial")
            << 0
            << QStringLiteral(
                   "·No se seleccionó tipo de conexión.\r·Dirección del servidor "
                   "Nula.\r·Base de datos nula.\r·Login de acceso nula.\r");
        QTest::newRow("remoto con solo el local")
            << 1 << QStringLiteral("·Dirección del servidor Nula.\r");
        QTest::newRow("coma en el servidor")
            << 2 << QStringLiteral("·El campo Servidor no puede llevar «,» ni «|».\r");
    }
    void informeAlAceptar() {
        QFETCH(int, caso);
        QFETCH(QString, informe);
        QTemporaryDir carpeta;
        MensajeriaGrabada mensajes;
        fHost v;
        v.setCarpetaLanzador(carpeta.path());
        if (caso > 0) {
            rellenaValidos(v, 2);
        }
        if (caso == 1) {
            control<QRadioButton>(v, "oServidorRemoto")->setChecked(true);
        } else if (caso == 2) {
            escribe(v, "tServidorLocal", QStringLiteral("srv,1"));
        }
        QTest::mouseClick(control<QPushButton>(v, "bAceptar"), Qt::LeftButton);
        // One message box, its lines broken as the message window breaks them.
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Mensaje),
                 QStringList{QString(informe).replace(u'\r', QStringLiteral("\r\n"))});
        QCOMPARE(mensajes.registros.first().tipo, QString());
        // The window keeps the report in red.
        const auto* eInforme = v.findChild<QLabel*>(QStringLiteral("eInforme"));
        QCOMPARE(eInforme->text(), QString(informe).replace(u'\r', u'\n').trimmed());
        QCOMPARE(eInforme->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(!v.seAcepto());
        QVERIFY(!QFile::exists(RegistroArranque::rutaFichero(carpeta.path())));
    }

    void aceptarEscribeElFichero_data() {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("aplicacion");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("MySQL con aplicacion")
            << 2 << "fob7.exe" << QByteArray("2,,,|srv,db,sa,DFD9,3306,,,fob7.exe\r\n");
        QTest::newRow("SQL Server sin aplicacion")
            << 1 << "" << QByteArray("1,,,|srv,db,sa,DFD9,1433\r\n");
        // MS Access hides its port: it is accepted, stored as port 0.
        QTest::newRow("MS Access sin puerto")
            << 0 << "fob7.exe" << QByteArray("0,,,|srv,db,sa,DFD9,0,,,fob7.exe\r\n");
        QTest::newRow("ORACLE con proveedor")
            << 3 << "" << QByteArray("3,OraOLEDB.Oracle,,|srv,db,sa,DFD9,1521\r\n");
    }
    void aceptarEscribeElFichero() {
        QFETCH(int, tipo);
        QFETCH(QString, aplicacion);
        QFETCH(QByteArray, bytes);
        QTemporaryDir carpeta;
        MensajeriaGrabada mensajes;
        fHost v;
        v.setCarpetaLanzador(carpeta.path());
        rellenaValidos(v, tipo);
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

    void cancelarNoEscribe() {
        QTemporaryDir carpeta;
        fHost v;
        v.setCarpetaLanzador(carpeta.path());
        rellenaValidos(v, 1);
        QTest::mouseClick(control<QPushButton>(v, "bCancelar"), Qt::LeftButton);
        QVERIFY(!v.seAcepto());
        QVERIFY(!QFile::exists(RegistroArranque::rutaFichero(carpeta.path())));
    }
};

QTEST_MAIN(TstfHost)
#include "tst_fHost.moc"
