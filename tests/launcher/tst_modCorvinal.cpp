#include <QtTest>

#include "arranque/RegistroArranque.h"
#include "arranque/Salida.h"
#include "comun/modTolvane1.h"
#include "download/fBajandoFichero.h"
#include "launcher/modCorvinal.h"
#include "platform/Espera.h"
#include "platform/Fin.h"
#include "platform/Reloj.h"
#include "support/CarpetaSoloLectura.h"
#include "support/FicherosPrueba.h"
#include "support/MensajeriaGrabada.h"
#include "support/RepositorioPrueba.h"

namespace {

int terminaciones = 0;
void cuentaTerminacion() {
    ++terminaciones;
}

// The world outside the program, recorded.
class SistemaGrabado : public modCorvinal::Sistema {
public:
    // What the set-up window writes when it is accepted; nothing written when empty.
    QString lineaConfiguracion;
    bool aceptaConfiguracion = false;
    QString carpetaWindows_;
    int configuraciones = 0;
    QStringList iniciados;
    QStringList registrados;
    bool registroArranca = true;

    bool configura(const QString& carpeta,
                   const std::optional<RegistroArranque>& /*registro*/) override {
        ++configuraciones;
        if (aceptaConfiguracion && !lineaConfiguracion.isEmpty()) {
            RegistroArranque::escribeFichero(RegistroArranque::rutaFichero(carpeta),
                                             lineaConfiguracion);
        }
        return aceptaConfiguracion;
    }
    bool iniciaPrograma(const QString& ruta) override {
        iniciados << ruta;
        return true;
    }
    bool registraComponente(const QString& ruta) override {
        registrados << ruta;
        return registroArranca;
    }
    QString carpetaWindows() const override { return carpetaWindows_; }
};

// A clock on which every reading is a minute later, while the time of day keeps crossing
// midnight back and forth.
class RelojVeloz : public platform::Reloj {
public:
    qint64 monotonoMs() const override { return (lecturas_++) * 60000; }
    QTime horaDelDia() const override { return lecturas_ % 2 ? QTime(23, 59, 59) : QTime(0, 0, 1); }

private:
    mutable qint64 lecturas_ = 0;
};

const QString kAviso = QStringLiteral("En unos segundos volverá a iniciarse la aplicación.");

}  // namespace

class TstModCorvinal : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;
    std::unique_ptr<RepositorioPrueba> repo_;
    QString lanzador_;
    const platform::TerminacionInstalada fin_{cuentaTerminacion};

    // The connection fields of a record that reaches the test repository.
    QString conexion() const {
        return prueba::registroMotor("sqlite", repo_->directorio(), "repo.db", "admin", "pw");
    }

private slots:
    void initTestCase() {
        repo_ = std::make_unique<RepositorioPrueba>("sqlite");
        QVERIFY(repo_->publica(QStringLiteral("fob7.exe"), "#!/bin/sh\nexit 0\n", true));
        QVERIFY(repo_->publica(QStringLiteral("comp.dll"), "componente"));
    }
    void init() {
        terminaciones = 0;
        static int n = 0;
        lanzador_ = carpeta_.filePath(QStringLiteral("lanzador%1").arg(++n));
        QDir().mkpath(lanzador_);
    }
    void cleanup() {
        // A window left waiting for its first tick must not start in a later test.
        if (fBajandoFichero* v = modCorvinal::ventanaDescarga()) {
            v->close();
        }
    }

    // An unusable record is explained and ends the run with status 2, corvinal.ini as it was;
    // one read from corvinal.ini opens the set-up window first (filled: tst_corvinal).
    void sinRegistroValidoTermina_data() {
        QTest::addColumn<QString>("linea");
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("mensaje");
        const QByteArray anterior("1,,|antes,db,sa,\xDF\xD9,1433\r\n");
        QTest::newRow("puerto no numerico")
            << "srv,db,login,pw,mil" << anterior
            << "El registro de conexión no es válido: el puerto «mil» no es un número.";
        QTest::newRow("corvinal.ini ilegible")
            << "" << QByteArray() << "No se puede leer el registro de conexión de ";
    }
    void sinRegistroValidoTermina() {
        QFETCH(QString, linea);
        QFETCH(QByteArray, ini);
        QFETCH(QString, mensaje);
        const QString ruta = RegistroArranque::rutaFichero(lanzador_);
        // No content stands for a corvinal.ini that cannot be read: a folder of that name.
        QVERIFY(ini.isEmpty()
                    ? QDir().mkpath(ruta)
                    : RegistroArranque::escribeFichero(ruta, QString::fromLatin1(ini.chopped(2))));
        SistemaGrabado sistema;
        MensajeriaGrabada mensajes;
        modCorvinal::Main(linea, lanzador_, sistema);
        QCOMPARE(terminaciones, 1);
        QCOMPARE(salida::codigo(), salida::kSinRegistro);
        QVERIFY(!modCorvinal::ventanaDescarga());
        const QStringList textos = mensajes.textos(MensajeriaGrabada::Clase::Mensaje);
        QVERIFY2(textos.size() == 1 && textos.first().startsWith(mensaje),
                 qPrintable(textos.join("\n")));
        QCOMPARE(prueba::lee(ruta), ini.isEmpty() ? QByteArray("<no existe>") : ini);
        QCOMPARE(sistema.configuraciones, linea.isEmpty() ? 1 : 0);
    }

    void ventanaDeConfiguracion_data() {
        QTest::addColumn<bool>("acepta");
        QTest::addColumn<bool>("escribe");
        QTest::addColumn<QStringList>("mensajes");
        QTest::addColumn<bool>("descarga");
        QTest::newRow("cancelada") << false << false << QStringList() << false;
        QTest::newRow("aceptada sin fichero")
            << true << false
            << QStringList{QStringLiteral(
                   "No ha sido posible encontrar la información de acceso a la base de datos.")}
            << false;
        QTest::newRow("aceptada con fichero") << true << true << QStringList() << true;
    }
    void ventanaDeConfiguracion() {
        QFETCH(bool, acepta);
        QFETCH(bool, escribe);
        QFETCH(QStringList, mensajes);
        QFETCH(bool, descarga);
        SistemaGrabado sistema;
        sistema.aceptaConfiguracion = acepta;
        if (escribe) {
            // As the set-up window writes it: bare type, hex password, application in field 7.
            sistema.lineaConfiguracion =
                QStringLiteral("0,,,|") + repo_->directorio() + QStringLiteral(",repo.db,admin,") +
                modTolvane1::aHexadecimal(modTolvane1::codifica(QStringLiteral("pw"))) +
                QStringLiteral(",0,,,fob7.exe");
        }
        MensajeriaGrabada grabada;
        modCorvinal::Main(QString(), lanzador_, sistema);
        QCOMPARE(sistema.configuraciones, 1);
        QCOMPARE(grabada.textos(MensajeriaGrabada::Clase::Mensaje), mensajes);
        QCOMPARE(modCorvinal::ventanaDescarga() != nullptr, descarga);
        QCOMPARE(terminaciones, descarga ? 0 : 1);
        if (!descarga) {
            QCOMPARE(salida::codigo(), salida::kSinRegistro);
            return;
        }
        fBajandoFichero& v = *modCorvinal::ventanaDescarga();
        // Eight fields: the window carries the run and ends the program when it closes.
        QVERIFY(platform::esperaCondicion([&v] { return v.cerrada(); }, 30000));
        QVERIFY(v.ficheroDescargado());
        QCOMPARE(terminaciones, 1);
        QCOMPARE(salida::codigo(), salida::kHecho);
    }

    void despuesDeLaDescarga_data() {
        QTest::addColumn<QString>("resto");
        QTest::addColumn<QString>("windows");
        QTest::addColumn<QString>("iniciado");
        QTest::addColumn<QString>("registrado");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<int>("codigo");
        const auto f = [](const char* n, const char* resto, const char* windows,
                          const char* iniciado, const char* registrado, const QString& mensaje,
                          int codigo) {
            QTest::newRow(n) << resto << windows << iniciado << registrado << mensaje << codigo;
        };
        const QString e = kAviso;
        const char* exe = "%1/fob7.exe";
        const char* dll = "%1/comp.dll";
        f("E con espera y barra final", ",,%1/,fob7.exe,E,0.5", "", exe, "", e, 0);
        f("E con campos 6 y 7 vacios", ",,,,E", "", exe, "", e, 0);
        f("I sin Systemroot", ",,%1,comp.dll,I", "", "", "",
          "No se encuentra la carpeta de Windows (variable Systemroot)", 1);
        f("I con Systemroot", ",,%1,comp.dll,I", "windows", "", dll, "", 0);
        f("I con Systemroot en la carpeta local", ",,%1,comp.dll,I", "<lanzador>", "", dll, "", 0);
        f("I con Systemroot de solo lectura", ",,%1,comp.dll,I", "solo lectura", "", "",
          "No se pudo copiar", 1);
        f("I sin herramienta de registro", ",,%1,comp.dll,I", "sin registro", "", dll,
          "No se pudo iniciar el registro del componente", 1);
        f("otro modo", ",,%1,fob7.exe,X", "", "", "", "", 0);
    }
    void despuesDeLaDescarga() {
        QFETCH(QString, resto);
        QFETCH(QString, windows);
        QFETCH(QString, iniciado);
        QFETCH(QString, registrado);
        QFETCH(QString, mensaje);
        QFETCH(int, codigo);
        SistemaGrabado sistema;
        sistema.registroArranca = windows != u"sin registro";
        std::optional<CarpetaSoloLectura> soloLectura;
        if (windows == u"<lanzador>") {
            sistema.carpetaWindows_ = lanzador_;
        } else if (!windows.isEmpty()) {
            sistema.carpetaWindows_ = carpeta_.filePath(windows);
            QDir().mkpath(sistema.carpetaWindows_);
            QVERIFY(
                RegistroArranque::escribeFichero(sistema.carpetaWindows_ + "/comp.dll", "viejo"));
        }
        if (windows == u"solo lectura") {
            soloLectura.emplace(sistema.carpetaWindows_);
            if (!soloLectura->efectiva()) {
                QSKIP("this system cannot make a folder read-only for this user");
            }
        }
        MensajeriaGrabada mensajes;
        modCorvinal::Main(conexion() + resto.arg(lanzador_), lanzador_, sistema);
        QCOMPARE(terminaciones, 1);
        QCOMPARE(int(salida::codigo()), codigo);
        fBajandoFichero* v = modCorvinal::ventanaDescarga();
        QVERIFY(v && v->ficheroDescargado());
        const auto lista = [this](const QString& r) {
            return r.isEmpty() ? QStringList() : QStringList{r.arg(lanzador_)};
        };
        QCOMPARE(sistema.iniciados, lista(iniciado));
        QCOMPARE(sistema.registrados, lista(registrado));
        // Each road says what it did or why it failed, in one message.
        const QStringList textos = mensajes.textos(MensajeriaGrabada::Clase::Mensaje);
        QCOMPARE(textos.size(), mensaje.isEmpty() ? 0 : 1);
        QVERIFY(mensaje.isEmpty() || textos.first().startsWith(mensaje));
        // The restored program was made executable before it was started.
        QVERIFY(iniciado.isEmpty() || QFileInfo(iniciado.arg(lanzador_)).isExecutable());
        if (!sistema.carpetaWindows_.isEmpty()) {
            // Copied in whole, or the old component left whole and no temporary file beside it.
            QCOMPARE(prueba::lee(sistema.carpetaWindows_ + QStringLiteral("/comp.dll")),
                     QByteArray(soloLectura ? "viejo\r\n" : "componente"));
            QCOMPARE(QDir(sistema.carpetaWindows_)
                         .entryList({"comp.dll*"}, QDir::Files | QDir::Hidden)
                         .size(),
                     1);
        }
    }

    // A password corvinal.ini cannot carry serves this run only: said, and the file untouched.
    void passwordQueNoCabe() {
        const QByteArray anterior("1,,|antes,db,sa,\xDF\xD9,1433\r\n");
        const QString ruta = RegistroArranque::rutaFichero(lanzador_);
        QVERIFY(RegistroArranque::escribeFichero(ruta, QString::fromLatin1(anterior.chopped(2))));
        SistemaGrabado sistema;
        MensajeriaGrabada mensajes;
        modCorvinal::Main(QStringLiteral("0,,|%1,repo.db,admin,pw\u0416,0,,%2,fob7.exe,X")
                              .arg(repo_->directorio(), lanzador_),
                          lanzador_, sistema);
        QCOMPARE(salida::codigo(), salida::kHecho);
        QVERIFY(modCorvinal::ventanaDescarga()->ficheroDescargado());
        const QStringList textos = mensajes.textos(MensajeriaGrabada::Clase::Mensaje);
        QVERIFY(textos.size() == 1 && textos.first().contains(QStringLiteral("contraseña")));
        QCOMPARE(prueba::lee(ruta), anterior);
    }

    void esperaAcotada() {
        SistemaGrabado sistema;
        MensajeriaGrabada mensajes;
        {
            RelojVeloz reloj;
            const platform::RelojInstalado instalado(&reloj);
            // Four minutes pass on the monotonic clock before the window's first tick: the wait
            // ends there, across midnight or not, and nothing is started.
            modCorvinal::Main(conexion() + QStringLiteral(",,%1,fob7.exe,E").arg(lanzador_),
                              lanzador_, sistema);
        }
        QCOMPARE(terminaciones, 1);
        QVERIFY(!modCorvinal::ventanaDescarga()->ficheroDescargado());
        QVERIFY(sistema.iniciados.isEmpty());
        QVERIFY(mensajes.registros.isEmpty());
    }
};

QTEST_MAIN(TstModCorvinal)
#include "tst_modCorvinal.moc"
