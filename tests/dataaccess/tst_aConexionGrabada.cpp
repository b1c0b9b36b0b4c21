#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"
#include "platform/Cp1252.h"
#include "platform/Recordset.h"
#include "support/Conectada.h"
#include "support/ConexionGrabadora.h"
#include "support/ErrorLanzado.h"
#include "support/FicherosPrueba.h"
#include "support/MensajeriaGrabada.h"

using namespace Qt::Literals::StringLiterals;
using prueba::ConexionGrabadora;
using prueba::TablaGuionada;

namespace {

const platform::ErrorEjecucion kTiempoAgotado(platform::ErrorEjecucion::kTiempoAgotado,
                                              u"Tiempo de espera agotado"_s, u"motor"_s,
                                              u"HYT00"_s);
const platform::ErrorEjecucion kRotura(platform::ErrorEjecucion::kConexionRota,
                                       u"Se perdió la conexión"_s, u"motor"_s, u"08S01"_s);
const platform::ErrorEjecucion kProtocolo(-2147217900, u"Error en protocolo en secuencia TDS"_s,
                                          u"motor"_s);
const platform::ErrorEjecucion kSintaxis(-2147217900, u"Sintaxis 'mala' cerca de x"_s, u"motor"_s,
                                         u"42000"_s);

void ajusta(aConexion& c, qint32 tipo) {
    c.setTipoConexion(tipo);
    c.setServidor(u"srv"_s);
    c.setBaseDatos(u"gestion"_s);
    c.setLogin(u"ana"_s);
    c.setPassword(u"clave"_s);
    c.setPuerto(1433);
    c.setSid(tipo == 3 ? u"ORCL"_s : QString());
}

bool relojPuesto() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

QStringList insercionesError(const ConexionGrabadora& g) {
    return g.sentencias().filter(u"INSERT INTO tErrores"_s);
}

// The statements but those of the sequence table, which every synchronous open makes sure of.
QStringList sinSecuencias(const QStringList& sentencias) {
    QStringList resto;
    for (const QString& s : sentencias) {
        if (!s.contains(u"tSecuencias"_s, Qt::CaseInsensitive)) {
            resto << s;
        }
    }
    return resto;
}

}  // namespace

class TstAConexionGrabada : public QObject {
    Q_OBJECT

private slots:
    void init() {
        grabadora_ = std::make_unique<ConexionGrabadora>();
        mensajes_ = std::make_unique<MensajeriaGrabada>();
    }

    void cleanup() {
        mensajes_.reset();
        grabadora_.reset();
        QVERIFY2(!relojPuesto(), "the hourglass was left on");
    }

    void conectaNormalizaYAbre() {
        const struct {
            qint32 tipo;
            QString proveedorAntes;
            qint16 puerto;
            QString proveedor;
        } filas[] = {{1, {}, 1433, u"sqloledb.1"_s},
                     {2, {}, 3306, {}},
                     {3, u"MSDAORA"_s, 1521, u"OraOLEDB.Oracle"_s}};
        for (const auto& f : filas) {
            cleanup();  // a fresh engine and messenger for each
            init();
            aConexion c;
            ajusta(c, f.tipo);
            c.setProvider(f.proveedorAntes);
            c.conecta(true);
            QVERIFY2(!c.errorConexion(), qPrintable(c.mensajeErrorConexion()));
            QVERIFY(c.conexionAbierta() && !c.conexionRota() && !c.conectando());
            QCOMPARE(c.puerto(), f.puerto);
            QCOMPARE(c.provider(), f.proveedor);
            QCOMPARE(grabadora_->textosConexion(), QStringList{c.textoConexion()});
            // Only SQL Server is asked for its language.
            QCOMPARE(sinSecuencias(grabadora_->sentencias()),
                     f.tipo == 1 ? QStringList{u"SELECT @@language as lenguaje"_s} : QStringList());
            QVERIFY(mensajes_->registros.isEmpty());
        }
    }

    void idiomaDecideElOrdenDeLaFecha() {
        for (const auto& [idioma, fecha] : {std::pair{u"us_english"_s, u"'03/13/07"_s},
                                            std::pair{u"Español"_s, u"'13/03/07"_s}}) {
            grabadora_->responde(u"@@language"_s, TablaGuionada{{u"lenguaje"_s}, {{idioma}}});
            auto c = prueba::conectada(1, *grabadora_);
            QCOMPARE(c->fecha(QDate(2007, 3, 13)), fecha + u"'"_s);
        }
    }

    // A failed open, then a good one, then one after a broken link: each clears the flags.
    void segundoConectaReabreYLimpiaBanderas() {
        aConexion c;
        ajusta(c, 3);
        grabadora_->fallaAlAbrir(platform::ErrorEjecucion(1, u"caído"_s));
        c.conecta(true);
        QVERIFY(c.errorConexion());
        grabadora_->fallaAlAbrir(std::nullopt);
        c.conecta(true);
        QVERIFY(!c.errorConexion() && c.mensajeErrorConexion().isEmpty());
        grabadora_->falla(u"SELECT 1 FROM DUAL"_s, kRotura, 1);
        QVERIFY(!c.rs(registros_, u"SELECT 1 FROM DUAL"_s));
        QVERIFY(c.conexionRota());
        c.conecta(true);
        QVERIFY(!c.conexionRota());
        QCOMPARE(grabadora_->textosConexion().size(), 3);
    }

    // The good asynchronous open is shown on MariaDB.
    void conectaAsincronoFallido() {
        grabadora_->fallaAlAbrir(platform::ErrorEjecucion(1, u"Sin respuesta"_s));
        aConexion c;
        ajusta(c, 1);
        c.setConexionAsincrona(true);
        c.conecta(true);
        QVERIFY(c.conectando() && !c.errorConexion());
        QTRY_VERIFY(!c.conectando());
        QVERIFY(c.errorConexion() && !c.conexionAbierta());
        QCOMPARE(c.mensajeErrorConexion(), u"Sin respuesta"_s);
        QVERIFY(grabadora_->sentencias().isEmpty());
        QVERIFY(mensajes_->registros.isEmpty());
    }

    void reconectaConMensaje() {
        auto c = prueba::conectada(1, *grabadora_);
        grabadora_->falla(u"SELECT x"_s, kRotura, 1);
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c->executeNR(u"SELECT x"_s));
        QVERIFY(c->conexionRota() && c->conexionAbierta());
        grabadora_->fallaAlAbrir(platform::ErrorEjecucion(1, u"Sigue caído"_s));
        QVERIFY(!c->reconecta(false));
        QVERIFY(c->conexionRota());
        QCOMPARE(mensajes_->textos(MensajeriaGrabada::Clase::Mensaje),
                 QStringList{u"Error abriendo la base de datos.\r\nSigue caído"_s});
        grabadora_->fallaAlAbrir(std::nullopt);
        grabadora_->limpia();
        QVERIFY(c->reconecta(false));
        QVERIFY(!c->conexionRota());
        // The text is not rebuilt and the language is not read again.
        QCOMPARE(grabadora_->textosConexion().last(), grabadora_->textosConexion().first());
        QVERIFY(sinSecuencias(grabadora_->sentencias()).isEmpty());
    }

    // A closed instance: clear errors, no question that cannot help, nothing sent.
    void cerradaNoPregunta() {
        aConexion c;
        ajusta(c, 1);
        c.desconecta();
        for (const bool asincrono : {false, true}) {
            QVERIFY(!c.rs(registros_, u"SELECT 1"_s, asincrono));
        }
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c.executeNR(u"UPDATE t"_s));
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c.executeAsincronoNR(u"UPDATE t"_s));
        c.pruebaConexion();
        QVERIFY(c.conexionRota());
        QVERIFY(mensajes_->registros.isEmpty());
        c.estableceConexion(1, nullptr, u"fob7.mdb"_s);
        QCOMPARE(mensajes_->textos(MensajeriaGrabada::Clase::Mensaje),
                 QStringList{u"No se encuentra disponible el algoritmo de establecimiento de "_s
                             u"conexión con bases de datos distintas a Access."_s});
        QVERIFY(grabadora_->textosConexion().isEmpty());
    }

    void registroSinHistorialYTextoHasta250() {
        auto c = prueba::conectada(1, *grabadora_);
        c->historialQuerys();
        grabadora_->falla(u"SELECT roto"_s, kSintaxis, 1);
        c->ejecutaAccion(u"SELECT roto"_s, u"Cargando clientes"_s);
        QCOMPARE(insercionesError(*grabadora_),
                 QStringList{u"INSERT INTO tErrores (fecha,codConexion,error,query,historial)  "_s
                             u"VALUES (getdate(),0,'Cargando clientes Sintaxis ''mala'' cerca de "_s
                             u"x','SELECT roto',null )"_s});
        grabadora_->falla(u"SELECT largo"_s,
                          platform::ErrorEjecucion(1, QString(300, u'e') + u"'"_s), 1);
        c->ejecutaAccion(u"SELECT largo"_s, u"acción"_s);
        QVERIFY(insercionesError(*grabadora_)
                    .value(1)
                    .contains(u"'acción "_s + QString(243, u'e') + u"','SELECT largo'"_s));
    }

    void marcaError() {
        const QString total = u",0,'No cuadra el ''total'''"_s;
        const struct {
            qint32 tipo;
            QString query, historial, esperado;
        } filas[] = {{1, {}, {}, u"getdate()"_s + total + u",null,null )"_s},
                     {3, u" SELECT 'a' "_s, u"h1·h2"_s,
                      u"sysdate"_s + total + u",'SELECT ''a''','h1·h2' )"_s},
                     {2, u"C:\\x\\"_s, {}, u"now()"_s + total + u",'C:\\\\x\\\\',null )"_s}};
        for (const auto& f : filas) {
            auto c = prueba::conectada(f.tipo, *grabadora_);
            c->marcaError(u"  No cuadra el 'total'  "_s, f.query, f.historial);
            QCOMPARE(
                grabadora_->sentencias(),
                QStringList{u"INSERT INTO tErrores (fecha,codConexion,error,query,historial)  "_s
                            u"VALUES ("_s +
                            f.esperado});
        }
        // Its own failure is registered once like any statement's; that registration failing too
        // ends there.
        auto c = prueba::conectada(1, *grabadora_);
        grabadora_->falla(u"INSERT INTO tErrores"_s, kSintaxis);
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c->marcaError(u"x"_s));
        QCOMPARE(insercionesError(*grabadora_).size(), 2);
    }

    void historialAnilloDeDiez() {
        // The ten-slot format with empty slots is shown in the real engines' tErrores rows.
        for (const auto& [sentencias, esperado] :
             {std::pair{12, u"s12·s11·s10·s9·s8·s7·s6·s5·s4·s3"_s}, std::pair{0, QString()}}) {
            auto c = prueba::conectada(2, *grabadora_);
            c->historialQuerys();  // the statements of the open
            for (int i = 1; i <= sentencias; ++i) {
                c->executeNR(u"s"_s + QString::number(i));
            }
            QCOMPARE(c->historialQuerys(), esperado);
            QCOMPARE(c->historialQuerys(), QString());
        }
    }

    // Time-outs are retried up to the maximum (at least once) and never registered; any other
    // error is registered and raised at once. The real time-out, and its registration outside,
    // are shown on MariaDB.
    void ejecutaSinTimeout() {
        const struct {
            platform::ErrorEjecucion error;
            int fallos, maximo;
            bool lanza;
            int intentos, registros;
        } filas[] = {{kTiempoAgotado, 1, 3, false, 2, 0},
                     {kTiempoAgotado, 0, 2, false, 1, 0},
                     {kSintaxis, 1, 5, true, 1, 1},
                     {kTiempoAgotado, 5, 0, true, 1, 0}};  // leftovers last
        for (const auto& f : filas) {
            auto c = prueba::conectada(1, *grabadora_);
            if (f.fallos > 0) {
                grabadora_->falla(u"SELECT lento"_s, f.error, f.fallos);
            }
            QCOMPARE(prueba::errorLanzado([&] {
                         c->ejecutaSinTimeout(u"SELECT lento"_s, static_cast<qint16>(f.maximo));
                     }).numero(),
                     f.lanza ? f.error.numero() : 0);
            QCOMPARE(grabadora_->sentencias().count(u"SELECT lento"_s), f.intentos);
            QCOMPARE(insercionesError(*grabadora_).size(), f.registros);
        }
    }

    // A protocol error is repeated once and never registered; FreeTDS's own words come inside the
    // driver's prefix and the statement.
    void ejecutaAccionRepiteTrasErrorDeProtocolo() {
        const QString freeTds =
            u"[FreeTDS][SQL Server]Bad token from the server: Datastream processing out of "_s
            u"sync (SELECT n FROM t)"_s;
        for (const auto& [fallos, texto] :
             {std::pair{1, kProtocolo.descripcion()}, std::pair{2, freeTds}}) {
            auto c = prueba::conectada(1, *grabadora_);
            grabadora_->responde(u"SELECT n FROM t"_s, TablaGuionada{{u"n"_s}, {{7}}});
            grabadora_->falla(u"SELECT n FROM t"_s,
                              platform::ErrorEjecucion(kProtocolo.numero(), texto, u"motor"_s),
                              fallos);
            const platform::RecordsetPtr r = c->ejecutaAccion(u"SELECT n FROM t"_s, u"x"_s);
            QCOMPARE(grabadora_->sentencias().count(u"SELECT n FROM t"_s), 2);
            QCOMPARE(r != nullptr ? r->field(u"n"_s).value().toInt() : 0, fallos == 1 ? 7 : 0);
            QVERIFY(insercionesError(*grabadora_).isEmpty());
        }
    }

    void ejecutaPreguntaSiRepetir() {
        auto c = prueba::conectada(1, *grabadora_);
        // The registration doubles the quotes, so only the statement itself matches.
        grabadora_->falla(u"a='1'"_s, kSintaxis, 2);
        mensajes_->respuestas.append({true, false});
        c->ejecuta(u"UPDATE t SET a='1'"_s);
        QCOMPARE(grabadora_->sentencias().count(u"UPDATE t SET a='1'"_s), 2);
        QCOMPARE(mensajes_->textos(MensajeriaGrabada::Clase::Pregunta),
                 QStringList(2, u"Sintaxis 'mala' cerca de x\r¿Desea repetir la query?"_s));
        mensajes_->registros.clear();
        c->ejecuta(u"UPDATE t SET a='1'"_s);
        QVERIFY(mensajes_->registros.isEmpty());
    }

    void rsPreguntaYReintenta() {
        for (bool asincrono : {false, true}) {
            auto c = prueba::conectada(1, *grabadora_);
            grabadora_->responde(u"SELECT n FROM t"_s, TablaGuionada{{u"n"_s}, {{1}, {2}}});
            grabadora_->falla(u"SELECT n FROM t"_s, kSintaxis, 1);
            mensajes_->respuestas.append({true});
            QVERIFY(c->rs(registros_, u"SELECT n FROM t"_s, asincrono));
            QCOMPARE(registros_->field(u"n"_s).value().toInt(), 1);
            QCOMPARE(mensajes_->textos(MensajeriaGrabada::Clase::Pregunta).size(),
                     asincrono ? 3 : 1);
            QCOMPARE(mensajes_->textos(MensajeriaGrabada::Clase::Pregunta).last(),
                     u"Error obteniendo datos.\rSintaxis 'mala' cerca de x\r"_s
                     u"¿Desea intentarlo otra vez?"_s);
            grabadora_->falla(u"SELECT n FROM t"_s, kSintaxis, 1);
            mensajes_->respuestas.append({false});
            QVERIFY(!c->rs(registros_, u"SELECT n FROM t"_s, asincrono));
        }
    }

    // With setReconectarSiRotura a broken link is opened again at once, without a question;
    // without it, the real engines show rs failing and the link left broken.
    void rsConConexionRotaReconecta() {
        auto c = prueba::conectada(1, *grabadora_);
        c->setReconectarSiRotura(true);
        grabadora_->falla(u"SELECT n"_s, kRotura, 1);
        QVERIFY(!c->rs(registros_, u"SELECT n FROM t"_s));
        QVERIFY(mensajes_->textos(MensajeriaGrabada::Clase::Pregunta).isEmpty());
        QVERIFY(!c->conexionRota());
        QCOMPARE(grabadora_->textosConexion().size(), 2);
    }

    void contenidoYRelojDelServidor() {
        auto c = prueba::conectada(3, *grabadora_);
        const QDateTime momento(QDate(2007, 3, 13), QTime(14, 5, 9));
        grabadora_->responde(u"as ahora FROM DUAL"_s, TablaGuionada{{u"ahora"_s}, {{momento}}});
        grabadora_->responde(u"as hoy FROM DUAL"_s, TablaGuionada{{u"hoy"_s}, {{u"13/03/2007"_s}}});
        QCOMPARE(c->ahoraSistema(), momento);
        QCOMPARE(c->hoySistema(), QDate(2007, 3, 13));
        QCOMPARE(grabadora_->sentencias(),
                 (QStringList{u"SELECT sysdate as ahora FROM DUAL"_s,
                              u"SELECT to_char(sysdate, 'DD/MM/YYYY') as hoy FROM DUAL"_s}));
        const platform::ErrorEjecucion e =
            prueba::errorLanzado([&] { c->contenido(u"x"_s, u"SELECT x FROM vacia"_s); });
        QCOMPARE(e.numero(), platform::kErrorSinResultados);
        QCOMPARE(e.descripcion(), u"La query no devolvió resultados: SELECT x FROM vacia"_s);
    }

    void relojDeSqlServer() {
        auto c = prueba::conectada(1, *grabadora_);
        grabadora_->responde(u"as hoy"_s, TablaGuionada{{u"hoy"_s}, {{u"31/12/99    "_s}}});
        QCOMPARE(c->hoySistema(), QDate(1999, 12, 31));
        QVERIFY(
            grabadora_->sentencias().contains(u"SELECT CONVERT(char(12),getdate(),3) as hoy"_s));
        // A broken link found by pruebaConexion is not raised.
        grabadora_->falla(u"as hoy"_s, kRotura, 1);
        c->pruebaConexion();
        QVERIFY(c->conexionRota());
    }

    // The date text is the dialect's, shown evaluated by the real engines in their tErrores rows.
    void sucesoConCodigosSeguidos() {
        auto c = prueba::conectada(1, *grabadora_);
        grabadora_->responde(u"FROM tSucesos"_s, TablaGuionada{{u"ultCod"_s}, {{41}}});
        c->suceso(u" Entrada de 'Ana' "_s);
        QCOMPARE(grabadora_->sentencias(),
                 (QStringList{u"SELECT max(codSuceso) as ultCod FROM tSucesos"_s,
                              u"INSERT INTO tSucesos (codSuceso,fecha,suceso,codConexion) VALUES "_s
                              u"(42,getdate(),'Entrada de ''Ana''',0)"_s}));
        grabadora_->falla(u"INSERT INTO tSucesos"_s, kSintaxis, 1);
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, c->suceso(u"x"_s));
        QCOMPARE(insercionesError(*grabadora_).size(), 1);
    }

    void registroDeDepuracion() {
        for (bool encriptar : {false, true}) {
            QTemporaryDir temporal;
            const QByteArray anterior = qgetenv("temp");
            qputenv("temp", temporal.path().toUtf8());
            const QString ruta = modTolvane1::carpetaTemporalSegura() + u"/logfob7.txt"_s;
            prueba::escribe(ruta, "de otra vez\r\n");
            auto c = prueba::conectada(1, *grabadora_);
            c->setEncriptarDepuracion(encriptar);
            c->setModoDepuracion(true);
            grabadora_->responde(u"SELECT n FROM t"_s, TablaGuionada{{u"n"_s}, {{1}, {2}, {3}}});
            grabadora_->responde(u"SELECT vacia"_s, TablaGuionada{{u"n"_s}, {}});
            c->executeNR(u"UPDATE t SET ñ='€'"_s);
            c->ejecutaAccion(u"SELECT n FROM t"_s, QString());
            c->ejecutaAccion(u"SELECT vacia"_s, QString());
            c->setModoDepuracion(false);
            c->executeNR(u"UPDATE sin registro"_s);

            const QByteArray contenido = prueba::lee(ruta);
            qputenv("temp", anterior);
            // Lines end in CR LF; the row count follows the time, and a count of 0 shows no digit.
            const QStringList patrones{u"^\\d*-0 UPDATE t SET ñ='€'$"_s,
                                       u"^\\d*-3 SELECT n FROM t$"_s, u"^\\d*- SELECT vacia$"_s};
            QList<QByteArray> lineas = contenido.split('\n');
            QCOMPARE(lineas.takeLast(), QByteArray());
            QCOMPARE(lineas.size(), patrones.size());
            for (int i = 0; i < lineas.size(); ++i) {
                QVERIFY(lineas.at(i).endsWith('\r'));
                const QByteArray sinFin = lineas.at(i).chopped(1);
                const QString linea = encriptar
                                          ? modTolvane1::decodifica(platform::deCp1252(sinFin))
                                          : QString::fromUtf8(sinFin);
                QVERIFY2(QRegularExpression(patrones.at(i)).match(linea).hasMatch(),
                         qPrintable(linea));
            }
        }
    }

private:
    std::unique_ptr<ConexionGrabadora> grabadora_;
    std::unique_ptr<MensajeriaGrabada> mensajes_;
    platform::RecordsetPtr registros_;
};

QTEST_MAIN(TstAConexionGrabada)
#include "tst_aConexionGrabada.moc"
