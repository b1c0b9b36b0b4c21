#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>
#include <algorithm>

#include "platform/Firma.h"
#include "platform/Reloj.h"
#include "platform/Ruta.h"
#include "repository/Confianza.h"
#include "repository/FormatoRepositorio.h"
#include "repository/TablaFirmas.h"
#include "support/MensajeriaGrabada.h"
#include "support/RepositorioPrueba.h"

using prueba::aleatorios;
using prueba::escribe;
using prueba::lee;
using Estados = QList<std::pair<QString, bool>>;

namespace {

QStringList ficheros(const QString& carpeta) {
    return QDir(carpeta).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

Estados estados(const QSignalSpy& espia) {
    Estados lista;
    for (const QList<QVariant>& e : espia) {
        lista.append({e.at(0).toString(), e.at(1).toBool()});
    }
    return lista;
}

// Moves one millisecond every time it is read, so every block of a transfer reports progress
// however fast the engine stores it.
struct RelojPorLectura : platform::Reloj {
    qint64 monotonoMs() const override { return ++ms; }
    mutable qint64 ms = 0;
};

QStringList arbol(const QString& raiz) {
    QStringList rutas;
    QDirIterator it(raiz, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        rutas << QDir(raiz).relativeFilePath(it.next());
    }
    rutas.sort();
    return rutas;
}

// Restores fichero from the ".jzp" beside it, as a download listener does, and removes it.
void restauraJzp(const QString& fichero) {
    platform::Compresion c;
    c.setFicheroComprimido(fichero + ".jzp");
    c.setFicheroSalida(fichero);
    c.restaura();
    QFile::remove(fichero + ".jzp");
}

QString cuentaBloques(qint32 cod) {
    return "SELECT COUNT(*) AS n FROM tDatosFichero WHERE codFichero=" + QString::number(cod);
}

}  // namespace

class TstcCorvinal : public QObject {
    Q_OBJECT

    static QString motor() {
        QFETCH_GLOBAL(QString, motor);
        return motor;
    }

private slots:
    void initTestCase_data() {
        QTest::addColumn<QString>("motor");
        for (const QString& m : RepositorioPrueba::motores()) {
            QTest::newRow(qPrintable(m)) << m;
        }
    }

    // A tFicheros made before fechaUm existed gets the column; a second run changes nothing.
    void creaTablasAnadeFechaUmYEsRepetible() {
        RepositorioPrueba r(motor(), RepositorioPrueba::Tablas::Ninguna);
        r.ejecuta(
            "CREATE TABLE tFicheros (codFichero int NOT NULL, codCarpeta int NOT NULL, "
            "nombre varchar(200) NOT NULL, nBloques int NOT NULL, comprimido tinyint NOT "
            "NULL DEFAULT 0, PRIMARY KEY (codFichero))");
        r.ejecuta(
            "INSERT INTO tFicheros (codFichero,codCarpeta,nombre,nBloques,comprimido) "
            "VALUES (7,1,'viejo.exe',0,0)");
        r.cor.creaTablas();
        r.cor.creaTablas();
        QVERIFY(r.valor("SELECT fechaUm FROM tFicheros WHERE codFichero=7").isNull());
        QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tCarpetas").toInt(), 1);
    }

    void rutasDeCarpetas() {
        RepositorioPrueba r(motor());
        const qint32 a = r.carpeta("app", 1);
        const qint32 b = r.carpeta("bin", a);
        const qint32 raro = r.carpeta("it's", a);
        QCOMPARE(r.cor.obtieneCodCarpeta(""), 1);
        QCOMPARE(r.cor.obtieneCodCarpeta("/"), 1);
        QCOMPARE(r.cor.obtieneCodCarpeta("\\"), 1);
        QCOMPARE(r.cor.obtieneCodCarpeta("app\\bin"), b);
        QCOMPARE(r.cor.obtieneCodCarpeta("/app//bin/"), b);
        QCOMPARE(r.cor.obtieneCodCarpeta("nada/bin"), -1);
        // A missing last name is no folder: never its parent.
        QCOMPARE(r.cor.obtieneCodCarpeta("app/nada"), -1);
        QVERIFY(r.cor.existeDirectorio("app"));
        QVERIFY(!r.cor.existeDirectorio("app/nada"));
        // A quote is part of a name, never of the statement.
        QCOMPARE(r.cor.obtieneCodCarpeta("app/it's"), raro);
        QCOMPARE(r.cor.obtieneCodCarpeta("app/x' OR '1'='1"), -1);
        const qint32 nueva = r.cor.creaCarpeta("app/it's/nueva");
        QCOMPARE(r.cor.obtieneCodCarpeta("/app/it's/nueva/"), nueva);
        QCOMPARE(r.cor.creaCarpeta("app\\bin"), b);
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, r.cor.creaCarpeta("app/../x"));
        QCOMPARE(r.cor.obtieneCodCarpeta("app/x"), -1);
    }

    // Upload and download round trips, plain and compressed, on the block boundaries; the
    // download checks every block against the row, so a badly cut upload fails it.
    void idaYVuelta_data() {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("comprimido");
        for (int n : {0, 1, 10240, 10241, 5000000}) {
            for (bool c : {false, true}) {
                QTest::addRow("%d %s", n, c ? "comprimido" : "plano") << n << c;
            }
        }
    }
    void idaYVuelta() {
        QFETCH(int, bytes);
        QFETCH(bool, comprimido);
        RepositorioPrueba r(motor());
        QTemporaryDir dir;
        const QByteArray datos = aleatorios(bytes);
        escribe(dir.filePath("orig"), datos);
        QString subido = dir.filePath("orig");
        if (comprimido) {
            platform::Compresion::comprime(subido, dir.filePath("orig.jzp"));
            subido = dir.filePath("orig.jzp");
        }
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        QSignalSpy subidos(&r.cor, &cCorvinal::ficheroSubido);
        const QDateTime antes = QDateTime::currentDateTime().addSecs(-2);
        QVERIFY(r.cor.subeFichero(1, subido, "prog.exe", comprimido));
        QCOMPARE(estados(estado), (Estados{{"Fichero " + subido + " subido con éxito.", false}}));
        QCOMPARE(subidos.size(), 1);
        const QString donde =
            " FROM tFicheros WHERE codFichero=" + QString::number(r.cor.codFicheroSubido());
        QCOMPARE(r.valor("SELECT nombre" + donde).toString(), QStringLiteral("prog.exe"));
        QCOMPARE(r.valor("SELECT nBloques" + donde).toInt(),
                 formatoRepositorio::nBloques(lee(subido).size()));
        QCOMPARE(r.valor("SELECT comprimido" + donde).toInt(), comprimido ? 1 : 0);
        const QDateTime fechaUm = r.valor("SELECT fechaUm" + donde).toDateTime();
        QVERIFY2(fechaUm >= antes && fechaUm <= QDateTime::currentDateTime().addSecs(2),
                 qPrintable(fechaUm.toString(Qt::ISODate)));

        QTemporaryDir local;
        escribe(local.filePath("prog.exe"), "versión anterior");
        QSignalSpy bajados(&r.cor, &cCorvinal::ficheroBajado);
        QVERIFY(r.cor.descarga("prog.exe", "", local.path()));
        QCOMPARE(bajados.size(), 1);
        QCOMPARE(bajados[0][0].toString(), platform::uneRuta(local.path(), "prog.exe"));
        QCOMPARE(bajados[0][1].toBool(), comprimido);
        QVERIFY(!r.cor.descargando());
        if (comprimido) {
            restauraJzp(local.filePath("prog.exe"));
        }
        QCOMPARE(lee(local.filePath("prog.exe")), datos);
        QCOMPARE(ficheros(local.path()), QStringList{"prog.exe"});
    }

    // A second download of an unchanged file reads no block (they are deleted to prove it) and
    // leaves the local file untouched; any doubt about the fingerprint row downloads in full.
    void huella_data() {
        QTest::addColumn<QString>("cambio");
        QTest::addColumn<bool>("comprimido");
        QTest::addColumn<bool>("alDia");
        QTest::newRow("sin cambios") << "" << false << true;
        QTest::newRow("sin cambios, comprimido") << "" << true << true;
        QTest::newRow("huella de otra herramienta") << "calcula" << true << true;
        QTest::newRow("fichero local tocado") << "local" << false << false;
        QTest::newRow("otro contenido del mismo tamaño") << "republica" << false << false;
        QTest::newRow("fila de otra versión") << "fecha" << false << false;
        QTest::newRow("sin tabla de huellas") << "sin tabla" << false << false;
    }
    void huella() {
        QFETCH(QString, cambio);
        QFETCH(bool, comprimido);
        QFETCH(bool, alDia);
        RepositorioPrueba r(motor());
        if (cambio == "sin tabla") {
            r.ejecuta("DROP TABLE tFicherosHuella");
        }
        QByteArray esperado = aleatorios(30000, 1);
        QVERIFY(r.publica("f.exe", esperado, comprimido));
        QTemporaryDir local;
        const QString fichero = local.filePath("f.exe");
        QVERIFY(r.cor.descarga("f.exe", "", local.path()));
        if (comprimido) {
            restauraJzp(fichero);
        }
        if (cambio == "calcula") {
            r.ejecuta("DELETE FROM tFicherosHuella");
            QVERIFY(r.cor.calculaHuella(r.cor.codFicheroSubido()));
        } else if (cambio == "local") {
            // Found up to date first, so that the fingerprint it remembers is of the old bytes.
            QVERIFY(r.cor.descarga("f.exe", "", local.path()));
            escribe(fichero, aleatorios(30000, 2));
        } else if (cambio == "republica") {
            esperado = aleatorios(30000, 2);
            MensajeriaGrabada mensajes;
            mensajes.respuestas.enqueue(true);
            QVERIFY(r.publica("f.exe", esperado));
        } else if (cambio == "fecha") {
            r.ejecuta("UPDATE tFicherosHuella SET fechaUm=" +
                      r.conexion->fechaHora(QDateTime::currentDateTime().addDays(-1)));
        }
        const QDateTime antes = QDateTime::currentDateTime().addDays(-2);
        QFile tocado(fichero);
        QVERIFY(tocado.open(QIODevice::ReadOnly) &&
                tocado.setFileTime(antes, QFileDevice::FileModificationTime));
        tocado.close();
        if (alDia) {
            r.ejecuta("DELETE FROM tDatosFichero");
        }
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        QSignalSpy bajados(&r.cor, &cCorvinal::ficheroBajado);
        QVERIFY(r.cor.descarga("f.exe", "", local.path()));
        if (comprimido && !alDia) {
            restauraJzp(fichero);
        }
        QCOMPARE(lee(fichero), esperado);
        QCOMPARE(bajados.size(), alDia ? 0 : 1);
        QCOMPARE(QFileInfo(fichero).lastModified() == antes, alDia);
        QCOMPARE(estados(estado),
                 (alDia ? Estados{{"El fichero ya está al día.", false}} : Estados{}));
        // Replacing and deleting take the file's row with them.
        r.cor.eliminafichero(r.cor.codFicheroSubido());
        QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tFicheros").toInt(), 0);
        QVERIFY(cambio == "sin tabla" ||
                r.valor("SELECT COUNT(*) AS n FROM tFicherosHuella").toInt() == 0);
    }

    // A launcher with trusted keys and a database that has no signature table: refused unless
    // its build lets such databases through; a signed file is taken either way.
    void confianza_data() {
        QTest::addColumn<bool>("sinTabla");
        QTest::addColumn<bool>("obligatoria");
        QTest::addColumn<bool>("bajado");
        QTest::newRow("firmado") << false << true << true;
        QTest::newRow("sin tabla de firmas") << true << true << false;
        QTest::newRow("sin tabla de firmas, firma no obligatoria") << true << false << true;
    }
    void confianza() {
        QFETCH(bool, sinTabla);
        QFETCH(bool, obligatoria);
        QFETCH(bool, bajado);
        RepositorioPrueba r(motor());
        const platform::ParClaves par = platform::generaClaves();
        r.cor.setClaveFirma(par.secreta);
        QVERIFY(r.publica("f.exe", aleatorios(30000, 1), true));
        if (sinTabla) {
            r.ejecuta("DROP TABLE tFicherosFirma");
        }
        QTemporaryDir local;
        const Confianza confianza({par.publica}, obligatoria, local.filePath("estado"));
        r.cor.setConfianza(&confianza);
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        QCOMPARE(r.cor.descarga("f.exe", "", local.path()), bajado);
        QCOMPARE(QFile::exists(local.filePath("f.exe.jzp")), bajado);
        QCOMPARE(estados(estado).contains({TablaFirmas::kTextoSinFirma, true}), !bajado);
    }

    void nombreLocalDado() {
        RepositorioPrueba r(motor());
        QTemporaryDir dir;
        QVERIFY(r.publica("a.dll", "comprimido falso", true, true));
        // The read has ended when the file is reported: a listener can publish through another
        // connection without waiting for a reader's lock.
        RepositorioPrueba otra(motor(), RepositorioPrueba::Tablas::Existentes, r.directorio());
        const auto enlace = connect(&r.cor, &cCorvinal::ficheroBajado, &r.cor,
                                    [&] { QVERIFY(otra.publica("publicado.dll", "x")); });
        QSignalSpy bajados(&r.cor, &cCorvinal::ficheroBajado);
        QVERIFY(r.cor.bajaFichero(r.cor.codFicheroSubido(), dir.path() + "/", "otro.dll"));
        disconnect(enlace);
        QCOMPARE(
            r.valor("SELECT COUNT(*) AS n FROM tFicheros WHERE nombre='publicado.dll'").toInt(), 1);
        QCOMPARE(lee(dir.filePath("otro.dll")), QByteArray("comprimido falso"));
        QCOMPARE(bajados[0][0].toString(), dir.filePath("otro.dll"));
        QCOMPARE(bajados[0][1].toBool(), true);

        // The connection is borrowed: a download inside its owner's transaction neither commits
        // nor ends it.
        r.ejecuta("DROP TABLE IF EXISTS tAjena");
        r.ejecuta("CREATE TABLE tAjena (n INT)");
        r.ejecuta(motor() == "sqlite" ? "BEGIN" : "START TRANSACTION");
        r.ejecuta("INSERT INTO tAjena (n) VALUES (1)");
        QVERIFY(r.cor.bajaFichero(r.cor.codFicheroSubido(), dir.path(), "b.txt"));
        QCOMPARE(lee(dir.filePath("b.txt")), QByteArray("comprimido falso"));
        r.ejecuta("ROLLBACK");
        QCOMPARE(r.valor("SELECT COUNT(*) FROM tAjena").toInt(), 0);
    }

    void fallosDeDescarga() {
        RepositorioPrueba r(motor());
        QTemporaryDir dir;
        QVERIFY(r.publica("f.exe", "x", false, false, r.carpeta("app", 1)));
        const struct {
            const char *fichero, *directorio;
            QString local, mensaje;
        } casos[] = {
            {"f.exe", "nada/x", dir.path(), "No se encontró el directorio:nada/x"},
            {"otro.exe", "app", dir.path(), "No se encontró el fichero:app/otro.exe"},
            {"f.exe.new", "app", dir.path(), "No se encontró el fichero:app/f.exe.new"},
            {"f.exe", "app", dir.filePath("no"),
             "No se encontró el directorio:" + dir.filePath("no")},
        };
        for (const auto& c : casos) {
            QSignalSpy estado(&r.cor, &cCorvinal::estado);
            QVERIFY(!r.cor.descarga(c.fichero, c.directorio, c.local));
            QCOMPARE(estados(estado), (Estados{{c.mensaje, true}}));
            QVERIFY(!r.cor.descargando());
        }
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        QVERIFY(!r.cor.bajaFichero(999999, dir.path()));
        QCOMPARE(estado.size(), 0);
        QCOMPARE(ficheros(dir.path()), QStringList{});
    }

    // Blocks that do not match the file row fail the download before anything is written.
    void bloquesDanados() {
        const std::pair<const char*, const char*> casos[] = {
            {"DELETE FROM tDatosFichero WHERE codFichero=<cod> AND nBloque=300",
             "Falta el bloque 300 del fichero."},
            {"DELETE FROM tDatosFichero WHERE codFichero=<cod> AND nBloque=489",
             "Faltan bloques del fichero: llegaron 488 de 489."},
            {"UPDATE tFicheros SET nBloques=488 WHERE codFichero=<cod>",
             "El fichero tiene más bloques de los 488 que declara."},
            // A damaged count ends at the first short range, never walking the empty ones.
            {"DELETE FROM tDatosFichero WHERE codFichero=<cod> AND nBloque>300;UPDATE tFicheros "
             "SET nBloques=2147483647 WHERE codFichero=<cod>",
             "Faltan bloques del fichero: llegaron 300 de 2147483647."},
            {"UPDATE tFicheros SET nBloques=-1 WHERE codFichero=<cod>",
             "El fichero declara un número de bloques no válido: -1"},
        };
        for (const auto& [sql, descripcion] : casos) {
            RepositorioPrueba r(motor());
            QVERIFY(r.publica("f.exe", aleatorios(5000000)));
            for (const QString& s : QString(sql).split(u';')) {
                r.ejecuta(QString(s).replace("<cod>", QString::number(r.cor.codFicheroSubido())));
            }
            QTemporaryDir local;
            escribe(local.filePath("f.exe"), "versión anterior");
            QSignalSpy estado(&r.cor, &cCorvinal::estado);
            QVERIFY(!r.cor.descarga("f.exe", "", local.path()));
            QCOMPARE(estados(estado),
                     (Estados{{QStringLiteral("Error bajando fichero: \r") + descripcion, true}}));
            QCOMPARE(lee(local.filePath("f.exe")), QByteArray("versión anterior"));
            QCOMPARE(ficheros(local.path()), QStringList{"f.exe"});
        }
    }

    void cancelarNoEscribeNada() {
        RepositorioPrueba r(motor());
        QVERIFY(r.publica("f.exe", aleatorios(100000)));
        QTemporaryDir local;
        escribe(local.filePath("f.exe"), "versión anterior");
        int vistos = 0;
        connect(&r.cor, &cCorvinal::progreso, &r.cor, [&](float, qint32, qint32) {
            QVERIFY(r.cor.descargando());
            if (++vistos == 3) {
                r.cor.cancelar();
            }
        });
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        QSignalSpy bajados(&r.cor, &cCorvinal::ficheroBajado);
        QVERIFY(!r.cor.descarga("f.exe", "", local.path()));
        QCOMPARE(vistos, 3);
        QCOMPARE(estado.size() + bajados.size(), 0);
        QVERIFY(!r.cor.descargando());
        QCOMPARE(lee(local.filePath("f.exe")), QByteArray("versión anterior"));
        QCOMPARE(ficheros(local.path()), QStringList{"f.exe"});
    }

    // While the new blocks are stored the old file is still there, whole; an agreed
    // replacement later deletes nothing it was not agreed for.
    void sustitucion() {
        const QByteArray viejo = aleatorios(50000, 1), nuevo = aleatorios(70000, 2);
        for (const bool acepta : {false, true}) {
            RepositorioPrueba r(motor());
            QVERIFY(r.publica("f.exe", viejo));
            const qint32 codViejo = r.cor.codFicheroSubido();
            MensajeriaGrabada mensajes;
            mensajes.respuestas.enqueue(acepta);
            RelojPorLectura reloj;
            const platform::RelojInstalado puesto(&reloj);
            int comprobados = 0;
            const auto enlace =
                connect(&r.cor, &cCorvinal::progreso, &r.cor, [&](float f, qint32, qint32) {
                    if (f < 1.0f) {
                        QCOMPARE(r.valor(cuentaBloques(codViejo)).toInt(),
                                 formatoRepositorio::nBloques(viejo.size()));
                        ++comprobados;
                    }
                });
            QCOMPARE(r.publica("f.exe", nuevo), acepta);
            disconnect(enlace);
            QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Pregunta),
                     QStringList{"Ya existe un fichero con el nombre: f.exe\r¿Desea sustituirlo?"});
            QCOMPARE(r.cor.codFicheroSubido() != codViejo, acepta);
            QTemporaryDir local;
            QVERIFY(r.cor.descarga("f.exe", "", local.path()));
            QCOMPARE(lee(local.filePath("f.exe")), acepta ? nuevo : viejo);
            QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tFicheros").toInt(), 1);
            if (acepta) {
                QVERIFY(comprobados > 0);
                QCOMPARE(r.valor(cuentaBloques(codViejo)).toInt(), 0);
                // The freed code now belongs to another file.
                r.ejecuta(
                    "INSERT INTO tFicheros (codFichero,codCarpeta,nombre,nBloques,comprimido) "
                    "VALUES (" +
                    QString::number(codViejo) + ",1,'otro.exe',0,0)");
                QVERIFY(r.publica("b.exe", nuevo));
                QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tFicheros").toInt(), 3);
            }
        }
    }

    void subidaPorPasos() {
        RepositorioPrueba r(motor());
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion,
                                 r.cor.subeFichero(1, "/no/existe", "f.exe", false));
        // A name that could not come back as one path segment is never stored.
        QVERIFY_THROWS_EXCEPTION(
            platform::ErrorEjecucion,
            r.cor.subeFichero(1, RepositorioPrueba::herramienta(), "../f", false));
        QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tFicheros").toInt(), 0);
        QTemporaryDir dir;
        const QByteArray datos = aleatorios(25000);
        escribe(dir.filePath("f"), datos);
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        QVERIFY(!r.cor.subeFichero(1, dir.filePath("f"), "p.exe", false, true));
        QCOMPARE(r.valor("SELECT nombre FROM tFicheros").toString(), QStringLiteral("p.exe.new"));
        int pasos = 0;
        while (r.cor.pasoSubirFichero()) {
            ++pasos;
        }
        QCOMPARE(pasos, 3);
        QCOMPARE(estados(estado), (Estados{{"Fichero p.exe subido con éxito.", false}}));
        QTemporaryDir local;
        QVERIFY(r.cor.descarga("p.exe", "", local.path()));
        QCOMPARE(lee(local.filePath("p.exe")), datos);
    }

    // The connection lost in the middle of a transfer ends it with an estado error; the local
    // file stays whole and the repository keeps no file of that name.
    void conexionPerdida() {
        for (const bool subiendo : {false, true}) {
            RepositorioPrueba r(motor());
            QVERIFY(subiendo || r.publica("f.exe", aleatorios(5000000)));
            QTemporaryDir local;
            escribe(local.filePath("f.exe"), "versión anterior");
            int vistos = 0;
            connect(&r.cor, &cCorvinal::progreso, &r.cor, [&](float, qint32, qint32) {
                if (++vistos == 10) {
                    r.pierdeConexion();
                }
            });
            QSignalSpy estado(&r.cor, &cCorvinal::estado);
            const bool ok = subiendo ? r.publica("f.exe", aleatorios(5000000))
                                     : r.cor.descarga("f.exe", "", local.path());
            r.recuperaConexion();
            QVERIFY(!ok);
            QCOMPARE(estado.size(), 1);
            QVERIFY2(estado[0][0].toString().startsWith(subiendo ? "Error subiendo fichero: \r"
                                                                 : "Error bajando fichero: \r"),
                     qPrintable(estado[0][0].toString()));
            QVERIFY(estado[0][1].toBool());
            QCOMPARE(lee(local.filePath("f.exe")), QByteArray("versión anterior"));
            QCOMPARE(ficheros(local.path()), QStringList{"f.exe"});
            RepositorioPrueba otra(motor(), RepositorioPrueba::Tablas::Existentes, r.directorio());
            QCOMPARE(otra.valor("SELECT COUNT(*) AS n FROM tFicheros WHERE nombre='f.exe'").toInt(),
                     subiendo ? 0 : 1);
        }
    }

    // A local file that shrinks during an upload fails it with the connection still alive:
    // the blocks stored so far, committed or not, are all removed and only the ".new" row is
    // left, as another connection sees it.
    void falloConConexionViva() {
        for (const int progresos : {5, 300}) {
            RepositorioPrueba r(motor());
            QTemporaryDir dir;
            escribe(dir.filePath("f"), aleatorios(600 * formatoRepositorio::kTamBloque));
            int vistos = 0;
            connect(&r.cor, &cCorvinal::progreso, &r.cor, [&](float, qint32, qint32) {
                if (++vistos == progresos) {
                    QVERIFY(QFile::resize(dir.filePath("f"), 0));
                }
            });
            QSignalSpy estado(&r.cor, &cCorvinal::estado);
            QVERIFY(!r.cor.subeFichero(1, dir.filePath("f"), "f.exe", false));
            QCOMPARE(estado.size(), 1);
            QVERIFY(estado[0][0].toString().startsWith("Error subiendo fichero: \r"));
            RepositorioPrueba otra(motor(), RepositorioPrueba::Tablas::Existentes, r.directorio());
            QCOMPARE(otra.columna("SELECT nombre FROM tFicheros"), QList<QVariant>{"f.exe.new"});
            QCOMPARE(otra.valor("SELECT COUNT(*) AS n FROM tDatosFichero").toInt(), 0);
        }
    }

    // A mirror restores compressed files itself, or leaves them to a listener that does.
    void espejoDeDosNiveles() {
        for (const bool oyenteRestaura : {false, true}) {
            RepositorioPrueba r(motor());
            const qint32 app = r.carpeta("app", 1);
            const QByteArray raiz = aleatorios(3000, 1), uno = aleatorios(20000, 2),
                             dos = QByteArray("texto comprimible ").repeated(5000);
            QVERIFY(r.publica("raiz.txt", raiz));
            QVERIFY(r.publica("uno.dll", uno, false, false, app));
            QVERIFY(r.publica("dos.exe", dos, true, false, r.carpeta("bin", app)));
            if (oyenteRestaura) {
                connect(&r.cor, &cCorvinal::ficheroBajado, &r.cor, [](const QString& f, bool c) {
                    if (c) {
                        restauraJzp(f);
                    }
                });
            }
            QTemporaryDir local;
            const QString destino = local.filePath("espejo");
            platform::Compresion jzp;
            QSignalSpy bajados(&r.cor, &cCorvinal::ficheroBajado);
            r.cor.virtualizaDirectorio("", destino, jzp);
            QCOMPARE(bajados.size(), 3);
            QCOMPARE(lee(destino + "/raiz.txt"), raiz);
            QCOMPARE(lee(destino + "/app/uno.dll"), uno);
            QCOMPARE(lee(destino + "/app/bin/dos.exe"), dos);
            QCOMPARE(ficheros(destino + "/app/bin"), QStringList{"dos.exe"});

            // An unchanged file stays: the publishing tool's "al día" end-to-end case.
            bajados.clear();
            r.ejecuta("UPDATE tFicheros SET fechaUm=" +
                      r.conexion->fechaHora(QDateTime::currentDateTime().addSecs(3600)) +
                      " WHERE nombre='uno.dll'");
            escribe(destino + "/app/uno.dll", "tocado");
            r.cor.virtualizaDirectorio("app", destino + "/app", jzp);
            QCOMPARE(bajados.size(), 1);
            QCOMPARE(lee(destino + "/app/uno.dll"), uno);

            // An origin that does not resolve mirrors nothing, not even its destination.
            r.cor.virtualizaDirectorio("app/nada", local.filePath("d"), jzp);
            QVERIFY(!QFileInfo::exists(local.filePath("d")));
        }
    }

    // Names crafted into the database (a parent "..", a drive and a folder ".." are the
    // programs' own end-to-end cases) never reach outside the destination: each is refused with
    // its own report, by a download and by a mirror, which still fetches the good file.
    void nombresAjenos() {
        QStringList nombres{"a/b", "..\\fuera.txt", "..", "x\ny"};
        // The ODBC layer reads a text up to its first NUL: only SQLite hands one over.
        if (motor() == u"sqlite") {
            nombres << QStringLiteral("x\0y");
        }
        RepositorioPrueba r(motor());
        QVERIFY(r.publica("bueno.txt", "bueno"));
        QTemporaryDir zona;
        const QString destino = zona.filePath("a/b");
        QVERIFY(QDir().mkpath(destino));
        const QStringList antes = arbol(zona.path());
        Estados rechazos;
        QList<qint32> codigos;
        for (const QString& nombre : nombres) {
            QVERIFY(r.publica("ajeno", "malo"));
            codigos << r.cor.codFicheroSubido();
            // Through a bound value, whatever it holds, as a crafted database would.
            platform::Recordset rs;
            rs.open("SELECT * FROM tFicheros WHERE codFichero=" + QString::number(codigos.last()),
                    r.conexion->con(), 0, platform::Recordset::kOptimista);
            rs.field(QStringLiteral("nombre")).setValue(nombre);
            rs.update();
            rechazos << std::pair{"Nombre no válido en el repositorio: " + nombre, true};
        }
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        for (const qint32 cod : codigos) {
            QVERIFY(!r.cor.bajaFichero(cod, destino));
        }
        QCOMPARE(estados(estado), rechazos);
        platform::Compresion jzp;
        r.cor.virtualizaDirectorio("", destino, jzp);
        Estados vistos = estados(estado).mid(rechazos.size());
        std::sort(vistos.begin(), vistos.end());
        std::sort(rechazos.begin(), rechazos.end());
        QCOMPARE(vistos, rechazos);
        QCOMPARE(arbol(zona.path()), QStringList(antes + QStringList{"a/b/bueno.txt"}));
    }

    // A reader downloading while another process replaces the file gets the old bytes or the
    // new ones, never a mix.
    void lectorConcurrente() {
        RepositorioPrueba r(motor());
        QTemporaryDir dir;
        const QByteArray a = aleatorios(1000000, 1), b = aleatorios(1000000, 2);
        escribe(dir.filePath("a"), a);
        escribe(dir.filePath("b"), b);
        QVERIFY(r.publica("f.exe", a));
        QProcess escritor;
        escritor.setProgram("/bin/sh");
        escritor.setArguments(
            {"-c", QStringLiteral("for i in 1 2 3; do for f in b a; do \"%1\" --conexion "
                                  "\"%2\" subir \"%3/$f\" / --nombre f.exe --si || exit 1; "
                                  "done; done")
                       .arg(RepositorioPrueba::herramienta(), r.registro(), dir.path())});
        escritor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        escritor.start();
        QVERIFY(escritor.waitForStarted());
        int completas = 0;
        QTemporaryDir local;
        while (escritor.state() != QProcess::NotRunning) {
            if (r.cor.descarga("f.exe", "", local.path())) {
                const QByteArray leido = lee(local.filePath("f.exe"));
                QVERIFY2(leido == a || leido == b, "a download mixed two versions");
                ++completas;
            }
            escritor.waitForFinished(10);
        }
        QCOMPARE(escritor.exitCode(), 0);
        QVERIFY(completas > 0);
    }

    // An open connection is used as it is; a closed one of an engine without a text of its own
    // keeps its text; a server that does not answer reports and leaves nothing half open.
    void conecta() {
        RepositorioPrueba r(motor());
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        platform::Connection* dada = nullptr;
        QVERIFY(r.cor.conecta_(2, "h", 1, "d", "u", "p", false, &dada));
        QCOMPARE(dada, r.conexion->con());
        const QString texto = r.conexion->con()->connectionString();
        r.conexion->con()->close();
        QVERIFY(r.cor.conecta_(2, "h", 1, "d", "u", "p", false));
        QCOMPARE(r.conexion->con()->connectionString(), texto);
        QCOMPARE(estados(estado), (Estados{{"Conectando con servidor de datos...", false}}));

        r.conexion->con()->close();
        estado.clear();
        dada = nullptr;
        QVERIFY(!r.cor.conecta_(1, "127.0.0.1", 1, "d", "u", "secreto", true, &dada));
        QCOMPARE(dada, nullptr);
        QCOMPARE(r.conexion->con()->connectionString(),
                 QStringLiteral("Provider=sqloledb.1;Network Library=DBMSSOCN;Data "
                                "Source=127.0.0.1,1;Initial Catalog=d;User ID=u;Password=secreto;"
                                "Encrypt=yes"));
        QCOMPARE(estado.size(), 2);
        QCOMPARE(estado[0][0].toString(), QStringLiteral("Conectando con servidor de datos..."));
        QVERIFY(estado[1][1].toBool());
        QVERIFY(r.conexion->con()->state() != platform::Connection::kConectando);
    }
};

QTEST_MAIN(TstcCorvinal)
#include "tst_cCorvinal.moc"
