#include <sys/resource.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <optional>

#include "platform/ErrorEjecucion.h"
#include "platform/ErrorFichero.h"
#include "repository/EscritorBloques.h"
#include "repository/FormatoRepositorio.h"
#include "repository/cCorvinal.h"
#include "support/CarpetaSoloLectura.h"
#include "support/Conectada.h"
#include "support/FicherosPrueba.h"

using formatoRepositorio::kTamBloque;
using prueba::escribe;
using prueba::lee;

namespace {

struct Bloque {
    qint64 n;
    QByteArray datos;
};
using Bloques = QVector<Bloque>;

// Feeds the blocks and finishes; the error number, or nothing when all went well.
std::optional<qint32> vuelca(const QString& destino, qint32 nBloques, const Bloques& bloques) {
    try {
        EscritorBloques escritor(destino, nBloques);
        for (const Bloque& b : bloques) {
            escritor.agrega(b.n, b.datos);
        }
        escritor.termina();
    } catch (const platform::ErrorEjecucion& e) {
        return e.numero();
    }
    return std::nullopt;
}

}  // namespace

// The repository without an engine: its tables as SQL Server and Oracle receive them, on their
// exact statement texts (other installations read these tables, so the column definitions must
// not drift), and the block writer on the cases no stored file reaches. Whole files, and the
// missing and surplus blocks a damaged row gives, are the engine tests' round trips and damaged
// downloads.
class TstcCorvinalTextos : public QObject {
    Q_OBJECT

private:
    // The statements that change the schema or write rows when creaTablas runs on engine tipo,
    // the statements with existeTabla answering that a table is there.
    static QStringList escrituras(int tipo, const QString& existeTabla = QString()) {
        prueba::ConexionGrabadora grabadora;
        auto c = prueba::conectada(tipo, grabadora);
        if (!existeTabla.isEmpty()) {
            grabadora.responde(existeTabla, {{"a", "b"}, {{1, 1}}});
        }
        cCorvinal cor;
        cor.setConexion_ac(c.get());
        cor.creaTablas();
        QStringList resultado;
        for (const QString& s : grabadora.sentencias()) {
            if (s.startsWith(u"CREATE") || s.startsWith(u"ALTER") || s.startsWith(u"INSERT")) {
                resultado.append(s);
            }
        }
        return resultado;
    }

private slots:
    void tablasNuevas() {
        QCOMPARE(escrituras(1),
                 (QStringList{
                     "CREATE TABLE tCarpetas (codCarpeta int NOT NULL ,carpeta varchar (200) NOT "
                     "NULL ,codCarpetaPadre int,PRIMARY KEY (codCarpeta))",
                     "INSERT INTO tCarpetas (codCarpeta,carpeta) VALUES (1,'RAIZ')",
                     "CREATE TABLE tFicheros (codFichero int NOT NULL ,codCarpeta int NOT NULL "
                     ",nombre varchar (200) NOT NULL ,nBloques int NOT NULL ,comprimido tinyint "
                     "NOT NULL DEFAULT 0 ,fechaUm datetime,PRIMARY KEY (codFichero))",
                     "CREATE TABLE tDatosFichero (codFichero int NOT NULL ,nBloque int NOT NULL "
                     ",datos image NOT NULL ,PRIMARY KEY (codFichero,nBloque))",
                     "CREATE TABLE tFicherosHuella (codFichero int NOT NULL ,fechaUm datetime NOT "
                     "NULL ,longitud decimal(14,0) NOT NULL ,sha256 varchar (64) NOT NULL "
                     ",sha256Guardado varchar (64) NOT NULL ,PRIMARY KEY (codFichero))",
                     "CREATE TABLE tFicherosFirma (codFichero int NOT NULL ,edicion decimal(14,0) "
                     "NOT NULL ,clave varchar (64) NOT NULL ,firma varchar (128) NOT NULL ,PRIMARY "
                     "KEY (codFichero))",
                     "CREATE TABLE tSucesos (codSuceso int NOT NULL ,fecha datetime,suceso "
                     "text,codConexion int,PRIMARY KEY (codSuceso))"}));
        QCOMPARE(
            escrituras(3),
            (QStringList{
                "CREATE TABLE tCarpetas (codCarpeta NUMBER(10) NOT NULL ,carpeta VARCHAR2 "
                "(200) NOT NULL ,codCarpetaPadre NUMBER(10),PRIMARY KEY (codCarpeta))",
                "INSERT INTO tCarpetas (codCarpeta,carpeta) VALUES (1,'RAIZ')",
                "CREATE TABLE tFicheros (codFichero NUMBER(10) NOT NULL ,codCarpeta "
                "NUMBER(10) NOT NULL ,nombre VARCHAR2 (200) NOT NULL ,nBloques NUMBER(10) NOT "
                "NULL ,comprimido NUMBER(1) DEFAULT (0) NOT NULL ,fechaUm DATE,PRIMARY KEY "
                "(codFichero))",
                "CREATE TABLE tDatosFichero (codFichero NUMBER(10) NOT NULL ,nBloque "
                "NUMBER(10) NOT NULL ,datos BLOB NOT NULL ,PRIMARY KEY (codFichero,nBloque))",
                "CREATE TABLE tFicherosHuella (codFichero NUMBER(10) NOT NULL ,fechaUm DATE NOT "
                "NULL ,longitud NUMBER(14,0) NOT NULL ,sha256 VARCHAR2 (64) NOT NULL "
                ",sha256Guardado VARCHAR2 (64) NOT NULL ,PRIMARY KEY (codFichero))",
                "CREATE TABLE tFicherosFirma (codFichero NUMBER(10) NOT NULL ,edicion "
                "NUMBER(14,0) NOT NULL ,clave VARCHAR2 (64) NOT NULL ,firma VARCHAR2 (128) NOT "
                "NULL ,PRIMARY KEY (codFichero))",
                "CREATE TABLE tSucesos (codSuceso NUMBER(10) NOT NULL ,fecha DATE,suceso "
                "VARCHAR2(4000),codConexion NUMBER(10),PRIMARY KEY (codSuceso))"}));
    }

    // A tFicheros made before fechaUm existed gets the column; nothing else is written.
    void anadeFechaUm() {
        QCOMPARE(escrituras(1, "SELECT object_id("),
                 QStringList{"ALTER TABLE tFicheros ADD fechaUm datetime"});
        QCOMPARE(escrituras(3, "dba_tables"),
                 QStringList{"ALTER TABLE tFicheros ADD fechaUm DATE"});
    }

    // Beyond 32 bits of size; the block boundaries are the engine tests' round trips.
    void cuentaBloques() {
        QCOMPARE(formatoRepositorio::nBloques(qint64(4096) * 1024 * 1024), 419431);
    }

    // Blocks that do not match the row fail before the target is touched, leaving no
    // temporary file.
    void bloquesIncoherentes() {
        const QByteArray lleno(kTamBloque, 'a');
        const std::pair<qint32, Bloques> casos[] = {
            {3, {{1, lleno}, {1, lleno}, {2, lleno}}},
            {3, {{2, lleno}, {1, lleno}, {3, "x"}}},
            {1, {{0, lleno}, {1, "x"}}},
            {0, {{1, "x"}}},
            {2, {{1, "corto"}, {2, "x"}}},
            {2, {{1, lleno}, {2, ""}}},
            {1, {{1, lleno + "z"}}},
            {2, {}},
        };
        for (const auto& [nBloques, bloques] : casos) {
            QTemporaryDir dir;
            const QString destino = dir.filePath("f.exe");
            escribe(destino, "versión anterior");
            QCOMPARE(vuelca(destino, nBloques, bloques), EscritorBloques::kBloquesIncoherentes);
            QCOMPARE(lee(destino), QByteArray("versión anterior"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"f.exe"});
        }
    }

    // A write that fails on the writing thread, past the first batches (the disk full; here the
    // process's file size limit), fails the file: the target stays as it was.
    void escrituraFallida() {
        QTemporaryDir dir;
        const QString destino = dir.filePath("f.exe");
        escribe(destino, "versión anterior");
        const qint32 nBloques = 400;
        Bloques bloques;
        for (qint32 n = 1; n <= nBloques; ++n) {
            bloques.append({n, QByteArray(kTamBloque, 'a')});
        }
        rlimit antes{};
        getrlimit(RLIMIT_FSIZE, &antes);
        rlimit limite = antes;
        limite.rlim_cur = 3 << 20;
        const auto senal = signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limite);
        const std::optional<qint32> error = vuelca(destino, nBloques, bloques);
        setrlimit(RLIMIT_FSIZE, &antes);
        signal(SIGXFSZ, senal);
        QCOMPARE(error, platform::kErrorAccesoFichero);
        QCOMPARE(lee(destino), QByteArray("versión anterior"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"f.exe"});
    }

    void carpetaSoloLectura() {
        QTemporaryDir dir;
        QDir().mkdir(dir.filePath("ro"));
        escribe(dir.filePath("ro/f"), "viejo");
        CarpetaSoloLectura soloLectura(dir.filePath("ro"));
        if (!soloLectura.efectiva()) {
            QSKIP("this system cannot make a folder read-only for this user");
        }
        QCOMPARE(vuelca(dir.filePath("ro/f"), 1, Bloques{{1, "nuevo"}}),
                 platform::kPermisoDenegado);
        QCOMPARE(lee(dir.filePath("ro/f")), QByteArray("viejo"));
    }
};

QTEST_MAIN(TstcCorvinalTextos)
#include "tst_cCorvinalTextos.moc"
