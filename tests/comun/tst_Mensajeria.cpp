#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "comun/Mensajeria.h"
#include "comun/modTolvane1.h"
#include "platform/Fin.h"
#include "platform/Producto.h"
#include "support/MensajeriaGrabada.h"
#include "ui/fMensaje.h"
#include "ui/fMensajeSystem.h"

namespace {

int finales = 0;
void cuentaFinal() {
    ++finales;
}

// Runs alAbrir on the next modal window that opens (the call that opens it blocks the test).
void alAbrirseModal(std::function<void(QWidget*)> alAbrir) {
    auto* sondeo = new QTimer;
    QObject::connect(sondeo, &QTimer::timeout, [sondeo, alAbrir] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            return;
        }
        sondeo->stop();
        sondeo->deleteLater();
        alAbrir(modal);
    });
    sondeo->start(20);
}

fMensajeSystem* ventanaSistema() {
    for (QWidget* ventana : QApplication::topLevelWidgets()) {
        if (auto* sistema = qobject_cast<fMensajeSystem*>(ventana);
            sistema && sistema->isVisible()) {
            return sistema;
        }
    }
    return nullptr;
}

}  // namespace

class tst_Mensajeria : public QObject {
    Q_OBJECT

private slots:
    void init() {
        finales = 0;
        platform::estableceTerminacion(cuentaFinal);
    }
    void cleanup() { platform::estableceTerminacion(nullptr); }

    void grabadaSeInstalaYResponde() {
        modTolvane1::Mensajeria* original = &modTolvane1::mensajeria();
        {
            MensajeriaGrabada grabada;
            {
                MensajeriaGrabada anidada;
                QCOMPARE(&modTolvane1::mensajeria(), &anidada);
            }
            QCOMPARE(&modTolvane1::mensajeria(), &grabada);
            // A routing installed for a scope is gone even when the scope ends by an exception.
            try {
                const modTolvane1::MensajeriaInstalada ventanas(nullptr);
                QVERIFY(&modTolvane1::mensajeria() != &grabada);
                throw std::runtime_error("fallo");
            } catch (const std::runtime_error&) {
            }
            QCOMPARE(&modTolvane1::mensajeria(), &grabada);
            grabada.respuestas << true << false;
            QCOMPARE(modTolvane1::pregunta(QStringLiteral("uno")), true);
            QCOMPARE(modTolvane1::pregunta(QStringLiteral("dos")), false);
            QCOMPARE(modTolvane1::pregunta(QStringLiteral("tres")), false);
            grabada.respuestaPorDefecto = true;
            QCOMPARE(modTolvane1::pregunta(QStringLiteral("cuatro")), true);
            QCOMPARE(grabada.textos(MensajeriaGrabada::Clase::Pregunta),
                     (QStringList{"uno", "dos", "tres", "cuatro"}));
        }
        QCOMPARE(&modTolvane1::mensajeria(), original);
        QVERIFY(dynamic_cast<MensajeriaGrabada*>(original) == nullptr);
    }

    void muestraMensajePorTipo_data() {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("clave");
        QTest::newRow("exclamacion") << QStringLiteral("E") << QStringLiteral("exclamacion");
        QTest::newRow("otro") << QStringLiteral("X") << QString();
    }
    void muestraMensajePorTipo() {
        QFETCH(QString, tipo);
        QFETCH(QString, clave);
        QString titulo, claveVista;
        bool conImagen = false;
        alAbrirseModal([&](QWidget* modal) {
            auto* mensaje = qobject_cast<fMensaje*>(modal);
            QVERIFY(mensaje);
            titulo = mensaje->windowTitle();
            claveVista = mensaje->claveImagen();
            conImagen = !mensaje->findChild<QLabel*>(QStringLiteral("imagen"))->pixmap().isNull();
            mensaje->findChild<QPushButton*>(QStringLiteral("bAceptar"))->click();
        });
        modTolvane1::mensajeria().muestraMensaje(QStringLiteral("hola"), QStringLiteral("Título"),
                                                 tipo, 0);
        QCOMPARE(titulo, QStringLiteral("Título"));
        QCOMPARE(claveVista, clave);
        QCOMPARE(conImagen, !clave.isEmpty());
    }

    void avisoSeCierraSolo() {
        bool forzado = false;
        alAbrirseModal([&](QWidget* modal) {
            QTimer::singleShot(30000, modal, [&forzado, modal] {
                forzado = true;
                modal->close();
            });
        });
        QElapsedTimer reloj;
        reloj.start();
        modTolvane1::aviso(QStringLiteral("breve"), 1);
        QVERIFY(!forzado);
        QVERIFY(reloj.elapsed() >= 500);
    }

    void preguntaResponde() {
        for (const bool si : {true, false}) {
            QString titulo;
            QMessageBox::Icon icono = QMessageBox::NoIcon;
            alAbrirseModal([&](QWidget* modal) {
                auto* caja = qobject_cast<QMessageBox*>(modal);
                QVERIFY(caja);
                titulo = caja->windowTitle();
                icono = caja->icon();
                caja->button(si ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            QCOMPARE(modTolvane1::mensajeria().pregunta(QStringLiteral("¿Seguro?")), si);
            QCOMPARE(titulo, platform::nombreProducto());
            QCOMPARE(icono, QMessageBox::Question);
        }
    }

    void mensajeSistemaSinAbandonarSigue() {
        QWidget dueno;
        modTolvane1::mensajeria().mensajeSistema(QStringLiteral("a\rb"), &dueno, false, 0);
        fMensajeSystem* sistema = ventanaSistema();
        QVERIFY(sistema);
        QCOMPARE(sistema->parentWidget(), &dueno);
        QCOMPARE(sistema->geometry(), QRect(10, 10, sistema->width(), 150));
        QCOMPARE(sistema->findChild<QPlainTextEdit*>(QStringLiteral("tMensaje"))->toPlainText(),
                 QStringLiteral("a\nb"));
        QSignalSpy destruida(sistema, &QObject::destroyed);
        sistema->findChild<QPushButton*>(QStringLiteral("bAceptar"))->click();
        // Accepted outside any event loop: the deferred deletion needs a push.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(destruida.count(), 1);
        QCOMPARE(finales, 0);
    }

    void mensajeSistemaAbandona() {
        modTolvane1::mensajeria().mensajeSistema(QStringLiteral("adiós"), nullptr, true, 1);
        fMensajeSystem* sistema = ventanaSistema();
        QVERIFY(sistema);
        QCOMPARE(finales, 0);
        QSignalSpy destruida(sistema, &QObject::destroyed);
        QVERIFY(destruida.wait(20000));
        QCOMPARE(finales, 1);
    }

    void mensajeSistemaAceptadoAlAbrirse() {
        QTimer::singleShot(50, [] {
            if (fMensajeSystem* sistema = ventanaSistema()) {
                sistema->acepta();
            }
        });
        modTolvane1::mensajeria().mensajeSistema(QStringLiteral("pronto"), nullptr, true, 0);
        QTRY_COMPARE_WITH_TIMEOUT(finales, 1, 20000);
        QTRY_VERIFY(ventanaSistema() == nullptr);
    }
};

QTEST_MAIN(tst_Mensajeria)
#include "tst_Mensajeria.moc"
