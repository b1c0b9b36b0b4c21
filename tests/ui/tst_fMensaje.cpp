#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "platform/Twips.h"
#include "ui/fMensaje.h"

namespace {

// Closes the window as rejected after ms if nothing else closed it first.
void cierraSiSigueAbierta(fMensaje& ventana, int ms) {
    QTimer::singleShot(ms, &ventana, [&ventana] { ventana.reject(); });
}

}  // namespace

class tst_fMensaje : public QObject {
    Q_OBJECT

private slots:
    void controlesConNombre() {
        fMensaje ventana;
        QVERIFY(ventana.findChild<QPlainTextEdit*>(QStringLiteral("mensaje")));
        QVERIFY(ventana.findChild<QLabel*>(QStringLiteral("imagen")));
        auto* aceptar = ventana.findChild<QPushButton*>(QStringLiteral("bAceptar"));
        QVERIFY(aceptar);
        QCOMPARE(aceptar->text(), QStringLiteral("Aceptar"));
        auto* tim = ventana.findChild<QTimer*>(QStringLiteral("tim"));
        QVERIFY(tim);
        QVERIFY(!tim->isActive());
    }

    void seCierraSolo() {
        fMensaje ventana;
        ventana.setTexto(QStringLiteral("breve"));
        ventana.estableceTiempo(1);
        cierraSiSigueAbierta(ventana, 30000);
        QElapsedTimer reloj;
        reloj.start();
        QCOMPARE(ventana.exec(), int(QDialog::Accepted));
        QVERIFY(reloj.elapsed() >= 500);
    }

    void sinTiempoSigueAbierta_data() {
        QTest::addColumn<bool>("conTiempo");
        QTest::addColumn<int>("segundos");
        QTest::newRow("sin tiempo") << false << 0;
        QTest::newRow("cero") << true << 0;
        QTest::newRow("negativo") << true << -5;
    }

    void sinTiempoSigueAbierta() {
        QFETCH(bool, conTiempo);
        QFETCH(int, segundos);
        fMensaje ventana;
        if (conTiempo) {
            ventana.estableceTiempo(qint16(segundos));
        }
        cierraSiSigueAbierta(ventana, 1500);
        QCOMPARE(ventana.exec(), int(QDialog::Rejected));
    }

    void aceptarCierra() {
        fMensaje ventana;
        QTimer::singleShot(0, &ventana, [&ventana] {
            ventana.findChild<QPushButton*>(QStringLiteral("bAceptar"))->click();
        });
        cierraSiSigueAbierta(ventana, 30000);
        QCOMPARE(ventana.exec(), int(QDialog::Accepted));
    }

    void tiempoLargoNoDesborda() {
        fMensaje ventana;
        ventana.estableceTiempo(33);
        QCOMPARE(ventana.findChild<QTimer*>(QStringLiteral("tim"))->interval(), 33000);
        ventana.estableceTiempo(32767);
        QCOMPARE(ventana.findChild<QTimer*>(QStringLiteral("tim"))->interval(), 32767000);
    }

    void alturaPorLineas_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("factor");
        QTest::newRow("una") << "hola" << 1;
        QTest::newRow("cinco CR LF") << "1\r\n2\r\n3\r\n4\r\n5" << 1;
        QTest::newRow("seis CR LF") << "1\r\n2\r\n3\r\n4\r\n5\r\n6" << 2;
        QTest::newRow("seis CR") << "1\r2\r3\r4\r5\r6" << 2;
        QTest::newRow("seis LF") << "1\n2\n3\n4\n5\n6" << 2;
        QTest::newRow("diez") << "1\r2\r3\r4\r5\r6\r7\r8\r9\r10" << 2;
    }

    void alturaPorLineas() {
        QFETCH(QString, texto);
        QFETCH(int, factor);
        fMensaje corta;
        corta.setTexto(QStringLiteral("una"));
        fMensaje ventana;
        ventana.setTexto(texto);
        QCOMPARE(corta.height(), platform::aPixeles(fMensaje::kAltoDisenado));
        QCOMPARE(ventana.height(), corta.height() * factor);
        // The text box and the button follow the height, inside the window.
        auto* mensaje = ventana.findChild<QPlainTextEdit*>(QStringLiteral("mensaje"));
        auto* boton = ventana.findChild<QPushButton*>(QStringLiteral("bAceptar"));
        QVERIFY(mensaje->geometry().bottom() < boton->geometry().top());
        QVERIFY(boton->geometry().bottom() < ventana.height());
        if (factor > 1) {
            QVERIFY(mensaje->height() >
                    corta.findChild<QPlainTextEdit*>(QStringLiteral("mensaje"))->height());
        }
    }

    void ampliadaSubeUnaSolaVez() {
        fMensaje ventana;
        const QString largo = QStringLiteral("1\r2\r3\r4\r5\r6");
        ventana.setTexto(largo);
        const int alto = ventana.height();
        ventana.setTexto(largo);
        ventana.show();
        const int arriba = ventana.y();
        const QRect pantalla = ventana.screen()->availableGeometry();
        QVERIFY(arriba < pantalla.top() + (pantalla.height() - alto) / 2);
        ventana.hide();
        ventana.show();
        QCOMPARE(ventana.height(), alto);
        QCOMPARE(ventana.y(), arriba);
    }

    void imagenPorClave_data() {
        QTest::addColumn<QString>("clave");
        QTest::addColumn<bool>("conImagen");
        QTest::newRow("exclamacion") << "exclamacion" << true;
        QTest::newRow("informacion") << "informacion" << true;
        QTest::newRow("otra") << "pregunta" << false;
        QTest::newRow("vacia") << "" << false;
    }

    void imagenPorClave() {
        QFETCH(QString, clave);
        QFETCH(bool, conImagen);
        fMensaje ventana;
        ventana.estableceImagen(QStringLiteral("exclamacion"));
        ventana.estableceImagen(clave);
        auto* imagen = ventana.findChild<QLabel*>(QStringLiteral("imagen"));
        QCOMPARE(!imagen->pixmap().isNull(), conImagen);
        QCOMPARE(ventana.claveImagen(), conImagen ? clave : QString());
    }

    void imagenesDistintas() {
        const QImage exclamacion = fMensaje::imagenes(QStringLiteral("exclamacion")).toImage();
        const QImage informacion = fMensaje::imagenes(QStringLiteral("informacion")).toImage();
        QVERIFY(!exclamacion.isNull());
        QVERIFY(exclamacion != informacion);
    }

    void textoConRetornosDeCarro_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("mostrado");
        QTest::newRow("solo CR") << "a\rb\rc"
                                 << "a\nb\nc";
        QTest::newRow("CR LF") << "a\r\nb"
                               << "a\nb";
        QTest::newRow("CR doble") << "a\r\rb"
                                  << "a\n\nb";
        QTest::newRow("mezcla") << "a\r\n\rb\nc"
                                << "a\n\nb\nc";
    }

    void textoConRetornosDeCarro() {
        QFETCH(QString, texto);
        QFETCH(QString, mostrado);
        fMensaje ventana;
        ventana.setTexto(texto);
        auto* mensaje = ventana.findChild<QPlainTextEdit*>(QStringLiteral("mensaje"));
        QCOMPARE(mensaje->toPlainText(), mostrado);
        QCOMPARE(mensaje->document()->blockCount(), int(mostrado.count('\n')) + 1);
    }
};

QTEST_MAIN(tst_fMensaje)
#include "tst_fMensaje.moc"
