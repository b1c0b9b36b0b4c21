#include <QProcess>
#include <QtTest>

#include "arranque/RegistroArranque.h"
#include "platform/Connection.h"
#include "platform/Espera.h"
#include "platform/Recordset.h"
#include "support/FicherosPrueba.h"
#include "support/MotoresPrueba.h"

// End-to-end runs of the real launcher: a copy of the program in a scratch folder, a real
// repository published with the real publishing tool, and the windows echoing what they show.
namespace {

const QString kPrograma = QStringLiteral(CORVINAL_PROGRAMA);
const QString kPublicador = QStringLiteral(CORVINAL_REPO_PROGRAMA);
// The launcher built trusting the test publisher, whose key pair lives in kClaves.
const QString kFirmado = QStringLiteral(CORVINAL_FIRMADO_PROGRAMA);
const QString kClaves = QStringLiteral(CORVINAL_CLAVES_PRUEBA);

// The program the repository serves: a script that leaves a marker beside itself.
const QByteArray kAplicacion = "#!/bin/sh\necho \"iniciada $*\" > \"$(dirname \"$0\")/marcador\"\n";
// A signed application: the program above padded to span several blocks.
QByteArray programaFirmado() {
    return kAplicacion + "# " + QByteArray(25000, 'x') + '\n';
}
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
    QHash<QString, QString> textos_;

    // The first column of the first row sql gives on the engine's repository; empty when none.
    QString valor(const QString& motor, const QString& sql) {
        platform::Connection c;
        c.open(textos_.value(motor));
        const auto rs = c.execute(sql);
        return rs && !rs->eof() ? rs->fields().item(0).value().toString() : QString();
    }

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
        textos_.insert(motor, m.textoConexion);
        platform::Connection c;
        c.open(m.textoConexion);
        const auto sql = [&c](const QByteArray& sentencia) {
            c.execute(QString::fromLatin1(sentencia), nullptr,
                      platform::Connection::kOpcionSinRegistros);
        };
        for (const char* t : {"tDatosFichero", "tFicheros", "tCarpetas", "tFicherosHuella",
                              "tFicherosFirma", "tSucesos"}) {
            sql(QByteArray("DROP TABLE IF EXISTS ") + t);
        }
        const QString app = scratch_.filePath(QStringLiteral("app.sh"));
        const QString fob7 = scratch_.filePath(QStringLiteral("fob7.exe"));
        prueba::escribe(app, kAplicacion);
        prueba::escribe(fob7, contenidoFob7());
        const QString firmado = scratch_.filePath(QStringLiteral("firmado.sh"));
        prueba::escribe(firmado, programaFirmado());
        const QString otra = scratch_.filePath(motor + QStringLiteral("-otra"));
        QDir().mkpath(otra);
        const QString clave = kClaves + QStringLiteral("/editor.clave");
        const auto sube = [&](const char* nombre, const QStringList& mas) {
            return QStringList{"subir", firmado, "firmas", "--nombre", nombre} + mas;
        };
        const QList<QStringList> pasos = {
            {"crear-tablas"},
            {"crear-carpeta", "apps"},
            {"subir", app, "apps", "--comprimir", "--si"},
            {"subir", fob7, "/", "--si"},
            {"subir", app, "apps", "--nombre", "malo1"},
            {"subir", app, "apps", "--nombre", "malo2"},
            {"subir", app, "apps", "--nombre", "malo3"},
            {"subir", fob7, "/", "--nombre", "ajeno.exe"},
            {"claves", "generar", otra},
            {"crear-carpeta", "firmas"},
            sube("bueno.sh", {"--comprimir", "--firmar", clave}),
            sube("alterado.sh", {"--firmar", clave}),
            sube("original.sh", {"--firmar", clave}),
            sube("copia.sh", {}),
            sube("sinfirma.sh", {}),
            sube("ajena.sh", {"--firmar", otra + "/editor.clave"}),
            sube("antigua.sh", {"--firmar", clave}),
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
              "WHERE nombre='ajeno.exe')",
              // Another file's signature row, of content of the same length.
              "INSERT INTO tFicherosFirma (codFichero,edicion,clave,firma) SELECT c.codFichero,"
              "f.edicion,f.clave,f.firma FROM tFicherosFirma f, tFicheros o, tFicheros c WHERE "
              "f.codFichero=o.codFichero AND o.nombre='original.sh' AND c.nombre='copia.sh'"}) {
            sql(sentencia);
        }
        // One stored block changed in place, its size kept.
        sql("UPDATE tDatosFichero SET datos=X'" + QByteArray(10240, 'Z').toHex() +
            "' WHERE nBloque=1 AND codFichero IN (SELECT codFichero FROM tFicheros WHERE "
            "nombre='alterado.sh')");
        const QFileDevice::Permissions ajenos = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;
        if (QFile::permissions(otra + "/editor.clave") & ajenos) {
            qWarning("la clave secreta no es solo de su dueño");
            return std::nullopt;
        }
        return registro;
    }

    // A fresh launcher folder holding a copy of the program (and corvinal.ini when given).
    QString preparaLanzador(const std::optional<QByteArray>& ini = std::nullopt,
                            const QString& programa = kPrograma) {
        static int n = 0;
        const QString carpeta = scratch_.filePath(QStringLiteral("lanzador%1").arg(++n));
        QDir().mkpath(carpeta);
        const QString copia = carpeta + QStringLiteral("/corvinal");
        QFile::copy(programa, copia);
        QFile::setPermissions(copia, QFile::permissions(programa));
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

    // A launcher that trusts the test publisher against each way a release can be forged, and
    // one built without keys, which takes them all as it always has. Every run leaves its trace.
    void firmas_data() {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("fichero");
        QTest::addColumn<QString>("rechazo");
        QTest::addColumn<QString>("traza");
        QTest::addColumn<QString>("verificado");
        const char* sinFirma = "El fichero no está firmado por un editor de confianza.";
        const char* invalida = "La firma del fichero no es válida.";
        const struct {
            const char* caso;
            const char* fichero;
            const char* rechazo;
            const char* verificado;
        } casos[] = {
            {"firmado y comprimido", "bueno.sh", "", "válida"},
            {"bloque alterado", "alterado.sh", invalida, "inválida"},
            {"sin firma", "sinfirma.sh", sinFirma, "sin firma"},
            {"firmado con otra clave", "ajena.sh", sinFirma, "sin firma"},
            {"fila de firma copiada", "copia.sh", invalida, "inválida"},
            {"edicion anterior", "antigua.sh", "El fichero es anterior al instalado.", "válida"},
            {"traza de solo lectura", "bueno.sh", "", "válida"},
        };
        for (const char* motor : {"sqlite", "mariadb"}) {
            for (const auto& c : casos) {
                const bool rechazado = *c.rechazo != '\0';
                QTest::addRow("%s: %s", motor, c.caso)
                    << QString(motor) << QString(c.fichero) << QString::fromUtf8(c.rechazo)
                    << (rechazado ? QStringLiteral("firma inválida") : QStringLiteral("descargado"))
                    << QString::fromUtf8(c.verificado);
            }
        }
    }
    void firmas() {
        QFETCH(QString, motor);
        QFETCH(QString, fichero);
        QFETCH(QString, rechazo);
        QFETCH(QString, traza);
        QFETCH(QString, verificado);
        const std::optional<QString> repo = repositorioPreparado(motor);
        if (!repo) {
            if (motor == QLatin1String("sqlite") || prueba::mariaDbObligatoria()) {
                QFAIL("no se pudo preparar el repositorio");
            }
            QSKIP("MariaDB no configurada (scripts/testdb env)");
        }
        const Salida v = ejecuta(
            kPublicador,
            {"--conexion", *repo, "verificar", "firmas", "--claves", kClaves + "/editor.pub"},
            scratch_.path());
        QVERIFY2(v.codigo == 1 && v.texto.contains(verificado + ": firmas/" + fichero + '\n'),
                 qPrintable(v.texto));
        const QString carpeta = preparaLanzador(std::nullopt, kFirmado);
        const QString local = carpeta + u'/' + fichero;
        const QString registro = *repo + ",firmas," + carpeta + u',' + fichero + ",E";
        const QString cod = "(SELECT codFichero FROM tFicheros WHERE nombre='" + fichero + "')";
        if (fichero == u"antigua.sh") {
            // The launcher takes a later release; the database then serves the earlier one again.
            const QString edicion = valor(motor,
                                          "SELECT edicion FROM tFicherosFirma WHERE "
                                          "codFichero IN " +
                                              cod);
            const QString firma = valor(motor,
                                        "SELECT firma FROM tFicherosFirma WHERE "
                                        "codFichero IN " +
                                            cod);
            QCOMPARE(ejecuta(kPublicador,
                             {"--conexion", *repo, "firmar", "firmas/antigua.sh",
                              kClaves + "/editor.clave"},
                             scratch_.path())
                         .codigo,
                     0);
            QCOMPARE(lanza(carpeta, {registro}).codigo, 0);
            QVERIFY(platform::esperaCondicion(
                [&] { return QFile::remove(carpeta + QStringLiteral("/marcador")); }, 10000));
            valor(motor, "UPDATE tFicherosFirma SET edicion=" +
                             QString::number(edicion.toDouble(), 'f', 0) + ",firma='" + firma +
                             "' WHERE codFichero IN " + cod);
        }
        const bool soloLectura = QTest::currentDataTag() == motor + ": traza de solo lectura";
        if (soloLectura) {
            valor(motor, motor == u"sqlite"
                             ? "CREATE TRIGGER soloLectura BEFORE INSERT ON tSucesos BEGIN "
                               "SELECT RAISE(ABORT,'solo lectura'); END"
                             : "CREATE TRIGGER soloLectura BEFORE INSERT ON tSucesos FOR EACH "
                               "ROW SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='solo lectura'");
        }
        const QByteArray anterior = "anterior\n";
        prueba::escribe(local, anterior);
        const QString ultimo = QStringLiteral("SELECT MAX(codSuceso) FROM tSucesos");
        const QString sucesosAntes = valor(motor, ultimo);
        const Salida s = lanza(carpeta, {registro});
        if (soloLectura) {
            valor(motor, QStringLiteral("DROP TRIGGER soloLectura"));
            QCOMPARE(valor(motor, ultimo), sucesosAntes);
        } else {
            const QString suceso =
                valor(motor, "SELECT suceso FROM tSucesos WHERE codSuceso=" + valor(motor, ultimo));
            QVERIFY2(suceso.startsWith("corvinal: " + fichero + ' ') &&
                         suceso.contains(" ms " + traza + " (equipo "),
                     qPrintable(suceso));
        }
        const QString marcador = carpeta + QStringLiteral("/marcador");
        if (rechazo.isEmpty()) {
            QVERIFY2(s.codigo == 0, qPrintable(s.texto));
            QCOMPARE(prueba::lee(local), programaFirmado());
            QVERIFY(platform::esperaCondicion([&] { return QFile::exists(marcador); }, 10000));
        } else {
            QVERIFY2(s.codigo == 1 && s.texto.contains("eEstado (rojo): " + rechazo),
                     qPrintable(s.texto));
            QCOMPARE(prueba::lee(local), anterior);
            QVERIFY(!QFile::exists(marcador));
        }
        // Without keys the same file is taken as it always was.
        const QString sinClaves = preparaLanzador();
        const Salida t = lanza(sinClaves, {*repo + ",firmas," + sinClaves + u',' + fichero});
        QVERIFY2(t.codigo == 0 && QFile::exists(sinClaves + u'/' + fichero), qPrintable(t.texto));
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
