#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <QtTest>

#include "arranque/Salida.h"
#include "download/TextosDescarga.h"
#include "download/TrabajoDescarga.h"
#include "download/fBajandoFichero.h"
#include "platform/Espera.h"
#include "platform/Fin.h"
#include "platform/Reloj.h"
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

}  // namespace

// Each test has a fresh SQLite repository and an empty destination folder.
class TstfBajandoFichero : public QObject {
    Q_OBJECT

    const platform::TerminacionInstalada fin_{cuentaTerminacion};
    std::unique_ptr<QTemporaryDir> destino_;
    std::unique_ptr<RepositorioPrueba> repo_;

    QString enDestino(const char* nombre) const { return destino_->filePath(nombre); }

    // Runs the window's whole sequence for `fichero` of the repository and waits for it to close.
    void descarga(fBajandoFichero& v, const QString& fichero, const QString& servidor = {},
                  qint32 puerto = 0) {
        v.setCarpeta(QString());
        v.setCarpetaLocal(destino_->path());
        v.setFichero(fichero);
        v.show();
        v.bajaFichero(0, servidor.isEmpty() ? repo_->directorio() : servidor, "repo.db", "admin",
                      "x", puerto);
        platform::esperaCondicion([&v] { return v.cerrada(); }, 30000);
    }

private slots:
    void init() {
        terminaciones = 0;
        destino_ = std::make_unique<QTemporaryDir>();
        repo_ = std::make_unique<RepositorioPrueba>("sqlite");
    }
    void cleanup() {
        repo_.reset();
        destino_.reset();
    }

    // The texts themselves are checked below; here, that each reaches its label, at most every
    // 50 ms but always at the end.
    void progresoYEstado() {
        fBajandoFichero v;
        struct : platform::Reloj {
            qint64 monotonoMs() const override { return ms; }
            qint64 ms = 1000;
        } reloj;
        const platform::RelojInstalado puesto(&reloj);
        const std::tuple<qint64, float, qint32, const char*> pasos[] = {
            {0, 0.9f, 1000, ""},
            {49, 0.9f, 61000, ""},
            {1, 0.9f, 1500, " 2 s. "},
            {0, 1.0f, 3725000, " 1 H.  2 m.  5 s. "},
        };
        for (const auto& [avance, fraccion, restante, texto] : pasos) {
            reloj.ms += avance;
            v.cor_progreso(fraccion, restante, 512);
            QCOMPARE(etiqueta(v, "eTiempoQueda")->text(), QString::fromUtf8(texto));
        }
        QCOMPARE(etiqueta(v, "eVelocidad")
                     ->text()
                     .replace(QLocale().decimalPoint(), QStringLiteral(".")),
                 QStringLiteral("0.50 Kb./s"));
        v.cor_estado(QStringLiteral("mal"), true);
        QVERIFY(esRojo(etiqueta(v, "eEstado")));
        v.cor_estado(QStringLiteral("bien"), false);
        QVERIFY(!esRojo(etiqueta(v, "eEstado")));
        v.cor_mensaje(QStringLiteral("otro"));
        QCOMPARE(etiqueta(v, "eEstado")->text(), QStringLiteral("otro"));
    }

    // A window closed before the download began ends the run: nothing is fetched after it.
    void cerrarAntesDeLaDescarga() {
        QVERIFY(repo_->publica(QStringLiteral("app.exe"), contenido(1), false));
        // Independent or not; closed at once, or while it waits for its first second.
        for (const auto& [independiente, msCierre] :
             {std::pair{true, -1}, {false, -1}, {false, 1500}}) {
            terminaciones = 0;
            MensajeriaGrabada mensajes;
            fBajandoFichero v;
            v.setModoIndependiente(independiente);
            if (msCierre < 0) {
                v.show();
                QVERIFY(v.close());
            } else {
                QTimer::singleShot(msCierre, &v, &QWidget::close);
                descarga(v, QStringLiteral("app.exe"));
            }
            QCOMPARE(terminaciones, independiente ? 1 : 0);
            QVERIFY(!independiente || salida::codigo() == salida::kFallo);
            QVERIFY(v.cerrada());
            QVERIFY(!QFile::exists(enDestino("app.exe")));
            QVERIFY(mensajes.registros.isEmpty());
        }
    }

    void descargaCorrecta() {
        for (const bool comprimido : {false, true}) {
            const QString nombre = comprimido ? "comprimido.exe" : "app.exe";
            QVERIFY(repo_->publica(nombre, contenido(3), comprimido));
            fBajandoFichero v;
            descarga(v, nombre);
            QVERIFY(v.ficheroDescargado());
            QCOMPARE(prueba::lee(destino_->filePath(nombre)), contenido(3));
            QVERIFY(!QFile::exists(destino_->filePath(nombre + ".jzp")));
            QCOMPARE(etiqueta(v, "eEstado")->text(), "Obteniendo fichero: " + nombre);
            QCOMPARE(terminaciones, 0);
        }
    }

    // The work alone, without a window: each failure is said in red as the last status line and
    // the program that was there stays whole. A server that does not answer and a file that is
    // not there are the end-to-end and repository tests' cases.
    void fallos_data() {
        QTest::addColumn<bool>("danado");
        QTest::addColumn<int>("puerto");
        QTest::addColumn<QString>("estado");
        // Raw bytes stored as if compressed cannot be restored.
        QTest::newRow("restauracion imposible") << true << 0 << "Error al bajar el fichero.";
        QTest::newRow("puerto de mas de 16 bits")
            << false << 40000 << "El puerto 40000 no es válido: debe estar entre 0 y 32767.";
    }
    void fallos() {
        QFETCH(bool, danado);
        QFETCH(int, puerto);
        QFETCH(QString, estado);
        QVERIFY(repo_->publica(QStringLiteral("app.exe"), contenido(1), true, danado));
        const QByteArray anterior("programa anterior");
        prueba::escribe(enDestino("app.exe"), anterior);
        MensajeriaGrabada mensajes;
        TrabajoDescarga trabajo;
        QSignalSpy estados(&trabajo, &TrabajoDescarga::estado);
        trabajo.setDatos(
            DatosConexion{0, repo_->directorio(), "repo.db", "admin", "x", puerto, {}, {}});
        trabajo.setCarpetaLocal(destino_->path());
        trabajo.setFichero(QStringLiteral("app.exe"));
        QCOMPARE(trabajo.ejecuta(), TrabajoDescarga::Resultado::kFallo);
        QVERIFY2(estados.last().at(0).toString().startsWith(estado),
                 qPrintable(estados.last().at(0).toString()));
        QVERIFY(estados.last().at(1).toBool());
        QCOMPARE(prueba::lee(enDestino("app.exe")), anterior);
    }

    void restauracionFallida_data() {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<bool>("enUso");
        QTest::addColumn<bool>("aviso");
        QTest::newRow("programa en uso") << "app.exe" << true << true;
        QTest::newRow("componente en uso") << "comp.dll" << true << false;
        QTest::newRow("EXE en mayusculas no avisa") << "APP.EXE" << true << false;
        QTest::newRow("datos danados") << "app.exe" << false << false;
    }
    void restauracionFallida() {
        QFETCH(QString, nombre);
        QFETCH(bool, enUso);
        QFETCH(bool, aviso);
        const QString fichero = destino_->filePath(nombre);
        const QString jzp = fichero + QStringLiteral(".jzp");
        const QString origen = repo_->directorio() + QStringLiteral("/origen-restaura");
        prueba::escribe(enUso ? origen : jzp, contenido(2));
        if (enUso) {
            platform::Compresion::comprime(origen, jzp);
        }
        MensajeriaGrabada mensajes;
        fBajandoFichero v;
        {
            // A folder that refuses the restored file is the file in use.
            std::optional<CarpetaSoloLectura> soloLectura;
            if (enUso) {
                soloLectura.emplace(destino_->path());
                if (!soloLectura->efectiva()) {
                    QSKIP("no se puede tener una carpeta de solo lectura aquí");
                }
            }
            v.cor_ficheroBajado(fichero, true);
        }
        const QString estado = enUso ? "No es posible actualizar el fichero por estar en uso."
                                     : "Error al bajar el fichero.";
        QVERIFY2(etiqueta(v, "eEstado")->text().startsWith(estado),
                 qPrintable(etiqueta(v, "eEstado")->text()));
        const QStringList avisos = mensajes.textos(MensajeriaGrabada::Clase::Mensaje);
        QCOMPARE(avisos.size(), aviso ? 1 : 0);
        QVERIFY(!aviso || avisos.first().startsWith("El fichero " + fichero + " se encuentra"));
        // The compressed form stays for another try.
        QVERIFY(QFile::exists(jzp));
    }

    void cerrarDuranteLaDescarga() {
        QVERIFY(repo_->publica(QStringLiteral("grande.exe"), contenido(40), false));
        for (const bool cancela : {false, true}) {
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
            descarga(v, QStringLiteral("grande.exe"));
            QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Pregunta),
                     QStringList{"Existe una descarga en curso. ¿Desea cancelarla?"});
            QCOMPARE(v.ficheroDescargado(), !cancela);
            QCOMPARE(QFile::exists(enDestino("grande.exe")), !cancela);
            QCOMPARE(terminaciones, 0);
            QFile::remove(enDestino("grande.exe"));
        }
    }

    // The texts the window shows, on their own.
    void tiempoQueda() {
        const std::pair<qint32, const char*> casos[] = {
            {-5000, ""},
            {1000, ""},
            {1001, " 1 s. "},
            // Halves round to even.
            {1500, " 2 s. "},
            {2500, " 2 s. "},
            {60000, " 60 s. "},
            {61000, " 1 m.  1 s. "},
            {120000, " 2 m. "},
            {3725000, " 1 H.  2 m.  5 s. "},
            {24 * 3600000 + 60000, " 24 H.  1 m. "},
            {25 * 3600000 + 61000, "1 Días  1 H.  1 m.  1 s. "},
            {2147483647, "24 Días  20 H.  31 m.  24 s. "},
        };
        for (const auto& [ms, texto] : casos) {
            QCOMPARE(TextosDescarga::textoTiempoQueda(ms), QString::fromUtf8(texto));
        }
    }

    void velocidad() {
        QCOMPARE(TextosDescarga::textoVelocidad(1536, u','), QStringLiteral("1,50 Kb./s"));
        QCOMPARE(TextosDescarga::textoVelocidad(10485760, u'.'), QStringLiteral("10240.00 Kb./s"));
        QCOMPARE(TextosDescarga::textoVelocidad(1000, u'.'), QStringLiteral("0.98 Kb./s"));
    }
};

QTEST_MAIN(TstfBajandoFichero)
#include "tst_fBajandoFichero.moc"
