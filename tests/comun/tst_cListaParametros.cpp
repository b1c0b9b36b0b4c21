#include <QtTest>

#include "comun/cListaParametros.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"

class TstCListaParametros : public QObject {
    Q_OBJECT
private slots:
    // Each test starts from an emptied list: faltaUnParametro counts on it.
    void init() {
        parametros.limpiar();
        parametros.setNoHaceFaltaIniciar(false);
    }

    void nombreSinDistinguirMayusculas() {
        parametros.setValor(QStringLiteral("AÑO"), QStringLiteral("dd-mm-yy"));
        QCOMPARE(parametros.valor(QStringLiteral("año")), QVariant(QStringLiteral("dd-mm-yy")));
        QCOMPARE(parametros.parametro(1), QStringLiteral("año"));
        // Naming one again moves it to the end with its new value, of any type.
        parametros.setValor(QStringLiteral("b"), 2);
        parametros.setValor(QStringLiteral("Año"), QDate(2007, 3, 13));
        QCOMPARE(parametros.nParametros(), 2);
        QCOMPARE(parametros.parametro(1), QStringLiteral("b"));
        QCOMPARE(parametros.parametro(2), QStringLiteral("año"));
        QCOMPARE(parametros.valor(QStringLiteral("AÑO")), QVariant(QDate(2007, 3, 13)));
        const QVariant nulo(QMetaType::fromType<QString>());
        parametros.setValor(QStringLiteral("b"), nulo);
        QCOMPARE(parametros.valor(QStringLiteral("B")).metaType(), nulo.metaType());
        QVERIFY(parametros.valor(QStringLiteral("B")).isNull());
        for (const int fuera : {0, -1, 3}) {
            QCOMPARE(prueba::errorLanzado([fuera] { parametros.parametro(fuera); }).numero(), 9);
        }
    }

    void faltaUnParametro() {
        parametros.setValor(QStringLiteral("otro"), 1);
        const auto e =
            prueba::errorLanzado([] { parametros.valor(QStringLiteral("FormatoFecha")); });
        QCOMPARE(e.numero(), platform::kErrorParametroDesconocido);
        QCOMPARE(e.descripcion(), QStringLiteral("No se encontró el parámetro: FormatoFecha"));
        parametros.setNoHaceFaltaIniciar(true);
        const QVariant vacio = parametros.valor(QStringLiteral("FormatoFecha"));
        QCOMPARE(vacio.metaType(), QMetaType::fromType<QString>());
        QVERIFY(!vacio.isNull());
        QCOMPARE(vacio.toString(), QString());
        QCOMPARE(parametros.nParametros(), 1);
    }
};

QTEST_GUILESS_MAIN(TstCListaParametros)
#include "tst_cListaParametros.moc"
