#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/Compresion.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/Reloj.h"
#include "platform/Ruta.h"
#include "repository/FormatoRepositorio.h"
#include "repository/cCorvinal.h"
#include "support/CarpetaSoloLectura.h"
#include "support/FicherosPrueba.h"
#include "support/MensajeriaGrabada.h"
#include "support/RepositorioPrueba.h"

using formatoRepositorio::kTamBloque;
using prueba::aleatorios;
using prueba::escribe;
using prueba::lee;

namespace {

QStringList ficheros(const QString& carpeta) {
    return QDir(carpeta).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// The estado events a repository raised, as (text, error) pairs.
QList<std::pair<QString, bool>> estados(const QSignalSpy& espia) {
    QList<std::pair<QString, bool>> lista;
    for (const QList<QVariant>& e : espia) {
        lista.append({e.at(0).toString(), e.at(1).toBool()});
    }
    return lista;
}

// While it lives, the clock moves one millisecond every time it is read, so every block of a
// transfer reports progress however fast the engine stores it.
class RelojPorLectura : public platform::Reloj {
public:
    RelojPorLectura() { platform::estableceReloj(this); }
    ~RelojPorLectura() override { platform::estableceReloj(nullptr); }
    qint64 monotonoMs() const override { return ++ms_; }

private:
    mutable qint64 ms_ = 0;
};

// Every file and folder under raiz, as paths relative to it.
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

// Gives file row cod the name `nombre` through a bound value, whatever it holds, as a crafted
// database would.
void renombra(RepositorioPrueba& r, qint32 cod, const QString& nombre) {
    platform::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM tFicheros WHERE codFichero=") + QString::number(cod),
            r.conexion->con(), 0, platform::Recordset::kOptimista);
    rs.field(QStringLiteral("nombre")).setValue(nombre);
    rs.update();
}

}  // namespace

class TstcCorvinal : public QObject {
    Q_OBJECT

private:
    // One row per case: the case's value in the column named columna.
    template <typename T>
    static void porCaso(const char* columna, const QList<std::pair<const char*, T>>& casos) {
        QTest::addColumn<T>(columna);
        for (const auto& [caso, valor] : casos) {
            QTest::newRow(caso) << valor;
        }
    }

private slots:
    // Every test runs once per engine.
    void initTestCase_data() {
        QTest::addColumn<QString>("motor");
        for (const QString& m : RepositorioPrueba::motores()) {
            QTest::newRow(qPrintable(m)) << m;
        }
    }

    void creaTablasDejaLaRaizYEsRepetible() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
        r.cor.creaTablas();
        QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tCarpetas").toInt(), 1);
        QCOMPARE(r.valor("SELECT carpeta FROM tCarpetas WHERE codCarpeta=1").toString(),
                 QStringLiteral("RAIZ"));
        QVERIFY(r.valor("SELECT codCarpetaPadre FROM tCarpetas WHERE codCarpeta=1").isNull());
        QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tFicheros WHERE fechaUm IS NULL").toInt(), 0);
    }

    void creaTablasAnadeFechaUm() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor, RepositorioPrueba::Tablas::Ninguna);
        r.ejecuta(
            "CREATE TABLE tFicheros (codFichero int NOT NULL, codCarpeta int NOT NULL, "
            "nombre varchar(200) NOT NULL, nBloques int NOT NULL, comprimido tinyint NOT "
            "NULL DEFAULT 0, PRIMARY KEY (codFichero))");
        r.ejecuta(
            "INSERT INTO tFicheros (codFichero,codCarpeta,nombre,nBloques,comprimido) "
            "VALUES (7,1,'viejo.exe',0,0)");
        r.cor.creaTablas();
        QVERIFY(r.valor("SELECT fechaUm FROM tFicheros WHERE codFichero=7").isNull());
        QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tCarpetas").toInt(), 1);
        r.cor.creaTablas();
    }

    void rutasDeCarpetas() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
        const qint32 a = r.carpeta("app", 1);
        const qint32 b = r.carpeta("bin", a);
        const qint32 raro = r.carpeta("it's", a);
        QCOMPARE(r.cor.obtieneCodCarpeta(""), 1);
        QCOMPARE(r.cor.obtieneCodCarpeta("/"), 1);
        QCOMPARE(r.cor.obtieneCodCarpeta("\\"), 1);
        QCOMPARE(r.cor.obtieneCodCarpeta("app/bin"), b);
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

    // Upload and download round trips, plain and compressed, with the rows the format fixes.
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
        QFETCH_GLOBAL(QString, motor);
        QFETCH(int, bytes);
        QFETCH(bool, comprimido);
        RepositorioPrueba r(motor);
        QTemporaryDir dir;
        const QByteArray datos = aleatorios(bytes);
        escribe(dir.filePath("orig"), datos);
        QString subido = dir.filePath("orig");
        if (comprimido) {
            platform::Compresion::comprime(subido, dir.filePath("orig.jzp"));
            subido = dir.filePath("orig.jzp");
        }
        const QByteArray almacenado = lee(subido);
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        QSignalSpy subidos(&r.cor, &cCorvinal::ficheroSubido);
        const QDateTime antes = QDateTime::currentDateTime().addSecs(-2);
        QVERIFY(r.cor.subeFichero(1, subido, "prog.exe", comprimido));
        QCOMPARE(estados(estado),
                 (QList<std::pair<QString, bool>>{
                     {QStringLiteral("Fichero ") + subido + QStringLiteral(" subido con éxito."),
                      false}}));
        QCOMPARE(subidos.size(), 1);

        const qint32 cod = r.cor.codFicheroSubido();
        const QString donde =
            QStringLiteral(" FROM tFicheros WHERE codFichero=") + QString::number(cod);
        QCOMPARE(r.valor("SELECT nombre" + donde).toString(), QStringLiteral("prog.exe"));
        QCOMPARE(r.valor("SELECT nBloques" + donde).toInt(),
                 formatoRepositorio::nBloques(almacenado.size()));
        QCOMPARE(r.valor("SELECT comprimido" + donde).toInt(), comprimido ? 1 : 0);
        const QDateTime fechaUm = r.valor("SELECT fechaUm" + donde).toDateTime();
        QVERIFY2(fechaUm >= antes && fechaUm <= QDateTime::currentDateTime().addSecs(2),
                 qPrintable(fechaUm.toString(Qt::ISODate)));
        QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tFicheros WHERE nombre LIKE '%.new'").toInt(),
                 0);
        const QList<QVariant> tam =
            r.columna("SELECT " + r.longitud("datos") +
                      " AS t FROM tDatosFichero WHERE codFichero=" + QString::number(cod) +
                      " ORDER BY nBloque");
        QCOMPARE(tam.size(), formatoRepositorio::nBloques(almacenado.size()));
        for (int i = 0; i < tam.size(); ++i) {
            const qint64 esperado =
                i + 1 < tam.size() ? kTamBloque : almacenado.size() - qint64(kTamBloque) * i;
            QCOMPARE(tam[i].toLongLong(), esperado);
        }

        QTemporaryDir local;
        escribe(local.filePath("prog.exe"), "versión anterior");
        QSignalSpy bajados(&r.cor, &cCorvinal::ficheroBajado);
        QVERIFY(r.cor.descarga("prog.exe", "", local.path()));
        QCOMPARE(bajados.size(), 1);
        QCOMPARE(bajados[0][0].toString(), platform::uneRuta(local.path(), "prog.exe"));
        QCOMPARE(bajados[0][1].toBool(), comprimido);
        QVERIFY(!r.cor.descargando());
        if (comprimido) {
            QCOMPARE(lee(local.filePath("prog.exe.jzp")), almacenado);
            platform::Compresion jzp;
            jzp.setFicheroComprimido(local.filePath("prog.exe.jzp"));
            jzp.setFicheroSalida(local.filePath("prog.exe"));
            jzp.restaura();
            QFile::remove(local.filePath("prog.exe.jzp"));
        }
        QCOMPARE(lee(local.filePath("prog.exe")), datos);
        QCOMPARE(ficheros(local.path()), QStringList{"prog.exe"});
    }

    void nombreLocalDado() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
        QTemporaryDir dir;
        escribe(dir.filePath("a.jzp"), "comprimido falso");
        QVERIFY(r.cor.subeFichero(1, dir.filePath("a.jzp"), "a.dll", true));
        // The read has ended when the file is reported: a listener can publish through another
        // connection without waiting for a reader's lock.
        RepositorioPrueba otra(motor, RepositorioPrueba::Tablas::Existentes, r.directorio());
        connect(&r.cor, &cCorvinal::ficheroBajado, &r.cor, [&] {
            QVERIFY(otra.cor.subeFichero(1, dir.filePath("a.jzp"), "publicado.dll", false));
        });
        QSignalSpy bajados(&r.cor, &cCorvinal::ficheroBajado);
        QVERIFY(r.cor.bajaFichero(r.cor.codFicheroSubido(), dir.path() + "/", "otro.dll"));
        QCOMPARE(
            r.valor("SELECT COUNT(*) AS n FROM tFicheros WHERE nombre='publicado.dll'").toInt(), 1);
        QCOMPARE(lee(dir.filePath("otro.dll")), QByteArray("comprimido falso"));
        QCOMPARE(bajados[0][0].toString(), dir.filePath("otro.dll"));
        QCOMPARE(bajados[0][1].toBool(), true);
    }

    // The connection is borrowed: a download inside its owner's transaction neither commits
    // nor ends it.
    void descargaEnTransaccionAjena() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
        QTemporaryDir dir;
        QVERIFY(r.publica("a.txt", "contenido"));
        r.ejecuta("DROP TABLE IF EXISTS tAjena");
        r.ejecuta("CREATE TABLE tAjena (n INT)");
        r.ejecuta(motor == "sqlite" ? "BEGIN" : "START TRANSACTION");
        r.ejecuta("INSERT INTO tAjena (n) VALUES (1)");
        QVERIFY(r.cor.bajaFichero(r.cor.codFicheroSubido(), dir.path(), "b.txt"));
        QCOMPARE(lee(dir.filePath("b.txt")), QByteArray("contenido"));
        r.ejecuta("ROLLBACK");
        QCOMPARE(r.valor("SELECT COUNT(*) FROM tAjena").toInt(), 0);
    }

    void fallosDeDescarga_data() {
        QTest::addColumn<QString>("fichero");
        QTest::addColumn<QString>("directorio");
        QTest::addColumn<bool>("localExiste");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("carpeta") << "f.exe"
                                 << "nada/x" << true << "No se encontró el directorio:nada/x";
        QTest::newRow("fichero") << "otro.exe"
                                 << "app" << true << "No se encontró el fichero:app/otro.exe";
        QTest::newRow("subida sin terminar")
            << "f.exe.new"
            << "app" << true << "No se encontró el fichero:app/f.exe.new";
        QTest::newRow("local") << "f.exe"
                               << "app" << false << "No se encontró el directorio:<local>";
    }
    void fallosDeDescarga() {
        QFETCH_GLOBAL(QString, motor);
        QFETCH(QString, fichero);
        QFETCH(QString, directorio);
        QFETCH(bool, localExiste);
        QFETCH(QString, mensaje);
        RepositorioPrueba r(motor);
        QTemporaryDir dir;
        QVERIFY(r.publica("f.exe", "x", false, false, r.carpeta("app", 1)));
        const QString local = localExiste ? dir.path() : dir.filePath("no-existe");
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        QVERIFY(!r.cor.descarga(fichero, directorio, local));
        QCOMPARE(
            estados(estado),
            (QList<std::pair<QString, bool>>{{QString(mensaje).replace("<local>", local), true}}));
        QVERIFY(!r.cor.descargando());
        QVERIFY(!r.cor.bajaFichero(999999, dir.path()));
        QCOMPARE(estado.size(), 1);
    }

    // Blocks that do not match the file row fail the download before anything is written.
    void bloquesDanados_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("descripcion");
        QTest::newRow("borrado")
            << "DELETE FROM tDatosFichero WHERE codFichero=<cod> AND nBloque=300"
            << "Falta el bloque 300 del fichero.";
        QTest::newRow("último borrado")
            << "DELETE FROM tDatosFichero WHERE codFichero=<cod> AND nBloque=489"
            << "Faltan bloques del fichero: llegaron 488 de 489.";
        QTest::newRow("sobra") << "UPDATE tFicheros SET nBloques=488 WHERE codFichero=<cod>"
                               << "El fichero tiene más bloques de los 488 que declara.";
        // A damaged count ends at the first short range, never walking the empty ones.
        QTest::newRow("cuenta enorme")
            << "DELETE FROM tDatosFichero WHERE codFichero=<cod> AND nBloque>300;UPDATE "
               "tFicheros SET nBloques=2147483647 WHERE codFichero=<cod>"
            << "Faltan bloques del fichero: llegaron 300 de 2147483647.";
        QTest::newRow("cuenta negativa")
            << "UPDATE tFicheros SET nBloques=-1 WHERE codFichero=<cod>"
            << "El fichero declara un número de bloques no válido: -1";
    }
    void bloquesDanados() {
        QFETCH_GLOBAL(QString, motor);
        QFETCH(QString, sql);
        QFETCH(QString, descripcion);
        RepositorioPrueba r(motor);
        QVERIFY(r.publica("f.exe", aleatorios(5000000)));
        for (const QString& sentencia : sql.split(u';')) {
            r.ejecuta(
                QString(sentencia).replace("<cod>", QString::number(r.cor.codFicheroSubido())));
        }
        QTemporaryDir local;
        escribe(local.filePath("f.exe"), "versión anterior");
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        QVERIFY(!r.cor.descarga("f.exe", "", local.path()));
        QCOMPARE(estados(estado),
                 (QList<std::pair<QString, bool>>{
                     {QStringLiteral("Error bajando fichero: \r") + descripcion, true}}));
        QCOMPARE(lee(local.filePath("f.exe")), QByteArray("versión anterior"));
        QCOMPARE(ficheros(local.path()), QStringList{"f.exe"});
    }

    void destinoSoloLectura() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
        QTemporaryDir dir;
        QVERIFY(r.publica("f.exe", aleatorios(30000)));
        QDir().mkdir(dir.filePath("ro"));
        escribe(dir.filePath("ro/f.exe"), "versión anterior");
        CarpetaSoloLectura soloLectura(dir.filePath("ro"));
        if (!soloLectura.efectiva()) {
            QSKIP("this system cannot make a folder read-only for this user");
        }
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        QSignalSpy bajados(&r.cor, &cCorvinal::ficheroBajado);
        QVERIFY(!r.cor.descarga("f.exe", "", dir.filePath("ro")));
        QCOMPARE(estado.size(), 1);
        QVERIFY(
            estado[0][0].toString().startsWith("Error bajando fichero: \rNo se pudo escribir "
                                               "el fichero: " +
                                               dir.filePath("ro/f.exe")));
        QVERIFY(estado[0][1].toBool());
        QCOMPARE(bajados.size(), 0);
        QCOMPARE(lee(dir.filePath("ro/f.exe")), QByteArray("versión anterior"));
        QCOMPARE(ficheros(dir.filePath("ro")), QStringList{"f.exe"});
    }

    void cancelarNoEscribeNada() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
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
        QCOMPARE(estado.size(), 0);
        QCOMPARE(bajados.size(), 0);
        QVERIFY(!r.cor.descargando());
        QCOMPARE(lee(local.filePath("f.exe")), QByteArray("versión anterior"));
        QCOMPARE(ficheros(local.path()), QStringList{"f.exe"});
    }

    void sustitucion_data() { porCaso<bool>("acepta", {{"rechazada", false}, {"aceptada", true}}); }
    void sustitucion() {
        QFETCH_GLOBAL(QString, motor);
        QFETCH(bool, acepta);
        RepositorioPrueba r(motor);
        QTemporaryDir dir;
        const QByteArray viejo = aleatorios(50000, 1);
        const QByteArray nuevo = aleatorios(70000, 2);
        escribe(dir.filePath("nuevo"), nuevo);
        QVERIFY(r.publica("f.exe", viejo));
        const qint32 codViejo = r.cor.codFicheroSubido();
        MensajeriaGrabada mensajes;
        mensajes.respuestas.enqueue(acepta);
        // While the new blocks are stored the old file is still there, whole.
        const RelojPorLectura reloj;
        int comprobados = 0;
        const auto enlace =
            connect(&r.cor, &cCorvinal::progreso, &r.cor, [&](float f, qint32, qint32) {
                if (f < 1.0f) {
                    QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tDatosFichero WHERE codFichero=" +
                                     QString::number(codViejo))
                                 .toInt(),
                             formatoRepositorio::nBloques(viejo.size()));
                    ++comprobados;
                }
            });
        const bool ok = r.cor.subeFichero(1, dir.filePath("nuevo"), "f.exe", false);
        disconnect(enlace);
        QCOMPARE(mensajes.textos(MensajeriaGrabada::Clase::Pregunta),
                 QStringList{"Ya existe un fichero con el nombre: f.exe\r¿Desea sustituirlo?"});
        QCOMPARE(ok, acepta);
        QTemporaryDir local;
        QVERIFY(r.cor.descarga("f.exe", "", local.path()));
        QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tFicheros").toInt(), 1);
        if (acepta) {
            QVERIFY(r.cor.codFicheroSubido() != codViejo);
            QVERIFY(comprobados > 0);
            QCOMPARE(lee(local.filePath("f.exe")), nuevo);
            QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tDatosFichero WHERE codFichero=" +
                             QString::number(codViejo))
                         .toInt(),
                     0);
        } else {
            QCOMPARE(r.cor.codFicheroSubido(), codViejo);
            QCOMPARE(lee(local.filePath("f.exe")), viejo);
        }
    }

    // A replacement on the same object later deletes nothing it was not agreed for.
    void sustitucionNoSeArrastra() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
        QTemporaryDir dir;
        escribe(dir.filePath("x"), "x");
        MensajeriaGrabada mensajes;
        mensajes.respuestaPorDefecto = true;
        QVERIFY(r.cor.subeFichero(1, dir.filePath("x"), "a.exe", false));
        const qint32 primero = r.cor.codFicheroSubido();
        QVERIFY(r.cor.subeFichero(1, dir.filePath("x"), "a.exe", false));
        // The freed code now belongs to another file.
        r.ejecuta(
            "INSERT INTO tFicheros (codFichero,codCarpeta,nombre,nBloques,comprimido) "
            "VALUES (" +
            QString::number(primero) + ",1,'otro.exe',0,0)");
        QVERIFY(r.cor.subeFichero(1, dir.filePath("x"), "b.exe", false));
        QCOMPARE(
            r.valor("SELECT nombre FROM tFicheros WHERE codFichero=" + QString::number(primero))
                .toString(),
            QStringLiteral("otro.exe"));
        QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tFicheros").toInt(), 3);
    }

    void subidaPorPasos() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
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
        QCOMPARE(estados(estado), (QList<std::pair<QString, bool>>{
                                      {QStringLiteral("Fichero p.exe subido con éxito."), false}}));
        QTemporaryDir local;
        QVERIFY(r.cor.descarga("p.exe", "", local.path()));
        QCOMPARE(lee(local.filePath("p.exe")), datos);
    }

    void subidaSinFicheroLocal() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion,
                                 r.cor.subeFichero(1, "/no/existe", "f.exe", false));
        // A name that could not come back as one path segment is never stored.
        QVERIFY_THROWS_EXCEPTION(
            platform::ErrorEjecucion,
            r.cor.subeFichero(1, RepositorioPrueba::herramienta(), "../f", false));
        QCOMPARE(r.valor("SELECT COUNT(*) AS n FROM tFicheros").toInt(), 0);
    }

    // The connection lost in the middle of a transfer ends it with an estado error; the local
    // file stays whole and the repository keeps no file of that name.
    void conexionPerdida_data() {
        porCaso<bool>("subiendo", {{"bajando", false}, {"subiendo", true}});
    }
    void conexionPerdida() {
        QFETCH_GLOBAL(QString, motor);
        QFETCH(bool, subiendo);
        RepositorioPrueba r(motor);
        QTemporaryDir dir;
        escribe(dir.filePath("f"), aleatorios(5000000));
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
        const bool ok = subiendo ? r.cor.subeFichero(1, dir.filePath("f"), "f.exe", false)
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
        if (subiendo) {
            RepositorioPrueba otra(motor, RepositorioPrueba::Tablas::Existentes, r.directorio());
            QCOMPARE(otra.valor("SELECT COUNT(*) AS n FROM tFicheros WHERE nombre='f.exe'").toInt(),
                     0);
        }
    }

    // A local file that shrinks during an upload fails it with the connection still alive:
    // the blocks stored so far, committed or not, are all removed and only the ".new" row is
    // left, as another connection sees it.
    void falloConConexionViva_data() {
        porCaso<int>("progresos", {{"primer lote", 5}, {"segundo lote", 300}});
    }
    void falloConConexionViva() {
        QFETCH_GLOBAL(QString, motor);
        QFETCH(int, progresos);
        RepositorioPrueba r(motor);
        QTemporaryDir dir;
        escribe(dir.filePath("f"), aleatorios(600 * kTamBloque));
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
        RepositorioPrueba otra(motor, RepositorioPrueba::Tablas::Existentes, r.directorio());
        QCOMPARE(otra.columna("SELECT nombre FROM tFicheros"), QList<QVariant>{"f.exe.new"});
        QCOMPARE(otra.valor("SELECT COUNT(*) AS n FROM tDatosFichero").toInt(), 0);
    }

    void espejoDeDosNiveles_data() {
        porCaso<bool>("oyenteRestaura", {{"sin oyente", false}, {"con oyente que restaura", true}});
    }
    void espejoDeDosNiveles() {
        QFETCH_GLOBAL(QString, motor);
        QFETCH(bool, oyenteRestaura);
        RepositorioPrueba r(motor);
        const qint32 app = r.carpeta("app", 1);
        const qint32 bin = r.carpeta("bin", app);
        const QByteArray raiz = aleatorios(3000, 1), uno = aleatorios(20000, 2),
                         dos = QByteArray("texto comprimible ").repeated(5000);
        QVERIFY(r.publica("raiz.txt", raiz));
        QVERIFY(r.publica("uno.dll", uno, false, false, app));
        QVERIFY(r.publica("dos.exe", dos, true, false, bin));
        if (oyenteRestaura) {
            connect(&r.cor, &cCorvinal::ficheroBajado, &r.cor,
                    [](const QString& fichero, bool comprimido) {
                        if (!comprimido) {
                            return;
                        }
                        platform::Compresion c;
                        c.setFicheroComprimido(fichero + ".jzp");
                        c.setFicheroSalida(fichero);
                        c.restaura();
                        QFile::remove(fichero + ".jzp");
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

        bajados.clear();
        r.cor.virtualizaDirectorio("/", destino, jzp);
        QCOMPARE(bajados.size(), 0);

        r.ejecuta("UPDATE tFicheros SET fechaUm=" +
                  r.fechaHora(QDateTime::currentDateTime().addSecs(3600)) +
                  " WHERE nombre='uno.dll'");
        escribe(destino + "/app/uno.dll", "tocado");
        r.cor.virtualizaDirectorio("app", destino + "/app", jzp);
        QCOMPARE(bajados.size(), 1);
        QCOMPARE(lee(destino + "/app/uno.dll"), uno);

        // An origin that does not resolve mirrors nothing, not even its destination.
        r.cor.virtualizaDirectorio("app/nada", local.filePath("d"), jzp);
        QVERIFY(!QFileInfo::exists(local.filePath("d")));
    }

    // Names crafted into the database never reach outside the destination: each is refused
    // with its own report, and a mirror still fetches the good file beside them.
    void nombresAjenos_data() {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<bool>("esCarpeta");
        QTest::newRow("padre") << "../fuera.txt" << false;
        QTest::newRow("separador") << "a/b" << false;
        QTest::newRow("contrabarra") << "..\\fuera.txt" << false;
        QTest::newRow("puntos") << ".." << false;
        QTest::newRow("unidad") << "C:x" << false;
        QTest::newRow("nulo") << QStringLiteral("x\0y") << false;
        QTest::newRow("salto de linea") << "x\ny" << false;
        QTest::newRow("carpeta puntos") << ".." << true;
    }
    void nombresAjenos() {
        QFETCH_GLOBAL(QString, motor);
        QFETCH(QString, nombre);
        QFETCH(bool, esCarpeta);
        if (motor != u"sqlite" && nombre.contains(QChar(0))) {
            QSKIP("the ODBC layer reads a text up to its first NUL: only SQLite hands one over");
        }
        RepositorioPrueba r(motor);
        QVERIFY(r.publica("bueno.txt", "bueno"));
        QVERIFY(r.publica("ajeno", "bueno", false, false, esCarpeta ? r.carpeta(nombre, 1) : 1));
        if (!esCarpeta) {
            renombra(r, r.cor.codFicheroSubido(), nombre);
        }
        QTemporaryDir zona;
        const QString destino = zona.filePath("a/b");
        QVERIFY(QDir().mkpath(destino));
        const QStringList antes = arbol(zona.path());
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        if (!esCarpeta) {
            QVERIFY(!r.cor.bajaFichero(r.cor.codFicheroSubido(), destino));
        }
        platform::Compresion jzp;
        r.cor.virtualizaDirectorio("", destino, jzp);
        const std::pair<QString, bool> rechazo{
            QStringLiteral("Nombre no válido en el repositorio: ") + nombre, true};
        const QList<std::pair<QString, bool>> rechazos(esCarpeta ? 1 : 2, rechazo);
        QCOMPARE(estados(estado), rechazos);
        QCOMPARE(arbol(zona.path()), QStringList(antes + QStringList{"a/b/bueno.txt"}));
    }

    // A reader downloading while another process replaces the file gets the old bytes or the
    // new ones, never a mix.
    void lectorConcurrente() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
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

    void conectaPropio() {
        QFETCH_GLOBAL(QString, motor);
        RepositorioPrueba r(motor);
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        platform::Connection* dada = nullptr;
        QVERIFY(r.cor.conecta_(2, "h", 1, "d", "u", "p", false, &dada));
        QCOMPARE(dada, r.conexion->con());
        QCOMPARE(estado.size(), 0);
        // Closed, an engine without a text of its own keeps the connection's text.
        const QString texto = r.conexion->con()->connectionString();
        r.conexion->con()->close();
        QVERIFY(r.cor.conecta_(2, "h", 1, "d", "u", "p", false));
        QCOMPARE(r.conexion->con()->connectionString(), texto);
        QCOMPARE(estados(estado),
                 (QList<std::pair<QString, bool>>{{"Conectando con servidor de datos...", false}}));
    }

    void conectaSqlServerFallido() {
        RepositorioPrueba r("sqlite");
        r.conexion->con()->close();
        QSignalSpy estado(&r.cor, &cCorvinal::estado);
        platform::Connection* dada = nullptr;
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
