#include <QtTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"

using namespace Qt::Literals::StringLiterals;

namespace {

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

class TstAConexionDialecto : public QObject {
    Q_OBJECT

private slots:
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

QTEST_MAIN(TstAConexionDialecto)
#include "tst_aConexionDialecto.moc"
