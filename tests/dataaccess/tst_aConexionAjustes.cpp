#include <QtTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "support/MensajeriaGrabada.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// A file database in `directorio`.
std::unique_ptr<aConexion> fichero(const QString& directorio) {
    auto c = std::make_unique<aConexion>();
    c->setDirectorioBD(directorio);
    c->setBaseDatos(u"fob7.mdb"_s);
    return c;
}

// A server with a quote in its password and the given extras.
std::unique_ptr<aConexion> servidor(qint32 tipo, qint16 puerto = 1433, const QString& provider = {},
                                    const QString& sid = {}, bool remoto = false,
                                    bool encriptada = false) {
    auto c = std::make_unique<aConexion>();
    // The type after the provider: SQL Server's own provider only where none is set.
    c->setProvider(provider);
    c->setTipoConexion(tipo);
    c->setServidor(u"srv\\inst"_s);
    c->setBaseDatos(u"gestion"_s);
    c->setLogin(u"ana"_s);
    c->setPassword(u"p'w"_s);
    c->setPuerto(puerto);
    c->setSid(sid);
    c->setServidorRemoto(remoto);
    c->setConexionEncriptada(encriptada);
    return c;
}

const QString kOracle =
    u"(DESCRIPTION=(ADDRESS_LIST=(ADDRESS=(PROTOCOL=TCP)(HOST=srv\\inst)(PORT=%1)))"_s
    u"(CONNECT_DATA=(SERVER=DEDICATED)(SERVICE_NAME=%2)))"_s;

}  // namespace

class TstAConexionAjustes : public QObject {
    Q_OBJECT

private slots:
    // A backslash ending is platform::conSeparador's, checked with the paths it joins.
    void textoConexion() {
        const QString jet = u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source="_s;
        const QString jetFin = u"fob7.mdb;Persist Security Info=False"_s;
        const QString sql =
            u"Data Source=srv\\inst,1433;Initial Catalog=gestion;"_s
            u"User ID=ana;Password=p'w"_s;
        const QString remoto = u"Provider=sqloledb.1;Network Library=DBMSSOCN;"_s + sql;
        const QString mysql =
            u"Server=srv\\inst;Port=%1;Option=149512;Stmt=;"_s
            u"Database=gestion;Uid=ana;Pwd=p'w;Option=3"_s;
        const QString ora = u"Provider=OraOLEDB.Oracle;Data Source="_s;
        const QString oraFin = u";User Id=ana;Password=p'w;"_s;
        auto propio = servidor(2, 3307);
        propio->setDriver(u"MariaDB ODBC 3.1 Driver"_s);
        auto propia = servidor(2);
        propia->setCadenaConexion(u"Driver={mySQL};Server=otro;"_s);
        const struct {
            std::unique_ptr<aConexion> c;
            QString esperado;
        } filas[] = {
            {fichero(u"/datos/app"_s), jet + u"/datos/app/"_s + jetFin},
            {fichero(u"/datos/app/"_s), jet + u"/datos/app/"_s + jetFin},
            {fichero({}), jet + QCoreApplication::applicationDirPath() + u"/"_s + jetFin},
            {servidor(1), u"Provider=sqloledb.1;"_s + sql},
            {servidor(1, 1433, {}, {}, true), remoto},
            {servidor(1, 1433, {}, {}, true, true), remoto + u";Encrypt=yes"_s},
            {servidor(1, 1500, u"SQLNCLI11"_s, {}, false, true),
             u"Provider=SQLNCLI11;"_s + QString(sql).replace(u",1433"_s, u",1500"_s) +
                 u";Encrypt=yes"_s},
            {servidor(2), u"Driver={mySQL};"_s + mysql.arg(3306)},
            {std::move(propio), u"Driver={MariaDB ODBC 3.1 Driver};"_s + mysql.arg(3307)},
            {servidor(3, 1433, u"MSDAORA"_s, u"ORCL"_s),
             ora + kOracle.arg(1521).arg(u"ORCL"_s) + oraFin},
            {servidor(3, 1433, u"MSDAORA"_s), ora + u"srv\\inst;User Id=ana;Password=p'w"_s},
            {servidor(3, 1600, {}, u"XE"_s), ora + kOracle.arg(1600).arg(u"XE"_s) + oraFin},
            {std::move(propia), u"Driver={mySQL};Server=otro;"_s},
            {servidor(4), QString()}};
        for (const auto& f : filas) {
            QCOMPARE(f.c->textoConexion(), f.esperado);
        }
    }

    void conectaCompletaLaCarpeta() {
        MensajeriaGrabada mensajes;
        for (const auto& [antes, despues] :
             {std::pair{QString(), QCoreApplication::applicationDirPath() + u"/"_s},
              std::pair{u"/no/existe"_s, u"/no/existe/"_s}}) {
            aConexion c;
            c.setDirectorioBD(antes);
            c.setBaseDatos(u"no-existe.mdb"_s);
            c.conecta(true);
            QVERIFY(c.errorConexion());
            QCOMPARE(c.directorioBD(), despues);
            QCOMPARE(c.ficheroBD(), u"no-existe.mdb"_s);
            QVERIFY(!QFile::exists(despues + u"no-existe.mdb"_s));
        }
    }
};

QTEST_MAIN(TstAConexionAjustes)
#include "tst_aConexionAjustes.moc"
