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

Ajustes servidorComun(qint32 tipo, qint16 puerto) {
    Ajustes a;
    a.tipo = tipo;
    a.servidor = u"srv\\inst"_s;
    a.baseDatos = u"gestion"_s;
    a.login = u"ana"_s;
    a.password = u"p'w"_s;
    a.puerto = puerto;
    return a;
}

}  // namespace

Q_DECLARE_METATYPE(Ajustes)

class TstAConexionAjustes : public QObject {
    Q_OBJECT

private slots:
    void instanciaNuevaVacia() {
        aConexion c;
        QCOMPARE(c.tipoConexion(), 0);
        QCOMPARE(c.puerto(), qint16(0));
        QVERIFY(c.provider().isEmpty() && c.servidor().isEmpty() && c.baseDatos().isEmpty());
        QVERIFY(c.login().isEmpty() && c.Password().isEmpty() && c.sid().isEmpty());
        QVERIFY(c.driver().isEmpty() && c.directorioBD().isEmpty());
        QVERIFY(c.cadenaConexion().isEmpty() && c.ficheroBD().isEmpty());
        QVERIFY(!c.servidorRemoto() && !c.conexionEncriptada() && !c.respaldo());
        QVERIFY(!c.conexionAsincrona() && !c.modoDepuracion());
        QVERIFY(!c.conexionAbierta() && c.conexionRota() && !c.conectando());
        QVERIFY(!c.errorConexion() && c.mensajeErrorConexion().isEmpty());
        QCOMPARE(c.codConexionRemota(), 0);
        QCOMPARE(c.con()->cursorLocation(), 3);
    }

    void tipoSqlServerPoneProvider_data() {
        QTest::addColumn<qint32>("tipo");
        QTest::addColumn<QString>("antes");
        QTest::addColumn<QString>("despues");
        QTest::newRow("1 sin provider") << 1 << QString() << u"sqloledb.1"_s;
        QTest::newRow("1 con provider") << 1 << u"SQLNCLI11"_s << u"SQLNCLI11"_s;
        QTest::newRow("3 sin provider") << 3 << QString() << QString();
        QTest::newRow("2 sin provider") << 2 << QString() << QString();
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

    void textoConexion_data() {
        QTest::addColumn<Ajustes>("ajustes");
        QTest::addColumn<QString>("esperado");

        Ajustes a;
        a.directorio = u"/datos/app"_s;
        a.baseDatos = u"fob7.mdb"_s;
        QTest::newRow("0 sin separador")
            << a
            << u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source=/datos/app/fob7.mdb;"
               u"Persist Security Info=False"_s;
        a.directorio = u"/datos/app/"_s;
        QTest::newRow("0 con separador")
            << a
            << u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source=/datos/app/fob7.mdb;"
               u"Persist Security Info=False"_s;
        a.directorio = u"C:\\datos\\"_s;
        QTest::newRow("0 con barra inversa")
            << a
            << u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source=C:\\datos\\fob7.mdb;"
               u"Persist Security Info=False"_s;
        a.directorio.clear();
        QTest::newRow("0 carpeta del programa")
            << a
            << u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source="_s +
                   QCoreApplication::applicationDirPath() +
                   u"/fob7.mdb;Persist Security Info=False"_s;

        a = servidorComun(1, 1433);
        QTest::newRow("1 local")
            << a
            << u"Provider=sqloledb.1;Data Source=srv\\inst,1433;Initial Catalog=gestion;"
               u"User ID=ana;Password=p'w"_s;
        a.remoto = true;
        QTest::newRow("1 remoto")
            << a
            << u"Provider=sqloledb.1;Network Library=DBMSSOCN;Data Source=srv\\inst,1433;"
               u"Initial Catalog=gestion;User ID=ana;Password=p'w"_s;
        a.encriptada = true;
        QTest::newRow("1 remoto encriptado")
            << a
            << u"Provider=sqloledb.1;Network Library=DBMSSOCN;Data Source=srv\\inst,1433;"
               u"Initial Catalog=gestion;User ID=ana;Password=p'w;Encrypt=yes"_s;
        a.remoto = false;
        a.provider = u"SQLNCLI11"_s;
        a.puerto = 1500;
        QTest::newRow("1 encriptado con provider")
            << a
            << u"Provider=SQLNCLI11;Data Source=srv\\inst,1500;Initial Catalog=gestion;"
               u"User ID=ana;Password=p'w;Encrypt=yes"_s;

        a = servidorComun(2, 1433);
        QTest::newRow("2 puerto por omision")
            << a
            << u"Driver={mySQL};Server=srv\\inst;Port=3306;Option=149512;Stmt=;"
               u"Database=gestion;Uid=ana;Pwd=p'w;Option=3"_s;
        a.puerto = 3307;
        a.driver = u"MariaDB ODBC 3.1 Driver"_s;
        QTest::newRow("2 puerto y driver propios")
            << a
            << u"Driver={MariaDB ODBC 3.1 Driver};Server=srv\\inst;Port=3307;"
               u"Option=149512;Stmt=;Database=gestion;Uid=ana;Pwd=p'w;Option=3"_s;

        a = servidorComun(3, 1433);
        a.sid = u"ORCL"_s;
        a.provider = u"MSDAORA"_s;
        QTest::newRow("3 con servicio")
            << a
            << u"Provider=OraOLEDB.Oracle;Data Source=(DESCRIPTION=(ADDRESS_LIST=(ADDRESS="
               u"(PROTOCOL=TCP)(HOST=srv\\inst)(PORT=1521)))(CONNECT_DATA=(SERVER=DEDICATED)"
               u"(SERVICE_NAME=ORCL)));User Id=ana;Password=p'w;"_s;
        a.sid.clear();
        QTest::newRow("3 sin servicio")
            << a << u"Provider=OraOLEDB.Oracle;Data Source=srv\\inst;User Id=ana;Password=p'w"_s;
        a.puerto = 1600;
        a.sid = u"XE"_s;
        QTest::newRow("3 puerto propio")
            << a
            << u"Provider=OraOLEDB.Oracle;Data Source=(DESCRIPTION=(ADDRESS_LIST=(ADDRESS="
               u"(PROTOCOL=TCP)(HOST=srv\\inst)(PORT=1600)))(CONNECT_DATA=(SERVER=DEDICATED)"
               u"(SERVICE_NAME=XE)));User Id=ana;Password=p'w;"_s;

        for (qint32 tipo : {0, 1, 2, 3, 7}) {
            Ajustes propia = servidorComun(tipo, 1433);
            propia.cadena = u"Driver={mySQL};Server=otro;"_s;
            QTest::addRow("cadena propia %d", tipo) << propia << propia.cadena;
        }
        QTest::newRow("tipo desconocido") << servidorComun(4, 1433) << QString();
    }

    void textoConexion() {
        QFETCH(Ajustes, ajustes);
        QFETCH(QString, esperado);
        aConexion c;
        aplica(c, ajustes);
        QCOMPARE(c.textoConexion(), esperado);
    }

    // Each engine's text, as the class builds it, reaches the engine with every setting intact.
    void traduccionDelTexto_data() {
        QTest::addColumn<Ajustes>("ajustes");
        QTest::addColumn<QString>("sqlite");
        QTest::addColumn<QStringList>("pares");

        Ajustes a;
        a.directorio = u"/datos/app"_s;
        a.baseDatos = u"fob7.mdb"_s;
        QTest::newRow("0") << a << u"/datos/app/fob7.mdb"_s << QStringList();
        a = servidorComun(1, 1433);
        a.remoto = true;
        a.encriptada = true;
        QTest::newRow("1") << a << QString()
                           << QStringList{u"Driver=FreeTDS"_s,    u"Server=srv\\inst"_s,
                                          u"Port=1433"_s,         u"Database=gestion"_s,
                                          u"UID=ana"_s,           u"PWD=p'w"_s,
                                          u"Encryption=require"_s};
        a = servidorComun(2, 1433);
        QTest::newRow("2") << a << QString()
                           << QStringList{u"Driver=mySQL"_s, u"Server=srv\\inst"_s,
                                          u"Port=3306"_s,    u"Option=149512"_s,
                                          u"Stmt="_s,        u"Database=gestion"_s,
                                          u"Uid=ana"_s,      u"Pwd=p'w"_s,
                                          u"Option=3"_s};
        a = servidorComun(3, 1433);
        a.sid = u"ORCL"_s;
        QTest::newRow("3 con servicio")
            << a << QString()
            << QStringList{u"Driver=Oracle ODBC"_s,
                           u"DBQ=(DESCRIPTION=(ADDRESS_LIST=(ADDRESS=(PROTOCOL=TCP)(HOST=srv\\inst)"
                           u"(PORT=1521)))(CONNECT_DATA=(SERVER=DEDICATED)(SERVICE_NAME=ORCL)))"_s,
                           u"UID=ana"_s, u"PWD=p'w"_s};
        a.sid.clear();
        QTest::newRow("3 sin servicio")
            << a << QString()
            << QStringList{u"Driver=Oracle ODBC"_s, u"DBQ=srv\\inst"_s, u"UID=ana"_s, u"PWD=p'w"_s};
    }

    void traduccionDelTexto() {
        QFETCH(Ajustes, ajustes);
        QFETCH(QString, sqlite);
        QFETCH(QStringList, pares);
        aConexion c;
        aplica(c, ajustes);
        platform::ControladoresOdbc controladores;
        controladores.oracle = u"Oracle ODBC"_s;
        controladores.instalados = QStringList{u"FreeTDS"_s, u"mySQL"_s, u"Oracle ODBC"_s};
        const platform::DestinoConexion destino =
            platform::traduceConexion(c.textoConexion(), controladores);
        if (!sqlite.isEmpty()) {
            QCOMPARE(destino.motor, platform::DestinoConexion::Motor::Sqlite);
            QCOMPARE(destino.ficheroSqlite, sqlite);
            return;
        }
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

    void ubicacionSoloDeFicheros() {
        aConexion c;
        c.setTipoConexion(1);
        QCOMPARE(c.ubicacion(), QString());
    }
};

QTEST_MAIN(TstAConexionAjustes)
#include "tst_aConexionAjustes.moc"
