#include <QtTest>

#include "platform/EnlaceTardio.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"

using namespace Qt::Literals::StringLiterals;

// An object offering members of several signatures, as a control of any kind may.
class Ofrece : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint32 Rows MEMBER rows)
    Q_PROPERTY(QString Texto MEMBER texto)
    Q_PROPERTY(QVariant Fuente MEMBER fuente)
    Q_PROPERTY(qint32 Fijo READ fijo)
public:
    qint32 rows = 0;
    QString texto;
    QVariant fuente;
    QList<QVariantList> llamadas;

    qint32 fijo() const { return 3; }
    Q_INVOKABLE void setRowData(int fila, qint64 valor) { llamadas.append({fila, valor}); }
    Q_INVOKABLE QString textmatrix(int fila, int col) const {
        return u"%1,%2"_s.arg(fila).arg(col);
    }
    Q_INVOKABLE QVariant RowData(int fila) const { return fila * 10; }
    Q_INVOKABLE int FindRow(const QVariant& v, int desde = 1) const { return v.toInt() + desde; }
};

// Members reached by name: conversions to the declared types, results, and the errors of a
// missing object, a missing member and an impossible conversion.
class TstEnlaceTardio : public QObject {
    Q_OBJECT

private slots:
    void propiedadesYMetodos() {
        const std::tuple<const char*, QVariant, QVariant> casos[] = {
            {"Rows", u"12"_s, qint32(12)},
            {"Texto", 7, u"7"_s},
            {"Rows", QVariant(), qint32(0)},
            {"Fuente", 2.5, 2.5},
        };
        for (const auto& [nombre, valor, leido] : casos) {
            Ofrece o;
            o.rows = 99;
            platform::ponPropiedad(&o, nombre, valor);
            QCOMPARE(platform::leePropiedad(&o, nombre), leido);
        }
        Ofrece o;
        o.setProperty("BoundText", u"a"_s);
        platform::ponPropiedad(&o, "BoundText", u"b"_s);
        QCOMPARE(platform::leePropiedad(&o, "BoundText"), QVariant(u"b"_s));

        QCOMPARE(platform::invoca(&o, "textmatrix", {2, u"3"_s}), QVariant(u"2,3"_s));
        QCOMPARE(platform::invoca(&o, "RowData", {4}), QVariant(40));
        QCOMPARE(platform::invoca(&o, "setRowData", {1, u"5000000000"_s}), QVariant());
        QCOMPARE(o.llamadas, (QList<QVariantList>{{1, qint64(5000000000)}}));
        // A default argument may be left out.
        QCOMPARE(platform::invoca(&o, "FindRow", {u"x"_s}), QVariant(1));
        QCOMPARE(platform::invoca(&o, "FindRow", {6, 2}), QVariant(8));
    }

    // No object is 91, a member it lacks (or with other arguments, or read-only) is 438, a text
    // that is no number is 13; nothing is written on the way.
    void errores() {
        Ofrece o;
        const QList<std::pair<std::function<void()>, int>> casos = {
            {[] { platform::ponPropiedad(nullptr, "Rows", 1); }, platform::kErrorSinObjeto},
            {[] { platform::invoca(nullptr, "AddItem", {u"x"_s}); }, platform::kErrorSinObjeto},
            {[&] { platform::leePropiedad(&o, "TopRow"); }, platform::kErrorSinMiembro},
            {[&] { platform::invoca(&o, "AddItem", {u"x"_s}); }, platform::kErrorSinMiembro},
            {[&] { platform::invoca(&o, "textmatrix", {1}); }, platform::kErrorSinMiembro},
            {[&] { platform::ponPropiedad(&o, "Fijo", 4); }, platform::kErrorSinMiembro},
            {[&] { platform::ponPropiedad(&o, "Rows", u"muchas"_s); }, platform::kErrorTipos},
            {[&] { platform::invoca(&o, "RowData", {u"primera"_s}); }, platform::kErrorTipos},
        };
        for (const auto& [accion, numero] : casos) {
            QCOMPARE(prueba::errorLanzado(accion).numero(), numero);
        }
        QCOMPARE(o.rows, 0);
        QVERIFY(o.llamadas.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstEnlaceTardio)
#include "tst_EnlaceTardio.moc"
