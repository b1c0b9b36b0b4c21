#include <QtTest>

#include "launcher/cListaParametros.h"
#include "platform/ErrorEjecucion.h"

class TstCListaParametros : public QObject {
    Q_OBJECT
private slots:
    void init() {
        parametros.limpiar();
        parametros.setNoHaceFaltaIniciar(false);
    }

    void nombreSinDistinguirMayusculas_data() {
        QTest::addColumn<QString>("escrito");
        QTest::addColumn<QString>("leido");
        QTest::newRow("formatoFecha") << "FormatoFecha"
                                      << "formatofecha";
        QTest::newRow("todo mayusculas") << "FORMATOFECHA"
                                         << "FormatoFecha";
        QTest::newRow("acentos") << QStringLiteral("AÑO") << QStringLiteral("año");
        QTest::newRow("vacio") << ""
                               << "";
    }
    void nombreSinDistinguirMayusculas() {
        QFETCH(QString, escrito);
        QFETCH(QString, leido);
        parametros.setValor(escrito, QStringLiteral("dd-mm-yy"));
        QCOMPARE(parametros.valor(leido), QVariant(QStringLiteral("dd-mm-yy")));
        QCOMPARE(parametros.nParametros(), 1);
        QCOMPARE(parametros.parametro(1), escrito.toLower());
    }

    void repetirUnNombreLoPasaAlFinal() {
        parametros.setValor(QStringLiteral("a"), 1);
        parametros.setValor(QStringLiteral("B"), 2);
        parametros.setValor(QStringLiteral("c"), 3);
        parametros.setValor(QStringLiteral("A"), QDate(2007, 3, 13));
        QCOMPARE(parametros.nParametros(), 3);
        QCOMPARE(parametros.parametro(1), QStringLiteral("b"));
        QCOMPARE(parametros.parametro(2), QStringLiteral("c"));
        QCOMPARE(parametros.parametro(3), QStringLiteral("a"));
        QCOMPARE(parametros.valor(QStringLiteral("a")), QVariant(QDate(2007, 3, 13)));
        QCOMPARE(parametros.valor(QStringLiteral("b")), QVariant(2));
    }

    void valoresDeCualquierTipo_data() {
        QTest::addColumn<QVariant>("valor");
        QTest::newRow("texto") << QVariant(QStringLiteral("x"));
        QTest::newRow("numero") << QVariant(3.5);
        QTest::newRow("booleano") << QVariant(true);
        QTest::newRow("fecha") << QVariant(QDateTime(QDate(2020, 2, 29), QTime(23, 59)));
        QTest::newRow("nulo") << QVariant(QMetaType::fromType<QString>());
    }
    void valoresDeCualquierTipo() {
        QFETCH(QVariant, valor);
        parametros.setValor(QStringLiteral("p"), valor);
        QCOMPARE(parametros.valor(QStringLiteral("P")), valor);
        QCOMPARE(parametros.valor(QStringLiteral("P")).metaType(), valor.metaType());
    }

    void faltaUnParametro() {
        parametros.setValor(QStringLiteral("otro"), 1);
        try {
            parametros.valor(QStringLiteral("FormatoFecha"));
            QFAIL("no error");
        } catch (const platform::ErrorEjecucion& e) {
            QCOMPARE(e.numero(), 10008);
            QCOMPARE(e.descripcion(), QStringLiteral("No se encontró el parámetro: FormatoFecha"));
        }
        parametros.setNoHaceFaltaIniciar(true);
        const QVariant vacio = parametros.valor(QStringLiteral("FormatoFecha"));
        QCOMPARE(vacio.metaType(), QMetaType::fromType<QString>());
        QVERIFY(!vacio.isNull());
        QCOMPARE(vacio.toString(), QString());
        QCOMPARE(parametros.nParametros(), 1);
    }

    void posicionFueraDeRango_data() {
        QTest::addColumn<int>("indice");
        QTest::newRow("cero") << 0;
        QTest::newRow("negativa") << -1;
        QTest::newRow("pasada") << 3;
    }
    void posicionFueraDeRango() {
        QFETCH(int, indice);
        parametros.setValor(QStringLiteral("a"), 1);
        parametros.setValor(QStringLiteral("b"), 2);
        try {
            parametros.parametro(indice);
            QFAIL("no error");
        } catch (const platform::ErrorEjecucion& e) {
            QCOMPARE(e.numero(), 9);
        }
    }

    void limpiarDejaLaListaVacia() {
        parametros.setValor(QStringLiteral("a"), 1);
        parametros.setValor(QStringLiteral("b"), 2);
        parametros.limpiar();
        QCOMPARE(parametros.nParametros(), 0);
        QVERIFY_THROWS_EXCEPTION(platform::ErrorEjecucion, parametros.valor(QStringLiteral("a")));
        parametros.setValor(QStringLiteral("b"), 3);
        QCOMPARE(parametros.nParametros(), 1);
        QCOMPARE(parametros.valor(QStringLiteral("b")), QVariant(3));
    }
};

QTEST_GUILESS_MAIN(TstCListaParametros)
#include "tst_cListaParametros.moc"
