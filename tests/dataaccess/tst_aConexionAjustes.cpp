#include <QtTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"
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

// An instance that only knows its engine: the text helpers need no connection.
std::unique_ptr<aConexion> m(qint32 tipo) {
    auto c = std::make_unique<aConexion>();
    c->setTipoConexion(tipo);
    return c;
}

// The type matters: the callers bind these values as they come.
QString tipado(const QVariant& v) {
    return QString::fromLatin1(v.typeName()) + u':' + v.toString();
}

}  // namespace

// The texts an instance builds without a connection: its connection text and its dialect.
class TstAConexionAjustes : public QObject {
    Q_OBJECT

private slots:
    // A backslash ending is platform::conSeparador's, checked with the launch record's path.
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

    // The file database's and MySQL's dates, LIKE and escapes are evaluated by the real engines
    // (tst_aConexionMotores), and the server clocks and SQL Server's date order are in the
    // recorded statements (tst_aConexionGrabada); here, every other text.
    void textoPorMotor() {
        QCOMPARE(m(0)->ahora(), u"now()"_s);
        QCOMPARE(m(0)->hoy(), u"date()"_s);
        QCOMPARE(m(2)->hoy(), u"curdate()"_s);

        const QDate dia(2007, 3, 13);
        QCOMPARE(m(3)->fecha(dia), u"'2007/03/13'"_s);
        QCOMPARE(m(4)->fecha(dia), u"''"_s);
        const QDateTime tarde(dia, QTime(14, 5, 9));
        QCOMPARE(m(1)->fechaHora(tarde), u"'13/03/07 14:05:09'"_s);
        QCOMPARE(m(3)->fechaHora(tarde), u"'2007/03/13 14:05:09'"_s);

        QCOMPARE(m(0)->concat(u"a & b"_s), u"a & b"_s);
        QCOMPARE(m(1)->concat(u"a & b & c"_s), u"a + b + c"_s);
        QCOMPARE(m(0)->concatena(u"a,b"_s), u"a & b"_s);
        QCOMPARE(m(1)->concatena(u"a,b"_s), u"isnull(a,'') + isnull(b,'')"_s);
        QCOMPARE(m(2)->concatena(u"a,b"_s), u" concat(if(isnull(a),'',a) , if(isnull(b),'',b))"_s);
        QCOMPARE(m(0)->concatena(u"a, b"_s), u"a &  b"_s);  // not trimmed
        QCOMPARE(prueba::errorLanzado([] { m(3)->concatena(u"a,b"_s); }).numero(), 5);

        QCOMPARE(m(0)->siNulo(u"c"_s, u"0"_s), u"iif(c is null,0,c)"_s);
        QCOMPARE(m(1)->siNulo(u"c"_s, u"0"_s), u"isnull(c,0)"_s);
        QCOMPARE(m(2)->siNulo(u"c"_s, u"0"_s), QString());
        const auto condicion = [](qint32 t) {
            return m(t)->condicion(u"x>1"_s, u"'si'"_s, u"'no'"_s);
        };
        QCOMPARE(condicion(0), u"iif(x>1,'si','no')"_s);
        QCOMPARE(condicion(1), u" CASE WHEN x>1 THEN 'si' ELSE 'no' END "_s);
        QCOMPARE(condicion(2), u"if(x>1,'si','no')"_s);
        QCOMPARE(condicion(3), u" DECODE(x>1,true,'si','no')"_s);
        QCOMPARE(m(3)->sql_like(u"Nombre"_s, u"'ABC%'"_s), u"lower(Nombre) like 'abc%'"_s);

        QCOMPARE(m(0)->bol(true), u"True"_s);
        QCOMPARE(m(1)->bol(true), u"1"_s);
        QCOMPARE(m(3)->bol(false), u"0"_s);
        QCOMPARE(tipado(m(0)->bolv(true)), u"bool:true"_s);
        QCOMPARE(tipado(m(2)->bolv(true)), u"short:1"_s);
        QCOMPARE(tipado(m(3)->bolv(false)), u"short:0"_s);
        QCOMPARE(tipado(m(0)->verdad()), u"bool:true"_s);
        QCOMPARE(tipado(m(1)->verdad()), u"short:1"_s);
        QCOMPARE(tipado(m(3)->verdad()), u":"_s);

        // Quotes doubled and blanks trimmed; tabs stay; SQL Server keeps the backslash.
        QCOMPARE(m(0)->aplana(u"  O'Brien  "_s), u"O''Brien"_s);
        QCOMPARE(m(1)->aplana(u"\tx "_s), u"\tx"_s);
        QCOMPARE(m(1)->aplana(u"C:\\datos\\"_s), u"C:\\datos\\"_s);
        QCOMPARE(m(0)->como(u"  O'Bri*  "_s), u"O''Bri%"_s);
        QCOMPARE(m(1)->como(u"*a*b"_s), u"%a%b"_s);
        QCOMPARE(m(1)->como(u"C:\\d*"_s), u"C:\\d%"_s);

        QCOMPARE(m(1)->cur(1.23456), u"1.2346"_s);
        QCOMPARE(m(1)->cur(0.00125), u"0.0012"_s);  // half to even
        QCOMPARE(m(1)->dbl(-3.14159), u"-3.14159"_s);

        QCOMPARE(m(0)->une(u"tFicheros f"_s, u"tCarpetas c;codCarpeta"_s),
                 u"tFicheros f INNER JOIN tCarpetas c ON f.codCarpeta=c.codCarpeta"_s);
        QCOMPARE(m(1)->une(u"tA"_s, u"tB;x"_s), u"tA INNER JOIN tB ON tA.x=tB.x"_s);
        QCOMPARE(m(3)->une(u"tA a"_s, u"tB b;x,tC;y"_s),
                 u"tA a INNER JOIN tB b ON a.x=b.x INNER JOIN tC ON a.y=tC.y"_s);
        QCOMPARE(prueba::errorLanzado([] { m(0)->une(u"tA a"_s, u"tB b"_s); }).numero(), 9);
    }

    // A locale whose decimal separator is the comma must not leak into statements; what is not a
    // number is refused (13) and so is a null (94).
    void numeros() {
        const struct {
            QVariant valor;
            QString esperado;
            qint32 error;
        } filas[] = {{1.5, u"1.5"_s, 0},
                     {u" 3.25 "_s, u"3.25"_s, 0},
                     {QVariant(), u"0"_s, 0},
                     {u"abc"_s, QString(), 13},
                     {u"1,5"_s, QString(), 13},
                     {u"1; DROP TABLE t"_s, QString(), 13},
                     {QVariant(QMetaType(QMetaType::Int)), QString(), 94}};
        const QLocale anterior;
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        for (const auto& f : filas) {
            QString texto;
            const qint32 error =
                prueba::errorLanzado([&] { texto = m(1)->numero(f.valor); }).numero();
            QCOMPARE(error, f.error);
            QCOMPARE(texto, f.esperado);
        }
        QLocale::setDefault(anterior);
    }
};

QTEST_MAIN(TstAConexionAjustes)
#include "tst_aConexionAjustes.moc"
