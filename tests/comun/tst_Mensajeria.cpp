#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
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

using Clase = MensajeriaGrabada::Clase;

class tst_Mensajeria : public QObject {
    Q_OBJECT

    const platform::TerminacionInstalada fin_{cuentaFinal};

private slots:
    void init() { finales = 0; }

    void instaladaVuelveALaAnterior() {
        modTolvane1::Mensajeria* original = &modTolvane1::mensajeria();
        {
            MensajeriaGrabada grabada;
            // A routing installed for a scope gives the one before it back.
            {
                const modTolvane1::MensajeriaInstalada ventanas(nullptr);
                QVERIFY(&modTolvane1::mensajeria() != &grabada);
            }
            QCOMPARE(&modTolvane1::mensajeria(), &grabada);
        }
        QCOMPARE(&modTolvane1::mensajeria(), original);
    }

    // The module's calls reach the routing with the title, type and time, and lone CRs made CR LF.
    void textosPorLaMensajeria() {
        MensajeriaGrabada grabada;
        modTolvane1::aviso(QStringLiteral("En unos segundos volverá a iniciarse la aplicación."),
                           3);
        QCOMPARE(grabada.registros.size(), 1);
        QCOMPARE(grabada.registros.last().clase, Clase::Mensaje);
        QCOMPARE(grabada.registros.last().titulo, platform::tituloProducto());
        QCOMPARE(grabada.registros.last().tipo, QStringLiteral("E"));
        QCOMPARE(grabada.registros.last().segundos, 3);
        const std::pair<const char*, const char*> casos[] = {
            {"uno\rdos\r", "uno\r\ndos\r\n"}, {"a\r\r\nb\nc\r", "a\r\n\r\nb\nc\r\n"}};
        for (const auto& [texto, mostrado] : casos) {
            grabada.registros.clear();
            modTolvane1::muestraMensaje(texto, QStringLiteral("Título"), QStringLiteral("I"), 2);
            modTolvane1::mensajeSistema(texto, nullptr, true, 5000, QStringLiteral("sin uso"));
            QCOMPARE(grabada.registros.size(), 2);
            const MensajeriaGrabada::Registro& m = grabada.registros.at(0);
            QCOMPARE(QStringList({m.texto, m.titulo, m.tipo}),
                     QStringList({mostrado, "Título", "I"}));
            QCOMPARE(m.segundos, 2);
            const MensajeriaGrabada::Registro& s = grabada.registros.at(1);
            QCOMPARE(s.clase, Clase::Sistema);
            QCOMPARE(s.texto, QString(mostrado));
            QVERIFY(s.abandonar);
            QCOMPARE(s.segundos, 5000);
        }
    }

    void muestraMensajePorTipo() {
        for (const auto& [tipo, clave] : {std::pair{"E", "exclamacion"}, std::pair{"X", ""}}) {
            QString titulo, claveVista;
            alAbrirseModal([&](QWidget* modal) {
                auto* mensaje = qobject_cast<fMensaje*>(modal);
                QVERIFY(mensaje);
                titulo = mensaje->windowTitle();
                claveVista = mensaje->claveImagen();
                mensaje->findChild<QPushButton*>(QStringLiteral("bAceptar"))->click();
            });
            modTolvane1::mensajeria().muestraMensaje("hola", "Título", tipo, 0);
            QCOMPARE(titulo, QStringLiteral("Título"));
            QCOMPARE(claveVista, QString(clave));
        }
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
            alAbrirseModal([&](QWidget* modal) {
                auto* caja = qobject_cast<QMessageBox*>(modal);
                QVERIFY(caja);
                caja->button(si ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            QCOMPARE(modTolvane1::mensajeria().pregunta(QStringLiteral("¿Seguro?")), si);
        }
    }

    // The window is its owner's and goes by its timer; only one that is to leave ends the
    // program when it goes, by its timer or accepted as it opens.
    void mensajeSistema() {
        for (const bool abandonar : {false, true}) {
            QWidget dueno;
            modTolvane1::mensajeria().mensajeSistema(QStringLiteral("a\rb"), &dueno, abandonar, 1);
            fMensajeSystem* sistema = ventanaSistema();
            QVERIFY(sistema);
            QCOMPARE(sistema->parentWidget(), &dueno);
            QSignalSpy destruida(sistema, &QObject::destroyed);
            QVERIFY(destruida.wait(20000));
            QCOMPARE(finales, abandonar ? 1 : 0);
        }
        QTimer::singleShot(50, [] {
            if (fMensajeSystem* otro = ventanaSistema()) {
                otro->acepta();
            }
        });
        modTolvane1::mensajeria().mensajeSistema(QStringLiteral("pronto"), nullptr, true, 0);
        QTRY_COMPARE_WITH_TIMEOUT(finales, 2, 20000);
        QTRY_VERIFY(ventanaSistema() == nullptr);
    }
};

QTEST_MAIN(tst_Mensajeria)
#include "tst_Mensajeria.moc"
