#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>

#include "ui/fMensaje.h"

namespace {

QPlainTextEdit* cuadro(const fMensaje& ventana) {
    return ventana.findChild<QPlainTextEdit*>(QStringLiteral("mensaje"));
}

}  // namespace

class tst_fMensaje : public QObject {
    Q_OBJECT

private slots:
    void sinTiempoSigueAbierta() {
        for (const int segundos : {0, -5}) {
            fMensaje ventana;
            ventana.estableceTiempo(qint16(segundos));
            QTimer::singleShot(1500, &ventana, [&ventana] { ventana.reject(); });
            QCOMPARE(ventana.exec(), int(QDialog::Rejected));
        }
    }

    // Past five lines of any break the window grows.
    void alturaPorLineas() {
        fMensaje corta;
        corta.setTexto(QStringLiteral("1\r\n2\r\n3\r\n4\r\n5"));
        for (const char* texto :
             {"1\r\n2\r\n3\r\n4\r\n5\r\n6", "1\r2\r3\r4\r5\r6", "1\n2\n3\n4\n5\n6"}) {
            fMensaje ventana;
            ventana.setTexto(texto);
            QVERIFY(ventana.height() > corta.height());
        }
    }

    void imagenPorClave() {
        fMensaje ventana;
        auto* imagen = ventana.findChild<QLabel*>(QStringLiteral("imagen"));
        ventana.estableceImagen(QStringLiteral("informacion"));
        QVERIFY(!imagen->pixmap().isNull());
        // An unknown key clears the picture of the one before.
        ventana.estableceImagen(QStringLiteral("pregunta"));
        QVERIFY(imagen->pixmap().isNull());
        QCOMPARE(ventana.claveImagen(), QString());
    }

    void textoConRetornosDeCarro() {
        fMensaje ventana;
        ventana.setTexto(QStringLiteral("a\r\n\rb\nc\rd"));
        QCOMPARE(cuadro(ventana)->toPlainText(), QStringLiteral("a\n\nb\nc\nd"));
    }
};

QTEST_MAIN(tst_fMensaje)
#include "tst_fMensaje.moc"
