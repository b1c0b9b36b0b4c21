#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <QtTest>

#include "arranque/Salida.h"
#include "download/fBajandoFichero.h"
#include "platform/Espera.h"
#include "platform/Fin.h"
#include "platform/Producto.h"
#include "support/CarpetaSoloLectura.h"
#include "support/MensajeriaGrabada.h"
#include "support/RepositorioPrueba.h"

namespace {

int terminaciones = 0;
void cuentaTerminacion() {
    ++terminaciones;
}

QLabel* etiqueta(fBajandoFichero& v, const char* nombre) {
    return v.findChild<QLabel*>(QString::fromLatin1(nombre));
}

bool esRojo(QLabel* l) {
    return l->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
}

// Several blocks of recognisable content.
QByteArray contenido(int bloques) {
    QByteArray datos;
    for (int i = 0; datos.size() < bloques * 10240 - 100; ++i) {
        datos += QByteArray::number(i) + ' ';
    }
    return datos;
}

// Runs the window's whole sequence for the file of the repository and waits for it to close.
void descarga(fBajandoFichero& v, const QString& servidor, const QString& fichero,
              const QString& destino, qint32 puerto = 0, qint32 tipo = 0) {
    v.setCarpeta(QString());
    v.setCarpetaLocal(destino);
    v.setFichero(fichero);
    v.show();
    v.bajaFichero(tipo, servidor, QStringLiteral("repo.db"), QStringLiteral("admin"),
                  QStringLiteral("x"), puerto);
    platform::esperaCondicion([&v] { return v.cerrada(); }, 30000);
}

}  // namespace

class TstfBajandoFichero : public QObject {
    Q_OBJECT
private slots:
    void init() {
        terminaciones = 0;
        platform::estableceTerminacion(cuentaTerminacion);
    }
    void cleanup() { platform::estableceTerminacion(nullptr); }

    void controles() {
        fBajandoFichero v;
        QCOMPARE(v.windowTitle(), QStringLiteral("Espere..."));
        QCOMPARE(etiqueta(v, "Label1")->text(),
                 QStringLiteral("Software de Actualización remota."));
        for (const char* nombre : {"iLogo", "eEstado", "eProgreso", "eTiempoQueda", "eVelocidad"}) {
            QVERIFY2(etiqueta(v, nombre), nombre);
        }
        QVERIFY(v.findChild<QFrame*>(QStringLiteral("cuadro")));
        auto* tim = v.findChild<QTimer*>(QStringLiteral("timEmpezar"));
        QCOMPARE(tim->interval(), 1000);
        QVERIFY(!tim->isActive());
        QVERIFY(etiqueta(v, "eVersion")->isHidden());
        v.setModoIndependiente(true);
        QVERIFY(!etiqueta(v, "eVersion")->isHidden());
        QCOMPARE(etiqueta(v, "eVersion")->text(),
                 QStringLiteral("v%1").arg(platform::tituloProducto().section(u'v', -1)));
        QVERIFY(etiqueta(v, "eVersion")->text().startsWith(u'v'));
        v.bajaFichero(2, QStringLiteral("srv"), QStringLiteral("db"), QStringLiteral("u"),
                      QStringLiteral("p"), 3306);
        QVERIFY(tim->isActive());
        QVERIFY(!v.ficheroDescargado());
        // Nothing more happens before the tick: the test ends with the timer pending.
    }

    void progreso_data() {
        QTest::addColumn<float>("fraccion");
        QTest::addColumn<qint32>("restante");
        QTest::addColumn<qint32>("velocidad");
        QTest::addColumn<double>("parteBarra");
        QTest::addColumn<QString>("tiempo");
        QTest::addColumn<QString>("kilos");
        QTest::newRow("mitad") << 0.5f << 3725000 << 1536 << 0.5 << " 1 H.  2 m.  5 s. "
                               << "1.50";
        QTest::newRow("principio") << 0.0f << 1000 << 0 << 0.0 << ""
                                   << "0.00";
        QTest::newRow("completa") << 1.0f << 0 << 2048 << 1.0 << ""
                                  << "2.00";
        QTest::newRow("mas de completa") << 1.5f << 61000 << 512 << 1.0 << " 1 m.  1 s. "
                                         << "0.50";
    }
    void progreso() {
        QFETCH(float, fraccion);
        QFETCH(qint32, restante);
        QFETCH(qint32, velocidad);
        QFETCH(double, parteBarra);
        QFETCH(QString, tiempo);
        QFETCH(QString, kilos);
        fBajandoFichero v;
        v.cor_progreso(fraccion, restante, velocidad);
        const int ancho = v.findChild<QFrame*>(QStringLiteral("cuadro"))->width();
        QVERIFY(ancho > 0);
        QCOMPARE(etiqueta(v, "eProgreso")->width(), int(ancho * parteBarra));
        QCOMPARE(etiqueta(v, "eTiempoQueda")->text(), tiempo);
        // The decimal separator is the locale's.
        QCOMPARE(etiqueta(v, "eVelocidad")->text(),
                 kilos.replace(u'.', QLocale().decimalPoint().left(1)) + QStringLiteral(" Kb./s"));
    }

    void estado() {
        fBajandoFichero v;
        v.cor_estado(QStringLiteral("mal"), true);
        QCOMPARE(etiqueta(v, "eEstado")->text(), QStringLiteral("mal"));
        QVERIFY(esRojo(etiqueta(v, "eEstado")));
        v.cor_estado(QStringLiteral("bien"), false);
        QVERIFY(!esRojo(etiqueta(v, "eEstado")));
        v.cor_mensaje(QStringLiteral("otro"));
        QCOMPARE(etiqueta(v, "eEstado")->text(), QStringLiteral("otro"));
    }

    // A window closed before the download began ends the run: nothing is fetched after it.
    void cerrarAntesDeLaDescarga_data() {
        QTest::addColumn<bool>("independiente");
        QTest::addColumn<int>("msCierre");
        QTest::newRow("independiente termina el programa") << true << -1;
        QTest::newRow("dependiente solo se cierra") << false << -1;
        QTest::newRow("en la espera del primer segundo") << false << 1500;
    }
    void cerrarAntesDeLaDescarga() {
        QFETCH(bool, independiente);
        QFETCH(int, msCierre);
        QTemporaryDir carpeta;
        RepositorioPrueba repo("sqlite");
        QVERIFY(repo.publica(QStringLiteral("app.exe"), contenido(1), false));
        MensajeriaGrabada mensajes;
        fBajandoFichero v;
        v.setModoIndependiente(independiente);
        if (msCierre < 0) {
            v.show();
            QVERIFY(v.close());
        } else {
            QTimer::singleShot(msCierre, &v, &QWidget::close);
            descarga(v, repo.directorio(), QStringLiteral("app.exe"), carpeta.path());
        }
        QCOMPARE(terminaciones, independiente ? 1 : 0);
        if (independiente) {
            QCOMPARE(salida::codigo(), salida::kFallo);
        }
        QVERIFY(v.cerrada());
        QVERIFY(!QFile::exists(carpeta.filePath(QStringLiteral("app.exe"))));
        QVERIFY(mensajes.registros.isEmpty());
    }

    void descargaCorrecta_data() {
        QTest::addColumn<bool>("comprimido");
        QTest::newRow("tal cual") << false;
        QTest::newRow("comprimido y restaurado") << true;
    }
    void descargaCorrecta() {
        QFETCH(bool, comprimido);
        QTemporaryDir carpeta;
        RepositorioPrueba repo("sqlite");
        QVERIFY(repo.publica(QStringLiteral("app.exe"), contenido(3), comprimido));
        const QString destino = carpeta.filePath(QStringLiteral("destino"));
        QDir().mkpath(destino);
        fBajandoFichero v;
        descarga(v, repo.directorio(), QStringLiteral("app.exe"), destino);
        QVERIFY(v.ficheroDescargado());
        QCOMPARE(prueba::lee(destino + QStringLiteral("/app.exe")), contenido(3));
        QVERIFY(!QFile::exists(destino + QStringLiteral("/app.exe.jzp")));
        QCOMPARE(etiqueta(v, "eEstado")->text(), QStringLiteral("Obteniendo fichero: app.exe"));
        QVERIFY(!esRojo(etiqueta(v, "eEstado")));
        QCOMPARE(etiqueta(v, "eProgreso")->width(),
                 v.findChild<QFrame*>(QStringLiteral("cuadro"))->width());
        QCOMPARE(terminaciones, 0);
    }

    void fallos_data() {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QString>("estado");
        QTest::newRow("conexion imposible")
            << 0 << "No pudo establecerse conexión con la base de datos: \r";
        QTest::newRow("fichero ausente") << 1 << "No se encontró el fichero:/otro.exe";
        QTest::newRow("restauracion imposible") << 2 << "Error al bajar el fichero.";
        QTest::newRow("puerto de mas de 16 bits")
            << 3 << "El puerto 40000 no es válido: debe estar entre 0 y 32767.";
    }
    void fallos() {
        QFETCH(int, caso);
        QFETCH(QString, estado);
        QTemporaryDir carpeta;
        RepositorioPrueba repo("sqlite");
        // Raw bytes stored as if compressed cannot be restored.
        QVERIFY(repo.publica(QStringLiteral("app.exe"), contenido(1), true, caso == 2));
        const QString destino = carpeta.filePath(QStringLiteral("destino"));
        QDir().mkpath(destino);
        const QByteArray anterior("programa anterior");
        prueba::escribe(destino + QStringLiteral("/app.exe"), anterior);
        MensajeriaGrabada mensajes;
        fBajandoFichero v;
        descarga(v, caso == 0 ? QStringLiteral("/no/existe/nunca") : repo.directorio(),
                 caso == 1 ? QStringLiteral("otro.exe") : QStringLiteral("app.exe"), destino,
                 caso == 3 ? 40000 : 0);
        QVERIFY(v.cerrada());
        QVERIFY(!v.ficheroDescargado());
        QVERIFY2(etiqueta(v, "eEstado")->text().startsWith(estado),
                 qPrintable(etiqueta(v, "eEstado")->text()));
        QVERIFY(esRojo(etiqueta(v, "eEstado")));
        // The program that was there stays whole.
        QCOMPARE(prueba::lee(destino + QStringLiteral("/app.exe")), anterior);
    }

    void restauracionFallida_data() {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<bool>("enUso");
        QTest::addColumn<QString>("estado");
        QTest::addColumn<bool>("aviso");
        QTest::newRow("programa en uso")
            << "app.exe" << true << "No es posible actualizar el fichero por estar en uso." << true;
        QTest::newRow("componente en uso")
            << "comp.dll" << true << "No es posible actualizar el fichero por estar en uso."
            << false;
        QTest::newRow("EXE en mayusculas no avisa")
            << "APP.EXE" << true << "No es posible actualizar el fichero por estar en uso."
            << false;
        QTest::newRow("datos danados")
            << "app.exe" << false << "Error al bajar el fichero." << false;
    }
    void restauracionFallida() {
        QFETCH(QString, nombre);
        QFETCH(bool, enUso);
        QFETCH(QString, estado);
        QFETCH(bool, aviso);
        QTemporaryDir carpeta;
        const QString fichero = carpeta.filePath(nombre);
        const QString jzp = fichero + QStringLiteral(".jzp");
        const QString origen = QDir(QDir::tempPath()).filePath(QStringLiteral("origen-restaura"));
        prueba::escribe(enUso ? origen : jzp, contenido(2));
        if (enUso) {
            platform::Compresion::comprime(origen, jzp);
            QFile::remove(origen);
        }
        MensajeriaGrabada mensajes;
        fBajandoFichero v;
        {
            // A folder that refuses the restored file is the file in use.
            std::optional<CarpetaSoloLectura> soloLectura;
            if (enUso) {
                soloLectura.emplace(carpeta.path());
                if (!soloLectura->efectiva()) {
                    QSKIP("no se puede tener una carpeta de solo lectura aquí");
                }
            }
            v.cor_ficheroBajado(fichero, true);
        }
        QVERIFY2(etiqueta(v, "eEstado")->text().startsWith(estado),
                 qPrintable(etiqueta(v, "eEstado")->text()));
        QVERIFY(esRojo(etiqueta(v, "eEstado")));
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Mensaje),
                 aviso ? QStringList{QStringLiteral("El fichero ") + fichero +
                                     QStringLiteral(" se encuentra actualmente en uso.\r\n"
                                                    "Abandone la aplicación y vuelva a ejecutar "
                                                    "el corvinal.")}
                       : QStringList());
        // The compressed form stays for another try.
        QVERIFY(QFile::exists(jzp));
    }

    void cerrarDuranteLaDescarga_data() {
        QTest::addColumn<bool>("cancela");
        QTest::newRow("No sigue descargando") << false;
        QTest::newRow("Si cancela") << true;
    }
    void cerrarDuranteLaDescarga() {
        QFETCH(bool, cancela);
        QTemporaryDir carpeta;
        RepositorioPrueba repo("sqlite");
        QVERIFY(repo.publica(QStringLiteral("grande.exe"), contenido(40), false));
        const QString destino = carpeta.filePath(QStringLiteral("destino"));
        QDir().mkpath(destino);
        MensajeriaGrabada mensajes;
        mensajes.respuestas.enqueue(cancela);
        fBajandoFichero v;
        bool pedido = false;
        connect(&v.cor(), &cCorvinal::progreso, &v, [&v, &pedido] {
            if (!pedido) {
                pedido = true;
                // The user closes the window: it arrives at the window's next yield.
                QTimer::singleShot(0, &v, &QWidget::close);
            }
        });
        descarga(v, repo.directorio(), QStringLiteral("grande.exe"), destino);
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Pregunta),
                 QStringList{QStringLiteral("Existe una descarga en curso. ¿Desea cancelarla?")});
        QCOMPARE(v.ficheroDescargado(), !cancela);
        QCOMPARE(QFile::exists(destino + QStringLiteral("/grande.exe")), !cancela);
        QCOMPARE(terminaciones, 0);
    }
};

QTEST_MAIN(TstfBajandoFichero)
#include "tst_fBajandoFichero.moc"
