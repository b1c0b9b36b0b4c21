#include <QtTest>

#include "dataaccess/aConexion.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// One call of a text helper by name, so that every engine's answer sits in one table.
QString llama(const aConexion& c, const QString& funcion, const QStringList& a) {
    if (funcion == u"ahora")
        return c.ahora();
    if (funcion == u"hoy")
        return c.hoy();
    if (funcion == u"fecha")
        return c.fecha(QDate::fromString(a.at(0), Qt::ISODate));
    if (funcion == u"fechaHora")
        return c.fechaHora(QDateTime::fromString(a.at(0), Qt::ISODate));
    if (funcion == u"concat")
        return c.concat(a.at(0));
    if (funcion == u"concatena")
        return c.concatena(a.at(0));
    if (funcion == u"siNulo")
        return c.siNulo(a.at(0), a.at(1));
    if (funcion == u"condicion")
        return c.condicion(a.at(0), a.at(1), a.at(2));
    if (funcion == u"sql_like")
        return c.sql_like(a.at(0), a.at(1));
    if (funcion == u"bol")
        return c.bol(a.at(0) == u"true");
    // The type matters: the callers bind these values as they come.
    if (funcion == u"bolv" || funcion == u"verdad") {
        const QVariant v = funcion == u"verdad" ? c.verdad() : c.bolv(a.at(0) == u"true");
        return QString::fromLatin1(v.typeName()) + u':' + v.toString();
    }
    if (funcion == u"aplana")
        return c.aplana(a.at(0));
    if (funcion == u"como")
        return c.como(a.at(0));
    if (funcion == u"cur")
        return c.cur(a.at(0).toDouble());
    if (funcion == u"dbl")
        return c.dbl(a.at(0).toDouble());
    if (funcion == u"une")
        return c.une(a.at(0), a.at(1));
    qFatal("unknown helper");
}

}  // namespace

class TstAConexionDialecto : public QObject {
    Q_OBJECT

private slots:
    void textoPorMotor_data() {
        QTest::addColumn<qint32>("tipo");
        QTest::addColumn<QString>("funcion");
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("esperado");

        const auto fila = [](const char* nombre, qint32 tipo, const QString& funcion,
                             const QStringList& argumentos, const QString& esperado) {
            QTest::newRow(nombre) << tipo << funcion << argumentos << esperado;
        };
        fila("ahora 0", 0, u"ahora"_s, {}, u"now()"_s);
        fila("ahora 1", 1, u"ahora"_s, {}, u"getdate()"_s);
        fila("ahora 3", 3, u"ahora"_s, {}, u"sysdate"_s);
        fila("ahora otro", 7, u"ahora"_s, {}, QString());
        fila("hoy 0", 0, u"hoy"_s, {}, u"date()"_s);
        fila("hoy 1", 1, u"hoy"_s, {}, u"CONVERT(char(12),getdate(),3)"_s);
        fila("hoy 2", 2, u"hoy"_s, {}, u"curdate()"_s);
        fila("hoy 3", 3, u"hoy"_s, {}, u"to_char(sysdate, 'DD/MM/YYYY')"_s);

        fila("fecha 13 marzo 0", 0, u"fecha"_s, {u"2007-03-13"_s}, u"#03/13/07#"_s);
        fila("fecha 13 marzo 1", 1, u"fecha"_s, {u"2007-03-13"_s}, u"'13/03/07'"_s);
        fila("fecha 13 marzo 2", 2, u"fecha"_s, {u"2007-03-13"_s}, u"'2007-03-13'"_s);
        fila("fecha 13 marzo 3", 3, u"fecha"_s, {u"2007-03-13"_s}, u"'2007/03/13'"_s);
        fila("fecha otro", 4, u"fecha"_s, {u"2007-03-13"_s}, u"''"_s);

        const QString tarde = u"2007-03-13T14:05:09"_s;
        fila("fechaHora 0", 0, u"fechaHora"_s, {tarde}, u"#03/13/07 14:05:09#"_s);
        fila("fechaHora 1", 1, u"fechaHora"_s, {tarde}, u"'13/03/07 14:05:09'"_s);
        fila("fechaHora 2", 2, u"fechaHora"_s, {tarde}, u"'2007-03-13 14:05:09'"_s);
        fila("fechaHora 3", 3, u"fechaHora"_s, {tarde}, u"'2007/03/13 14:05:09'"_s);
        fila("fechaHora otro", 9, u"fechaHora"_s, {tarde}, QString());

        fila("concat 0", 0, u"concat"_s, {u"a & b"_s}, u"a & b"_s);
        fila("concat 1", 1, u"concat"_s, {u"a & b & c"_s}, u"a + b + c"_s);

        fila("concatena 0", 0, u"concatena"_s, {u"a,b"_s}, u"a & b"_s);
        fila("concatena 1", 1, u"concatena"_s, {u"a,b"_s}, u"isnull(a,'') + isnull(b,'')"_s);
        fila("concatena 2", 2, u"concatena"_s, {u"a,b"_s},
             u" concat(if(isnull(a),'',a) , if(isnull(b),'',b))"_s);
        fila("concatena una pieza", 1, u"concatena"_s, {u"nombre"_s}, u"isnull(nombre,'')"_s);
        fila("concatena sin recortar", 0, u"concatena"_s, {u"a, b"_s}, u"a &  b"_s);

        fila("siNulo 0", 0, u"siNulo"_s, {u"c"_s, u"0"_s}, u"iif(c is null,0,c)"_s);
        fila("siNulo 1", 1, u"siNulo"_s, {u"c"_s, u"0"_s}, u"isnull(c,0)"_s);
        fila("siNulo 2", 2, u"siNulo"_s, {u"c"_s, u"0"_s}, QString());

        const QStringList evf{u"x>1"_s, u"'si'"_s, u"'no'"_s};
        fila("condicion 0", 0, u"condicion"_s, evf, u"iif(x>1,'si','no')"_s);
        fila("condicion 1", 1, u"condicion"_s, evf, u" CASE WHEN x>1 THEN 'si' ELSE 'no' END "_s);
        fila("condicion 2", 2, u"condicion"_s, evf, u"if(x>1,'si','no')"_s);
        fila("condicion 3", 3, u"condicion"_s, evf, u" DECODE(x>1,true,'si','no')"_s);
        fila("condicion otro", 5, u"condicion"_s, evf, QString());

        const QStringList like{u"Nombre"_s, u"'ABC%'"_s};
        fila("sql_like 0", 0, u"sql_like"_s, like, u"Nombre like 'ABC%'"_s);
        fila("sql_like 3", 3, u"sql_like"_s, like, u"lower(Nombre) like 'abc%'"_s);

        fila("bol verdadero 0", 0, u"bol"_s, {u"true"_s}, u"True"_s);
        fila("bol falso 0", 0, u"bol"_s, {u"false"_s}, u"False"_s);
        fila("bol verdadero 1", 1, u"bol"_s, {u"true"_s}, u"1"_s);
        fila("bol falso 3", 3, u"bol"_s, {u"false"_s}, u"0"_s);
        fila("bol otro", 4, u"bol"_s, {u"true"_s}, QString());

        fila("aplana comillas y blancos", 0, u"aplana"_s, {u"  O'Brien  "_s}, u"O''Brien"_s);
        fila("aplana deja tabuladores", 1, u"aplana"_s, {u"\tx "_s}, u"\tx"_s);
        fila("aplana barra en MySQL", 2, u"aplana"_s, {u"C:\\datos\\"_s}, u"C:\\\\datos\\\\"_s);
        fila("aplana barra en SQL Server", 1, u"aplana"_s, {u"C:\\datos\\"_s}, u"C:\\datos\\"_s);
        fila("aplana inyeccion MySQL", 2, u"aplana"_s, {u"x\\' OR 1=1 -- "_s},
             u"x\\\\'' OR 1=1 --"_s);
        fila("aplana acentos", 3, u"aplana"_s, {u"Ñandú €"_s}, u"Ñandú €"_s);
        fila("como", 0, u"como"_s, {u"  O'Bri*  "_s}, u"O''Bri%"_s);
        fila("como varios comodines", 1, u"como"_s, {u"*a*b"_s}, u"%a%b"_s);
        fila("como barra en MySQL", 2, u"como"_s, {u"C:\\d*"_s}, u"C:\\\\\\\\d%"_s);
        fila("como barra en SQL Server", 1, u"como"_s, {u"C:\\d*"_s}, u"C:\\d%"_s);

        fila("cur cuatro decimales", 1, u"cur"_s, {u"1.23456"_s}, u"1.2346"_s);
        fila("cur mitad a par", 1, u"cur"_s, {u"0.00125"_s}, u"0.0012"_s);
        fila("dbl", 1, u"dbl"_s, {u"-3.14159"_s}, u"-3.14159"_s);

        fila("bolv 0", 0, u"bolv"_s, {u"true"_s}, u"bool:true"_s);
        fila("bolv falso 0", 0, u"bolv"_s, {u"false"_s}, u"bool:false"_s);
        fila("bolv 2", 2, u"bolv"_s, {u"true"_s}, u"short:1"_s);
        fila("bolv falso 3", 3, u"bolv"_s, {u"false"_s}, u"short:0"_s);
        fila("verdad 0", 0, u"verdad"_s, {}, u"bool:true"_s);
        fila("verdad 1", 1, u"verdad"_s, {}, u"short:1"_s);
        fila("verdad 3", 3, u"verdad"_s, {}, u":"_s);

        fila("une con alias", 0, u"une"_s, {u"tFicheros f"_s, u"tCarpetas c;codCarpeta"_s},
             u"tFicheros f INNER JOIN tCarpetas c ON f.codCarpeta=c.codCarpeta"_s);
        fila("une lista vacia", 2, u"une"_s, {u"tFicheros f"_s, QString()}, u"tFicheros f"_s);
        fila("une sin alias", 1, u"une"_s, {u"tA"_s, u"tB;x"_s},
             u"tA INNER JOIN tB ON tA.x=tB.x"_s);
        fila("une dos tablas", 3, u"une"_s, {u"tA a"_s, u"tB b;x,tC;y"_s},
             u"tA a INNER JOIN tB b ON a.x=b.x INNER JOIN tC ON a.y=tC.y"_s);
        fila("concatena Oracle", 3, u"concatena"_s, {u"a,b"_s}, u"error 5"_s);
        fila("une sin columna", 0, u"une"_s, {u"tA a"_s, u"tB b"_s}, u"error 9"_s);
    }

    void textoPorMotor() {
        QFETCH(qint32, tipo);
        QFETCH(QString, funcion);
        QFETCH(QStringList, argumentos);
        QFETCH(QString, esperado);
        aConexion c;
        c.setTipoConexion(tipo);
        // "error n": the helper refuses with error n.
        const QString obtenido =
            esperado.startsWith(u"error "_s)
                ? u"error "_s + QString::number(prueba::errorLanzado([&] {
                                                    llama(c, funcion, argumentos);
                                                }).numero())
                : llama(c, funcion, argumentos);
        QCOMPARE(obtenido, esperado);
    }

    // A locale whose decimal separator is the comma must not leak into statements; what is not a
    // number is refused (13) and so is a null (94).
    void numeros_data() {
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<QString>("esperado");
        QTest::addColumn<qint32>("error");
        QTest::newRow("uno y medio") << QVariant(1.5) << u"1.5"_s << 0;
        QTest::newRow("entero") << QVariant(42) << u"42"_s << 0;
        QTest::newRow("float") << QVariant(0.1f) << u"0.10000000149011612"_s << 0;
        QTest::newRow("texto con blancos") << QVariant(u" 3.25 "_s) << u"3.25"_s << 0;
        QTest::newRow("grande") << QVariant(1e20) << u"1e+20"_s << 0;
        QTest::newRow("vacio") << QVariant() << u"0"_s << 0;
        QTest::newRow("letras") << QVariant(u"abc"_s) << QString() << 13;
        QTest::newRow("coma decimal") << QVariant(u"1,5"_s) << QString() << 13;
        QTest::newRow("inyeccion") << QVariant(u"1; DROP TABLE t"_s) << QString() << 13;
        QTest::newRow("nulo") << QVariant(QMetaType(QMetaType::Int)) << QString() << 94;
    }

    void numeros() {
        QFETCH(QVariant, valor);
        QFETCH(QString, esperado);
        QFETCH(qint32, error);
        const QLocale anterior;
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        aConexion c;
        c.setTipoConexion(1);
        QString texto;
        const qint32 obtenido = prueba::errorLanzado([&] { texto = c.numero(valor); }).numero();
        QLocale::setDefault(anterior);
        QCOMPARE(obtenido, error);
        QCOMPARE(texto, esperado);
    }
};

QTEST_MAIN(TstAConexionDialecto)
#include "tst_aConexionDialecto.moc"
