#include <QTemporaryDir>
#include <QtTest>

#include "dataaccess/aConexion.h"
#include "platform/Instalado.h"
#include "platform/Recordset.h"
#include "support/ErrorLanzado.h"
#include "support/FicherosPrueba.h"
#include "support/MensajeriaGrabada.h"
#include "support/MotoresPrueba.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kCreaErrores =
    u"CREATE TABLE tErrores (fecha DATETIME, codConexion INT, error VARCHAR(250), "_s
    u"query TEXT, historial TEXT)"_s;

using Selector =
    platform::Instalado<aConexion::SelectorDirectorio, &aConexion::estableceSelectorDirectorio>;

// Brings the private MariaDB back up whatever the test did in between.
class ArranqueGarantizado {
public:
    ~ArranqueGarantizado() { prueba::controlaMariaDb(true); }
};

QVariant valor(aConexion& c, const QString& sql, const QString& campo) {
    platform::RecordsetPtr r = c.con()->execute(sql);
    if (r == nullptr || r->eof()) {
        return {};
    }
    return r->field(campo).value();
}

qint32 cuenta(aConexion& c, const QString& tabla) {
    return valor(c, u"SELECT count(*) AS n FROM "_s + tabla, u"n"_s).toInt();
}

void creaTabla(aConexion& c, const QString& tabla, const QString& creacion) {
    c.executeNR(u"DROP TABLE IF EXISTS "_s + tabla);
    c.executeNR(creacion);
}

}  // namespace

class TstAConexionMotores : public QObject {
    Q_OBJECT

    // Fills c with the settings of `motor`; false when the engine is not there (the test has
    // then been failed or skipped).
    bool prepara(aConexion& c, const QString& motor) {
        if (!prueba::disponible(prueba::motorPrueba(motor, carpeta_->path()))) {
            return false;
        }
        prueba::ajustaMotor(c, motor, carpeta_->path());
        return true;
    }

    // prepara, then opens; false (the test failed) when it does not open.
    bool abierta(aConexion& c, const QString& motor) {
        if (!prepara(c, motor)) {
            return false;
        }
        c.conecta(true);
        if (c.errorConexion()) {
            QTest::qFail(qPrintable(c.mensajeErrorConexion()), __FILE__, __LINE__);
            return false;
        }
        return true;
    }

private slots:
    void init() {
        carpeta_ = std::make_unique<QTemporaryDir>();
        mensajes_ = std::make_unique<MensajeriaGrabada>();
    }

    void cleanup() {
        mensajes_.reset();
        carpeta_.reset();
    }

    void conectaBienYMal_data() { prueba::filasMotores(); }

    void conectaBienYMal() {
        QFETCH(QString, motor);
        aConexion c;
        if (!prepara(c, motor)) {
            return;
        }
        c.conecta(true);
        QVERIFY2(!c.errorConexion(), qPrintable(c.mensajeErrorConexion()));
        QVERIFY(c.conexionAbierta() && !c.conexionRota() && !c.conectando());
        QCOMPARE(c.ubicacion(), motor == u"sqlite"_s ? carpeta_->path() : QString());

        // The wrong server: a file that is not there, or a login the server refuses; told only
        // when not silent.
        if (motor == u"sqlite"_s) {
            c.setBaseDatos(u"no-existe.mdb"_s);
        } else {
            c.setPassword(u"equivocada"_s);
        }
        for (bool silencioso : {true, false}) {
            c.conecta(silencioso);
            QVERIFY(c.errorConexion() && !c.mensajeErrorConexion().isEmpty());
            QVERIFY(!c.conexionAbierta() && !c.conectando());
        }
        QCOMPARE(mensajes_->textos(MensajeriaGrabada::Clase::Mensaje),
                 QStringList{u"Error abriendo la base de datos.\r\n"_s + c.mensajeErrorConexion()});
    }

    // The opening thread is the same whatever the engine: shown on the server one.
    void conectaAsincrono() {
        aConexion c;
        if (!prepara(c, u"mariadb"_s)) {
            return;
        }
        c.setConexionAsincrona(true);
        c.conecta(true);
        QVERIFY2(!c.errorConexion(), qPrintable(c.mensajeErrorConexion()));
        QVERIFY(c.conectando());
        QTRY_VERIFY_WITH_TIMEOUT(!c.conectando(), 20000);
        QVERIFY2(!c.errorConexion(), qPrintable(c.mensajeErrorConexion()));
        QVERIFY(c.conexionAbierta());
        QCOMPARE(c.contenido(u"n"_s, u"SELECT 7 AS n"_s).toInt(), 7);
    }

    void falloRegistradoConHistorial_data() { prueba::filasMotores(); }

    void falloRegistradoConHistorial() {
        QFETCH(QString, motor);
        aConexion c;
        if (!abierta(c, motor)) {
            return;
        }
        creaTabla(c, u"tErrores"_s, kCreaErrores);
        creaTabla(c, u"tNombres"_s, u"CREATE TABLE tNombres (n INT, t VARCHAR(50))"_s);
        const QDateTime antes = c.ahoraSistema().addSecs(-1);
        c.historialQuerys();
        c.executeNR(u"INSERT INTO tNombres (n, t) VALUES (2, 'x')"_s);
        c.executeNR(u"UPDATE tNombres SET t='y' WHERE n=2"_s);
        const QString fallida = u"SELECT t FROM tNoExiste WHERE t='a''b'"_s;
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c.executeNR(fallida));
        // An ordinary error leaves the link whole, and its registration stays out of the history.
        QVERIFY(!c.conexionRota());
        QCOMPARE(c.historialQuerys(), QString());
        QCOMPARE(cuenta(c, u"tErrores"_s), 1);
        platform::RecordsetPtr r =
            c.con()->execute(u"SELECT fecha, codConexion, error, query, historial FROM tErrores"_s);
        QVERIFY(r != nullptr && !r->eof());
        QCOMPARE(r->field(u"codConexion"_s).value().toInt(), 0);
        QVERIFY(!r->field(u"error"_s).value().toString().isEmpty());
        QCOMPARE(r->field(u"query"_s).value().toString(), fallida);
        QCOMPARE(r->field(u"historial"_s).value().toString(),
                 u"UPDATE tNombres SET t='y' WHERE n=2·INSERT INTO tNombres (n, t) VALUES (2, "_s
                 u"'x')········"_s);
        // The engine's own clock wrote the date.
        const QDateTime fecha = r->field(u"fecha"_s).value().toDateTime();
        QVERIFY2(fecha >= antes && fecha <= c.ahoraSistema().addSecs(1),
                 qPrintable(r->field(u"fecha"_s).value().toString()));
    }

    void ejecutaSinTimeoutReintentaSinRegistrar() {
        aConexion c;
        if (!abierta(c, u"mariadb"_s)) {
            return;
        }
        creaTabla(c, u"tErrores"_s, kCreaErrores);
        c.con()->setCommandTimeout(1);
        int intentos = 0;
        connect(c.con(), &platform::Connection::willExecute, this, [&intentos](const QString& sql) {
            intentos += sql == u"SELECT SLEEP(3)"_s ? 1 : 0;
        });
        QCOMPARE(
            prueba::errorLanzado([&] { c.ejecutaSinTimeout(u"SELECT SLEEP(3)"_s, 2); }).numero(),
            platform::ErrorEjecucion::kTiempoAgotado);
        QCOMPARE(intentos, 2);
        QVERIFY(c.errorTimeOut());
        QVERIFY(!c.conexionRota());
        QCOMPARE(cuenta(c, u"tErrores"_s), 0);

        // Outside it, the same time-out is registered.
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c.executeNR(u"SELECT SLEEP(3)"_s));
        QVERIFY(c.errorTimeOut());
        QCOMPARE(cuenta(c, u"tErrores"_s), 1);
        c.executeNR(u"SELECT 1"_s);
        QVERIFY(!c.errorTimeOut());
    }

    void rsTrasCaidaYReconecta() {
        aConexion c;
        if (!abierta(c, u"mariadb"_s)) {
            return;
        }
        platform::RecordsetPtr r;
        QVERIFY(c.rs(r, u"SELECT 1 AS n"_s));
        QVERIFY(!c.conexionRota());
        {
            ArranqueGarantizado arranque;
            QVERIFY(prueba::controlaMariaDb(false));
            QVERIFY(!c.rs(r, u"SELECT 2 AS n"_s));
            QVERIFY(c.conexionRota());
            QVERIFY(mensajes_->registros.isEmpty());
            QVERIFY(!c.reconecta(true));
            QVERIFY(prueba::controlaMariaDb(true));
        }
        QVERIFY(c.reconecta(true));
        QVERIFY(!c.conexionRota());
        QVERIFY(c.rs(r, u"SELECT 3 AS n"_s));
        QCOMPARE(r->field(u"n"_s).value().toInt(), 3);
        QVERIFY(mensajes_->registros.isEmpty());
    }

    void fechasEvaluadasPorElMotor_data() { prueba::filasMotores(); }

    void fechasEvaluadasPorElMotor() {
        QFETCH(QString, motor);
        aConexion c;
        if (!abierta(c, motor)) {
            return;
        }
        creaTabla(c, u"tFechas"_s, u"CREATE TABLE tFechas (n INT, d DATE, f DATETIME)"_s);
        const QDateTime momento(QDate(2007, 3, 13), QTime(14, 5, 9));
        c.executeNR(u"INSERT INTO tFechas (n, d, f) VALUES (1, "_s + c.fecha(momento.date()) +
                    u", "_s + c.fechaHora(momento) + u")"_s);
        QCOMPARE(valor(c, u"SELECT d FROM tFechas"_s, u"d"_s).toDate(), momento.date());
        QCOMPARE(valor(c, u"SELECT f FROM tFechas"_s, u"f"_s).toDateTime(), momento);
        for (const QString& condicion :
             {u"f = "_s + c.fechaHora(momento), u"f < "_s + c.ahora(), u"d < "_s + c.hoy()}) {
            QCOMPARE(cuenta(c, u"tFechas WHERE "_s + condicion), 1);
        }
    }

    // Through a statement (aplana, como, sql_like): stored exactly and found again. Bound by
    // AddNew/Update, they are the recordset tests' round trips.
    void textosDeIdaYVuelta_data() {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("texto");
        for (const char* motor : {"sqlite", "mariadb"}) {
            for (const QString& texto :
                 {u"Ñandú, cigüeña y pingüino"_s, u"'; DROP TABLE tTextos; --"_s,
                  u"x\\' OR 1=1 -- C:\\datos\\"_s, u"€ fuera de Latin-1: Ω Ж 漢字 😀"_s}) {
                QTest::addRow("%s %s", motor, qPrintable(texto.left(3)))
                    << QString::fromLatin1(motor) << texto;
            }
        }
    }

    void textosDeIdaYVuelta() {
        QFETCH(QString, motor);
        QFETCH(QString, texto);
        aConexion c;
        if (!abierta(c, motor)) {
            return;
        }
        creaTabla(c, u"tTextos"_s, u"CREATE TABLE tTextos (n INT PRIMARY KEY, t VARCHAR(200))"_s);
        c.executeNR(u"INSERT INTO tTextos (n, t) VALUES (1, '"_s + c.aplana(texto) + u"')"_s);
        QCOMPARE(valor(c, u"SELECT t FROM tTextos WHERE n = 1"_s, u"t"_s).toString(),
                 texto.trimmed());
        QCOMPARE(valor(c, u"SELECT n FROM tTextos WHERE t = '"_s + c.aplana(texto) + u"'"_s, u"n"_s)
                     .toInt(),
                 1);
        const QString parecido =
            c.sql_like(u"t"_s, u"'"_s + c.como(texto.left(3) + u"*"_s) + u"'"_s);
        QCOMPARE(c.contenido(u"n"_s, u"SELECT n FROM tTextos WHERE "_s + parecido).toInt(), 1);
    }

    void ejecucionAsincrona_data() { prueba::filasMotores(); }

    void ejecucionAsincrona() {
        QFETCH(QString, motor);
        aConexion c;
        if (!abierta(c, motor)) {
            return;
        }
        creaTabla(c, u"tNumeros"_s, u"CREATE TABLE tNumeros (n INT)"_s);
        c.executeAsincronoNR(u"INSERT INTO tNumeros (n) VALUES (5)"_s);
        QTRY_COMPARE(cuenta(c, u"tNumeros"_s), 1);
        platform::RecordsetPtr r;
        QVERIFY(c.rs(r, u"SELECT n FROM tNumeros"_s, true));
        QCOMPARE(r->field(u"n"_s).value().toInt(), 5);
        // The same recordset opened again is closed first.
        QVERIFY(c.rs(r, u"SELECT n FROM tNumeros"_s, true));
        QCOMPARE(r->field(u"n"_s).value().toInt(), 5);
    }

    // The sequences loaded at every synchronous open hold no lock on the file: a drop and an
    // index replacement really happen, and another session writes at once.
    void secuenciasCargadasNoBloquean() {
        aConexion c;
        if (!abierta(c, u"sqlite"_s)) {
            return;
        }
        for (int i = 1; i <= 3; ++i) {
            c.executeNR(
                u"INSERT INTO tSecuencias (tabla, campoCod, codigo) VALUES ('t%1','c',%1)"_s.arg(
                    i));
        }
        c.conecta(true);
        c.executeNR(u"CREATE TABLE tBorrable (n INT)"_s);
        c.executeNR(u"CREATE TABLE tIndexada (a INT, b INT)"_s);
        c.creaIndiceTabla(u"ixPrueba"_s, u"tIndexada"_s, u"a"_s);
        c.eliminaTabla(u"tBorrable"_s);
        QVERIFY(!c.existeTabla(u"tBorrable"_s));
        c.creaIndiceTabla(u"ixPrueba"_s, u"tIndexada"_s, u"b"_s);
        QCOMPARE(valor(c, u"SELECT name FROM pragma_index_info('ixPrueba')"_s, u"name"_s),
                 QVariant(u"b"_s));
        platform::Connection otra;
        otra.open(c.con()->connectionString());
        otra.setCommandTimeout(1);
        otra.execute(u"INSERT INTO tSecuencias (tabla, campoCod, codigo) VALUES ('t4','c',4)"_s);
        QCOMPARE(cuenta(c, u"tSecuencias"_s), 4);
    }

    // A lock another session holds is waited for with the event loop running, up to the
    // command time-out, and is a lock error, not a time-out.
    void bloqueoNoEsTiempoAgotado() {
        aConexion c;
        if (!abierta(c, u"sqlite"_s)) {
            return;
        }
        creaTabla(c, u"tBloqueada"_s, u"CREATE TABLE tBloqueada (n INT)"_s);
        platform::Connection otra;
        otra.open(c.con()->connectionString());
        otra.execute(u"BEGIN IMMEDIATE"_s);
        otra.execute(u"INSERT INTO tBloqueada (n) VALUES (1)"_s);
        c.con()->setCommandTimeout(1);
        const platform::ErrorEjecucion e =
            prueba::errorLanzado([&] { c.executeNR(u"INSERT INTO tBloqueada (n) VALUES (2)"_s); });
        QCOMPARE(e.numero(), platform::ErrorEjecucion::kBloqueado);
        QVERIFY(!c.errorTimeOut());
        // Released while the statement waits, from a timer only a running event loop fires.
        QTimer::singleShot(200, &otra, [&otra] { otra.execute(u"COMMIT"_s); });
        c.executeNR(u"INSERT INTO tBloqueada (n) VALUES (3)"_s);
        QCOMPARE(valor(c, u"SELECT sum(n) AS s FROM tBloqueada"_s, u"s"_s).toInt(), 4);
    }

    // Folders are asked for until one holds the database, a question after each that does not;
    // the one found is remembered in conex.cfg and the next call asks nobody.
    void estableceConexionRecuerdaLaCarpeta() {
        const struct {
            QStringList elecciones;
            QList<bool> respuestas;
            bool recordada;
        } filas[] = {{{u"bien"_s}, {}, true},
                     {{u"mal"_s, u"bien/"_s}, {true}, true},
                     {{QString()}, {false}, false},  // cancelled
                     {{u"mal"_s}, {false}, false}};
        const QString cfg = QCoreApplication::applicationDirPath() + u"/conex.cfg"_s;
        QVERIFY(QDir(carpeta_->path()).mkpath(u"bien"_s));
        QVERIFY(QDir(carpeta_->path()).mkpath(u"mal"_s));
        prueba::creaFicheroSqlite(carpeta_->filePath(u"bien"_s), u"fob7.mdb"_s);
        for (const auto& f : filas) {
            QFile::remove(cfg);
            mensajes_->registros.clear();
            QStringList pendientes;
            for (const QString& e : f.elecciones) {
                pendientes << (e.isEmpty() ? QString() : carpeta_->filePath(e));
            }
            qsizetype elegidas = 0;
            mensajes_->respuestas.append(f.respuestas);
            aConexion c;
            {
                const Selector selector([&pendientes, &elegidas](QWidget*, const QString&) {
                    ++elegidas;
                    return pendientes.isEmpty() ? QString() : pendientes.takeFirst();
                });
                c.estableceConexion(0, nullptr, u"fob7.mdb"_s);
            }
            QCOMPARE(elegidas, f.elecciones.size());
            QCOMPARE(mensajes_->textos(MensajeriaGrabada::Clase::Pregunta).size(),
                     f.respuestas.size());
            QVERIFY(mensajes_->textos(MensajeriaGrabada::Clase::Mensaje).isEmpty());
            QVERIFY(!c.conexionAbierta());
            QCOMPARE(QFile::exists(cfg), f.recordada);
            if (f.recordada) {
                QCOMPARE(prueba::lee(cfg), (carpeta_->filePath(u"bien"_s) + u"/\r\n"_s).toUtf8());
                mensajes_->registros.clear();
                aConexion d;
                {
                    const Selector nadie([](QWidget*, const QString&) { return QString(); });
                    d.estableceConexion(0, nullptr, u"fob7.mdb"_s);
                }
                QVERIFY(mensajes_->registros.isEmpty());
                QCOMPARE(d.directorioBD(), carpeta_->filePath(u"bien"_s) + u"/"_s);
            }
        }
        QFile::remove(cfg);
    }

private:
    std::unique_ptr<QTemporaryDir> carpeta_;
    std::unique_ptr<MensajeriaGrabada> mensajes_;
};

QTEST_MAIN(TstAConexionMotores)
#include "tst_aConexionMotores.moc"
