#include <QProcess>
#include <QtTest>

#include "arranque/RegistroArranque.h"
#include "platform/Connection.h"
#include "platform/Espera.h"
#include "support/FicherosPrueba.h"
#include "support/MotoresPrueba.h"

// End-to-end runs of the real launcher: a copy of the program in a scratch folder, a real
// repository published with the real publishing tool, and the windows echoing what they show.
namespace {

const QString kPrograma = QStringLiteral(CORVINAL_PROGRAMA);
const QString kPublicador = QStringLiteral(CORVINAL_REPO_PROGRAMA);

// The program the repository serves: a script that leaves a marker beside itself.
const QByteArray kAplicacion = "#!/bin/sh\necho \"iniciada $*\" > \"$(dirname \"$0\")/marcador\"\n";
// A larger file that spans several blocks.
QByteArray contenidoFob7() {
    QByteArray datos;
    for (int i = 0; i < 3000; ++i) {
        datos += QByteArray::number(i) + " fob7 ";
    }
    return datos;
}

struct Salida {
    int codigo = -1;
    bool terminado = false;
    QString texto;
};

// Runs a program with the echo on and offscreen windows; waits for it to end.
Salida ejecuta(const QString& programa, const QStringList& argumentos, const QString& carpeta) {
    QProcess p;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    entorno.insert(QStringLiteral("CORVINAL_ECO"), QStringLiteral("1"));
    p.setProcessEnvironment(entorno);
    p.setWorkingDirectory(carpeta);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programa, argumentos);
    Salida s;
    s.terminado = p.waitForFinished(60000);
    if (!s.terminado) {
        p.kill();
        p.waitForFinished();
    }
    s.codigo = p.exitCode();
    s.texto = QString::fromLocal8Bit(p.readAll());
    return s;
}

}  // namespace

class TstCorvinal : public QObject {
    Q_OBJECT

    QTemporaryDir scratch_;

    // Prepares the engine's repository with "apps/app.sh" (compressed) and "fob7.exe" in the
    // root; gives the connection fields of a launch record for it (password in clear), or nothing
    // when the engine is not there.
    std::optional<QString> repositorio(const QString& motor) {
        const QString carpetaRepo = scratch_.filePath(motor);
        QDir().mkpath(carpetaRepo);
        const prueba::MotorPrueba m = prueba::motorPrueba(motor, carpetaRepo);
        if (m.textoConexion.isEmpty()) {
            if (m.obligatorio) {
                qWarning("%s", qPrintable(m.motivo));
            }
            return std::nullopt;
        }
        const QString registro =
            prueba::registroMotor(motor, carpetaRepo, "prueba.mdb", "admin", "secreto");
        platform::Connection c;
        c.open(m.textoConexion);
        const auto sql = [&c](const QByteArray& sentencia) {
            c.execute(QString::fromLatin1(sentencia), nullptr,
                      platform::Connection::kOpcionSinRegistros);
        };
        for (const char* t : {"tDatosFichero", "tFicheros", "tCarpetas", "tFicherosHuella"}) {
            sql(QByteArray("DROP TABLE IF EXISTS ") + t);
        }
        const QString app = scratch_.filePath(QStringLiteral("app.sh"));
        const QString fob7 = scratch_.filePath(QStringLiteral("fob7.exe"));
        prueba::escribe(app, kAplicacion);
        prueba::escribe(fob7, contenidoFob7());
        const QList<QStringList> pasos = {
            {"crear-tablas"},
            {"crear-carpeta", "apps"},
            {"subir", app, "apps", "--comprimir", "--si"},
            {"subir", fob7, "/", "--si"},
            {"subir", app, "apps", "--nombre", "malo1"},
            {"subir", app, "apps", "--nombre", "malo2"},
            {"subir", app, "apps", "--nombre", "malo3"},
            {"subir", fob7, "/", "--nombre", "ajeno.exe"},
        };
        for (const QStringList& paso : pasos) {
            const Salida s =
                ejecuta(kPublicador, QStringList{QStringLiteral("--conexion"), registro} + paso,
                        scratch_.path());
            if (s.codigo != 0) {
                qWarning("corvinal-repo %s: %s", qPrintable(paso.join(u' ')), qPrintable(s.texto));
                return std::nullopt;
            }
        }
        // Names crafted straight into the database, as no publisher could store them: each
        // would lead a download out of its destination folder.
        for (const char* sentencia :
             {"UPDATE tFicheros SET nombre='../fuera.txt' WHERE nombre='malo1'",
              "UPDATE tFicheros SET nombre='C:x' WHERE nombre='malo2'",
              "INSERT INTO tCarpetas (codCarpeta,carpeta,codCarpetaPadre) SELECT 99,'..',"
              "codCarpeta FROM tCarpetas WHERE carpeta='apps'",
              "UPDATE tFicheros SET codCarpeta=99,nombre='fuera2.txt' WHERE nombre='malo3'",
              // As a tool that writes no fingerprints would have published it.
              "DELETE FROM tFicherosHuella WHERE codFichero IN (SELECT codFichero FROM tFicheros "
              "WHERE nombre='ajeno.exe')"}) {
            sql(sentencia);
        }
        return registro;
    }

    // A fresh launcher folder holding a copy of the program (and corvinal.ini when given).
    QString preparaLanzador(const std::optional<QByteArray>& ini = std::nullopt) {
        static int n = 0;
        const QString carpeta = scratch_.filePath(QStringLiteral("lanzador%1").arg(++n));
        QDir().mkpath(carpeta);
        const QString copia = carpeta + QStringLiteral("/corvinal");
        QFile::copy(kPrograma, copia);
        QFile::setPermissions(copia, QFile::permissions(kPrograma));
        if (ini) {
            prueba::escribe(RegistroArranque::rutaFichero(carpeta), *ini);
        }
        return carpeta;
    }

    // The engine's repository, prepared once for the whole run.
    std::optional<QString> repositorioPreparado(const QString& motor) {
        static QHash<QString, std::optional<QString>> repositorios;
        if (!repositorios.contains(motor)) {
            repositorios.insert(motor, scratch_.isValid() ? repositorio(motor) : std::nullopt);
        }
        return repositorios.value(motor);
    }

    Salida lanza(const QString& carpeta, const QStringList& argumentos) {
        return ejecuta(carpeta + QStringLiteral("/corvinal"), argumentos, carpeta);
    }

private slots:
    void casos_data() {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("caso");
        // Downloading and connecting differ by engine; the checks after the read do not.
        const std::pair<const char*, bool> casos[] = {{"nueve campos E", true},
                                                      {"cinco campos", true},
                                                      {"servidor erroneo", true},
                                                      {"nombre ajeno", false}};
        for (const char* motor : {"sqlite", "mariadb"}) {
            for (const auto& [caso, ambos] : casos) {
                if (ambos || motor == QLatin1String("sqlite")) {
                    QTest::addRow("%s: %s", motor, caso) << QString(motor) << QString(caso);
                }
            }
        }
    }
    void casos() {
        QFETCH(QString, motor);
        QFETCH(QString, caso);
        const std::optional<QString> repo = repositorioPreparado(motor);
        if (!repo) {
            if (motor == QLatin1String("sqlite") || prueba::mariaDbObligatoria()) {
                QFAIL("no se pudo preparar el repositorio");
            }
            QSKIP("MariaDB no configurada (scripts/testdb env)");
        }
        const QString base = *repo;
        const QString carpeta = preparaLanzador();

        if (caso == QLatin1String("nueve campos E")) {
            const Salida s = lanza(carpeta, {base + ",apps," + carpeta + ",app.sh,E"});
            QVERIFY2(s.terminado && s.codigo == 0 &&
                         s.texto.contains(QStringLiteral("Obteniendo fichero: app.sh")) &&
                         s.texto.contains(
                             QStringLiteral("En unos segundos volverá a iniciarse la aplicación.")),
                     qPrintable(s.texto));
            const QString marcador = carpeta + QStringLiteral("/marcador");
            QVERIFY2(platform::esperaCondicion([&] { return QFile::exists(marcador); }, 10000),
                     qPrintable(s.texto));
            QCOMPARE(prueba::lee(carpeta + QStringLiteral("/app.sh")), kAplicacion);
            // Run again, nothing is fetched: the same program is restarted as it is.
            const QDateTime escrito = QFileInfo(carpeta + QStringLiteral("/app.sh")).lastModified();
            QFile::remove(marcador);
            const Salida otra = lanza(carpeta, {base + ",apps," + carpeta + ",app.sh,E"});
            QVERIFY2(otra.terminado && otra.codigo == 0 &&
                         otra.texto.contains(QStringLiteral("El fichero ya está al día.")) &&
                         otra.texto.contains(QStringLiteral("En unos segundos")),
                     qPrintable(otra.texto));
            QVERIFY(platform::esperaCondicion([&] { return QFile::exists(marcador); }, 10000));
            QCOMPARE(QFileInfo(carpeta + QStringLiteral("/app.sh")).lastModified(), escrito);
        } else if (caso == QLatin1String("cinco campos")) {
            const Salida s = lanza(carpeta, {base});
            QVERIFY2(s.terminado && s.codigo == 0 && !s.texto.contains("En unos segundos"),
                     qPrintable(s.texto));
            QCOMPARE(prueba::lee(carpeta + QStringLiteral("/fob7.exe")), contenidoFob7());
        } else if (caso == QLatin1String("nombre ajeno")) {
            const Salida s = lanza(carpeta, {base + ",apps," + carpeta + ",../fuera.txt,E"});
            QVERIFY2(s.terminado && s.codigo == 1, qPrintable(s.texto));
            QVERIFY2(s.texto.contains("eEstado (rojo): Nombre no válido en el repositorio: "
                                      "../fuera.txt"),
                     qPrintable(s.texto));
            QVERIFY(!QFileInfo::exists(scratch_.filePath("fuera.txt")));
            // A failed download ends the run at once: no 240-second wait, nothing started.
            QVERIFY(!s.texto.contains(QStringLiteral("En unos segundos")));
        } else {
            const QString registro =
                motor == QLatin1String("sqlite")
                    ? QStringLiteral("0,,|/no/existe/nunca,prueba.mdb,admin,x,0")
                    : QStringLiteral("2,,|127.0.0.1,corvinal_test,nadie,x,1");
            const Salida s = lanza(carpeta, {registro});
            QVERIFY2(s.terminado && s.codigo == 1, qPrintable(s.texto));
            QVERIFY2(s.texto.contains(QStringLiteral(
                         "eEstado (rojo): No pudo establecerse conexión con la base de datos: ")),
                     qPrintable(s.texto));
            QVERIFY(!QFile::exists(carpeta + QStringLiteral("/fob7.exe")));
        }
    }

    // The real program ends with status 2 on a record it cannot use, after the real set-up
    // window opened filled with what corvinal.ini held.
    void sinRegistroUtilizable() {
        const QByteArray ini("1,,,|srv,1433,db,sa,DFD9,1433\r\n");
        const QString carpeta = preparaLanzador(ini);
        const Salida s = lanza(carpeta, {});
        QVERIFY2(s.terminado && s.codigo == 2, qPrintable(s.texto));
        QVERIFY2(s.texto.contains(QStringLiteral("[fMensaje] texto: El registro de conexión no es "
                                                 "válido: el puerto «DFD9» no es un número.")) &&
                     s.texto.contains(QStringLiteral("[fHost] tServidorLocal: srv")),
                 qPrintable(s.texto));
        QCOMPARE(prueba::lee(RegistroArranque::rutaFichero(carpeta)), ini);
    }

    // The publishing tool as a command: its help, its checks before any connection, its one
    // folder rule and what sincronizar says.
    void publicador_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("salida");
        const QStringList nunca = {"--conexion", "0,,|/no/existe/nunca,x.db,,,0"};
        QTest::newRow("faltan argumentos")
            << nunca + QStringList{"bajar", "apps/app.sh"} << 2 << "Número de argumentos";
        QTest::newRow("nombre de subida sin terminar")
            << nunca + QStringList{"subir", kPrograma, "/", "--nombre", "x.new"} << 1
            << "Nombre no válido en el repositorio: x.new";
        QTest::newRow("sincronizar carpeta inexistente")
            << QStringList{"sincronizar", "nada", "<destino>"} << 1
            << "No se encontró el directorio:nada";
        // Beside the names crafted into the repository, which it refuses, the mirror still
        // fetches the good file.
        QTest::newRow("sincronizar dice lo que hace")
            << QStringList{"sincronizar", "/apps/", "<destino>"} << 1 << "bajado: <destino>/app.sh";
        QTest::newRow("huellas de lo que otros publicaron")
            << QStringList{"huellas"} << 0 << "huella: ajeno.exe\nal día: fob7.exe";
        QTest::newRow("sincronizar resumido")
            << QStringList{"sincronizar", "apps", "<destino>", "--quiet"} << 1
            << "0 bajados, 1 al día, 3 errores.";
    }
    void publicador() {
        QFETCH(QStringList, argumentos);
        QFETCH(int, codigo);
        QFETCH(QString, salida);
        const std::optional<QString> repo = repositorioPreparado(QStringLiteral("sqlite"));
        QVERIFY(repo);
        const QString destino = scratch_.filePath(QStringLiteral("espejo"));
        QDir().mkpath(destino);
        if (!argumentos.contains(u"--conexion") && !argumentos.contains(u"--help")) {
            argumentos = QStringList{"--conexion", *repo} + argumentos;
        }
        argumentos.replaceInStrings(QStringLiteral("<destino>"), destino);
        const Salida s = ejecuta(kPublicador, argumentos, scratch_.path());
        QVERIFY2(s.terminado && s.codigo == codigo, qPrintable(s.texto));
        QVERIFY2(s.texto.contains(QString(salida).replace(QStringLiteral("<destino>"), destino)),
                 qPrintable(s.texto));
        for (const QString& fuera :
             {QStringLiteral("/no/existe/nunca"), scratch_.filePath("fuera.txt"),
              scratch_.filePath("fuera2.txt"), destino + "/C:x"}) {
            QVERIFY2(!QFileInfo::exists(fuera), qPrintable(fuera));
        }
    }
};

QTEST_GUILESS_MAIN(TstCorvinal)
#include "tst_corvinal.moc"
