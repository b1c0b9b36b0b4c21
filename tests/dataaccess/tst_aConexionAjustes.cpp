#include <QtTest>

#include "dataaccess/aConexion.h"
#include "platform/ConnectionText.h"
#include "support/MensajeriaGrabada.h"

using namespace Qt::Literals::StringLiterals;

namespace {

struct Ajustes {
    qint32 tipo = 0;
    QString provider;
    QString servidor;
    QString baseDatos;
    QString login;
    QString password;
    qint16 puerto = 0;
    QString sid;
    QString driver;
    bool remoto = false;
    bool encriptada = false;
    QString directorio;
    QString cadena;
};

void aplica(aConexion& c, const Ajustes& a) {
    c.setTipoConexion(a.tipo);
    c.setProvider(a.provider);
    c.setServidor(a.servidor);
    c.setBaseDatos(a.baseDatos);
    c.setLogin(a.login);
    c.setPassword(a.password);
    c.setPuerto(a.puerto);
    c.setSid(a.sid);
    c.setDriver(a.driver);
    c.setServidorRemoto(a.remoto);
    c.setConexionEncriptada(a.encriptada);
    c.setDirectorioBD(a.directorio);
    c.setCadenaConexion(a.cadena);
}

Ajustes fichero(const QString& directorio) {
    Ajustes a;
    a.directorio = directorio;
    a.baseDatos = u"fob7.mdb"_s;
    return a;
}

// A server with a quote in its password and the given extras.
Ajustes servidor(qint32 tipo, qint16 puerto = 1433, const QString& provider = {},
                 const QString& sid = {}) {
    Ajustes a;
    a.tipo = tipo;
    a.servidor = u"srv\\inst"_s;
    a.baseDatos = u"gestion"_s;
    a.login = u"ana"_s;
    a.password = u"p'w"_s;
    a.puerto = puerto;
    a.provider = provider;
    a.sid = sid;
    return a;
}

Ajustes con(Ajustes a, bool remoto, bool encriptada) {
    a.remoto = remoto;
    a.encriptada = encriptada;
    return a;
}

const QString kJet = u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source="_s;
const QString kOracle =
    u"(DESCRIPTION=(ADDRESS_LIST=(ADDRESS=(PROTOCOL=TCP)(HOST=srv\\inst)(PORT=%1)))"_s
    u"(CONNECT_DATA=(SERVER=DEDICATED)(SERVICE_NAME=%2)))"_s;

}  // namespace

Q_DECLARE_METATYPE(Ajustes)

class TstAConexionAjustes : public QObject {
    Q_OBJECT

private slots:
    void instanciaNuevaCerrada() {
        aConexion c;
        QVERIFY(!c.conexionAbierta() && c.conexionRota() && !c.conectando());
        QCOMPARE(c.con()->cursorLocation(), 3);
        // Only a file database has a location.
        c.setTipoConexion(1);
        QCOMPARE(c.ubicacion(), QString());
    }

    void tipoSqlServerPoneProvider_data() {
        QTest::addColumn<qint32>("tipo");
        QTest::addColumn<QString>("antes");
        QTest::addColumn<QString>("despues");
        QTest::newRow("1 sin provider") << 1 << QString() << u"sqloledb.1"_s;
        QTest::newRow("1 con provider") << 1 << u"SQLNCLI11"_s << u"SQLNCLI11"_s;
        QTest::newRow("3 sin provider") << 3 << QString() << QString();
    }

    void tipoSqlServerPoneProvider() {
        QFETCH(qint32, tipo);
        QFETCH(QString, antes);
        QFETCH(QString, despues);
        aConexion c;
        c.setProvider(antes);
        c.setTipoConexion(tipo);
        QCOMPARE(c.provider(), despues);
    }

    // A backslash ending is platform::conSeparador's, checked with the paths it joins.
    void textoConexion_data() {
        QTest::addColumn<Ajustes>("ajustes");
        QTest::addColumn<QString>("esperado");
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

        QTest::newRow("0 sin separador")
            << fichero(u"/datos/app"_s) << kJet + u"/datos/app/"_s + jetFin;
        QTest::newRow("0 con separador")
            << fichero(u"/datos/app/"_s) << kJet + u"/datos/app/"_s + jetFin;
        QTest::newRow("0 carpeta del programa")
            << fichero({}) << kJet + QCoreApplication::applicationDirPath() + u"/"_s + jetFin;
        QTest::newRow("1 local") << servidor(1) << u"Provider=sqloledb.1;"_s + sql;
        QTest::newRow("1 remoto") << con(servidor(1), true, false) << remoto;
        QTest::newRow("1 remoto encriptado")
            << con(servidor(1), true, true) << remoto + u";Encrypt=yes"_s;
        QTest::newRow("1 encriptado con provider")
            << con(servidor(1, 1500, u"SQLNCLI11"_s), false, true)
            << u"Provider=SQLNCLI11;"_s + QString(sql).replace(u",1433"_s, u",1500"_s) +
                   u";Encrypt=yes"_s;
        QTest::newRow("2 puerto por omision")
            << servidor(2) << u"Driver={mySQL};"_s + mysql.arg(3306);
        Ajustes propio = servidor(2, 3307);
        propio.driver = u"MariaDB ODBC 3.1 Driver"_s;
        QTest::newRow("2 puerto y driver propios")
            << propio << u"Driver={MariaDB ODBC 3.1 Driver};"_s + mysql.arg(3307);
        QTest::newRow("3 con servicio") << servidor(3, 1433, u"MSDAORA"_s, u"ORCL"_s)
                                        << ora + kOracle.arg(1521).arg(u"ORCL"_s) + oraFin;
        QTest::newRow("3 sin servicio")
            << servidor(3, 1433, u"MSDAORA"_s) << ora + u"srv\\inst;User Id=ana;Password=p'w"_s;
        QTest::newRow("3 puerto propio")
            << servidor(3, 1600, {}, u"XE"_s) << ora + kOracle.arg(1600).arg(u"XE"_s) + oraFin;
        Ajustes propia = servidor(2);
        propia.cadena = u"Driver={mySQL};Server=otro;"_s;
        QTest::newRow("cadena propia") << propia << propia.cadena;
        QTest::newRow("tipo desconocido") << servidor(4) << QString();
    }

    void textoConexion() {
        QFETCH(Ajustes, ajustes);
        QFETCH(QString, esperado);
        aConexion c;
        aplica(c, ajustes);
        QCOMPARE(c.textoConexion(), esperado);
    }

    // The server engines' texts, as the class builds them, reach the engine with every setting
    // intact (an instance and port pair, Oracle's service description).
    void traduccionDelTexto_data() {
        QTest::addColumn<Ajustes>("ajustes");
        QTest::addColumn<QStringList>("pares");
        const QStringList cuenta{u"UID=ana"_s, u"PWD=p'w"_s};
        QTest::newRow("1") << con(servidor(1), true, true)
                           << QStringList{u"Driver=FreeTDS"_s, u"Server=srv\\inst"_s,
                                          u"Port=1433"_s, u"Database=gestion"_s} +
                                  cuenta + QStringList{u"Encryption=require"_s};
        QTest::newRow("3 con servicio")
            << servidor(3, 1433, {}, u"ORCL"_s)
            << QStringList{u"Driver=Oracle ODBC"_s, u"DBQ="_s + kOracle.arg(1521).arg(u"ORCL"_s)} +
                   cuenta;
    }

    void traduccionDelTexto() {
        QFETCH(Ajustes, ajustes);
        QFETCH(QStringList, pares);
        aConexion c;
        aplica(c, ajustes);
        platform::ControladoresOdbc controladores;
        controladores.oracle = u"Oracle ODBC"_s;
        controladores.instalados = QStringList{u"FreeTDS"_s, u"mySQL"_s, u"Oracle ODBC"_s};
        const platform::DestinoConexion destino =
            platform::traduceConexion(c.textoConexion(), controladores);
        QCOMPARE(destino.motor, platform::DestinoConexion::Motor::Odbc);
        QStringList obtenidos;
        for (const auto& [clave, valor] : platform::paresConexion(destino.textoOdbc)) {
            obtenidos << clave + u'=' + valor;
        }
        QCOMPARE(obtenidos, pares);
    }

    void conectaCompletaLaCarpeta_data() {
        QTest::addColumn<QString>("antes");
        QTest::addColumn<QString>("despues");
        QTest::newRow("vacia") << QString() << QCoreApplication::applicationDirPath() + u"/"_s;
        QTest::newRow("sin separador") << u"/no/existe"_s << u"/no/existe/"_s;
        QTest::newRow("con separador") << u"/no/existe/"_s << u"/no/existe/"_s;
    }

    void conectaCompletaLaCarpeta() {
        QFETCH(QString, antes);
        QFETCH(QString, despues);
        MensajeriaGrabada mensajes;
        aConexion c;
        c.setDirectorioBD(antes);
        c.setBaseDatos(u"no-existe.mdb"_s);
        c.conecta(true);
        QVERIFY(c.errorConexion());
        QCOMPARE(c.directorioBD(), despues);
        QCOMPARE(c.ficheroBD(), u"no-existe.mdb"_s);
        QVERIFY(!QFile::exists(despues + u"no-existe.mdb"_s));
    }
};

QTEST_MAIN(TstAConexionAjustes)
#include "tst_aConexionAjustes.moc"
