#include <QtTest>

#include "comun/modTolvane1.h"
#include "platform/Producto.h"
#include "support/MensajeriaGrabada.h"

using Clase = MensajeriaGrabada::Clase;

class TstModTolvane1Mensajes : public QObject {
    Q_OBJECT
private slots:
    void avisoPasaPorLaMensajeria() {
        MensajeriaGrabada grabada;
        modTolvane1::aviso(QStringLiteral("En unos segundos volverá a iniciarse la aplicación."),
                           3);
        QCOMPARE(grabada.registros.size(), 1);
        const MensajeriaGrabada::Registro& r = grabada.registros.last();
        QCOMPARE(r.clase, Clase::Mensaje);
        QCOMPARE(r.titulo, platform::tituloProducto());
        QVERIFY(r.titulo.contains(QStringLiteral(" v")));
        QCOMPARE(r.tipo, QStringLiteral("E"));
        QCOMPARE(r.segundos, 3);
    }

    void saltosDeLinea_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("mostrado");
        QTest::newRow("retornos solos")
            << QStringLiteral("uno\rdos\r") << QStringLiteral("uno\r\ndos\r\n");
        QTest::newRow("ya completos")
            << QStringLiteral("uno\r\ndos") << QStringLiteral("uno\r\ndos");
        QTest::newRow("mezcla") << QStringLiteral("a\r\r\nb\nc\r")
                                << QStringLiteral("a\r\n\r\nb\nc\r\n");
    }
    void saltosDeLinea() {
        QFETCH(QString, texto);
        QFETCH(QString, mostrado);
        MensajeriaGrabada grabada;
        modTolvane1::muestraMensaje(texto, QStringLiteral("Título"), QStringLiteral("I"), 2);
        modTolvane1::mensajeSistema(texto, nullptr, true, 5000, QStringLiteral("sin uso"));
        QCOMPARE(grabada.registros.size(), 2);
        QCOMPARE(grabada.registros.at(0).texto, mostrado);
        QCOMPARE(grabada.registros.at(0).titulo, QStringLiteral("Título"));
        QCOMPARE(grabada.registros.at(0).tipo, QStringLiteral("I"));
        QCOMPARE(grabada.registros.at(0).segundos, 2);
        QCOMPARE(grabada.registros.at(1).clase, Clase::Sistema);
        QCOMPARE(grabada.registros.at(1).texto, mostrado);
        QVERIFY(grabada.registros.at(1).abandonar);
        QCOMPARE(grabada.registros.at(1).segundos, 5000);
    }
};

QTEST_MAIN(TstModTolvane1Mensajes)
#include "tst_modTolvane1Mensajes.moc"
