#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "platform/Fin.h"
#include "platform/Instalado.h"
#include "ui/fMensaje.h"
#include "ui/fMensajeSystem.h"

namespace {

int finales = 0;
void cuentaFinal() {
    ++finales;
}
int descargas = 0;
void cuentaDescarga() {
    ++descargas;
}

// Deletions asked for outside any event loop wait for a push.
void borraPendientes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QPlainTextEdit* cuadro(const fMensaje& ventana) {
    return ventana.findChild<QPlainTextEdit*>(QStringLiteral("mensaje"));
}

}  // namespace

// The message window and the system message window.
class tst_fMensajeSystem : public QObject {
    Q_OBJECT

    const platform::TerminacionInstalada fin_{cuentaFinal};
    const platform::Instalado<fMensajeSystem::AlDescargar, &fMensajeSystem::estableceAlDescargar>
        alDescargar_{cuentaDescarga};

private slots:
    void init() {
        finales = 0;
        descargas = 0;
    }

    void tiempo() {
        // Seconds to a timer's milliseconds, with no overflow; none at 0 or less.
        const std::pair<int, int> casos[] = {
            {30, 30000}, {0, 0}, {-3, 0}, {5000000, std::numeric_limits<int>::max()}};
        for (const auto& [segundos, intervalo] : casos) {
            fMensajeSystem ventana;
            ventana.setTiempo(segundos);
            auto* tim = ventana.findChild<QTimer*>(QStringLiteral("timAceptaAutomaticamente"));
            QCOMPARE(tim->isActive(), intervalo > 0);
            QVERIFY(intervalo == 0 || tim->interval() == intervalo);
        }
    }

    void aceptar() {
        const std::pair<const char*, bool> casos[] = {{"tiempo", false},
                                                      {"bAceptar", false},
                                                      {"iCerrar", true},
                                                      {"escape", true},
                                                      {"sistema", true}};
        for (const auto& [como, abandonar] : casos) {
            finales = descargas = 0;
            QPointer<fMensajeSystem> ventana(new fMensajeSystem);
            ventana->setAbandonar(abandonar);
            ventana->show();
            const QString c = QString::fromLatin1(como);
            if (c == u"tiempo") {
                ventana->setTiempo(1);
            } else if (c == u"bAceptar") {
                ventana->findChild<QPushButton*>(c)->click();
            } else if (c == u"iCerrar") {
                QTest::mouseClick(ventana->findChild<QLabel*>(c), Qt::LeftButton);
            } else if (c == u"escape") {
                QTest::keyClick(ventana, Qt::Key_Escape);
            } else {
                QVERIFY(!ventana->close());
            }
            QTRY_VERIFY_WITH_TIMEOUT((borraPendientes(), ventana.isNull()), 20000);
            QVERIFY2(finales == (abandonar ? 1 : 0) && descargas == 1, como);
        }
    }

    // A window already low goes at once, with no shrinking left to wait for.
    void seVaSiYaEsBaja() {
        auto* ventana = new fMensajeSystem;
        ventana->show();
        ventana->resize(ventana->width(), 5);
        ventana->acepta();
        borraPendientes();
        QCOMPARE(descargas, 1);
    }

    void aceptaUnaSolaVez() {
        QPointer<fMensajeSystem> ventana(new fMensajeSystem);
        ventana->setAbandonar(true);
        ventana->setTiempo(1);
        ventana->show();
        // The button pressed while the window shrinks after its timer fired.
        QTimer::singleShot(1100, [&ventana] {
            if (ventana) {
                ventana->findChild<QPushButton*>(QStringLiteral("bAceptar"))->click();
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(ventana.isNull(), 20000);
        QTest::qWait(300);
        QCOMPARE(finales, 1);
    }

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

QTEST_MAIN(tst_fMensajeSystem)
#include "tst_fMensajeSystem.moc"
