#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "platform/Fin.h"
#include "platform/Twips.h"
#include "support/Arrastre.h"
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

QLabel* caption(const fMensajeSystem& ventana) {
    return ventana.findChild<QLabel*>(QStringLiteral("eCaption"));
}

}  // namespace

class tst_fMensajeSystem : public QObject {
    Q_OBJECT

private slots:
    void init() {
        finales = 0;
        descargas = 0;
        platform::estableceTerminacion(cuentaFinal);
        fMensajeSystem::estableceAlDescargar(cuentaDescarga);
    }

    void cleanup() {
        platform::estableceTerminacion(nullptr);
        fMensajeSystem::estableceAlDescargar(nullptr);
    }

    void textoSellaCaption() {
        fMensajeSystem ventana;
        QCOMPARE(caption(ventana)->text(), QStringLiteral(" Mensaje del Sistema: "));
        ventana.setTexto(QStringLiteral("uno\rdos"));
        QVERIFY(caption(ventana)->text().startsWith(QStringLiteral(" Mensaje del Sistema: ")));
        QVERIFY(
            caption(ventana)->text().contains(QString::number(QDate::currentDate().year() % 100)));
        QCOMPARE(ventana.findChild<QPlainTextEdit*>(QStringLiteral("tMensaje"))->toPlainText(),
                 QStringLiteral("uno\ndos"));
    }

    void tiempo_data() {
        QTest::addColumn<int>("segundos");
        QTest::addColumn<bool>("activo");
        QTest::addColumn<int>("intervalo");
        QTest::newRow("treinta") << 30 << true << 30000;
        QTest::newRow("cero") << 0 << false << 0;
        QTest::newRow("negativo") << -3 << false << 0;
        QTest::newRow("enorme") << 5000000 << true << std::numeric_limits<int>::max();
    }
    void tiempo() {
        QFETCH(int, segundos);
        QFETCH(bool, activo);
        QFETCH(int, intervalo);
        fMensajeSystem ventana;
        ventana.setTiempo(segundos);
        QCOMPARE(ventana.tiempo(), segundos);
        auto* tim = ventana.findChild<QTimer*>(QStringLiteral("timAceptaAutomaticamente"));
        QCOMPARE(tim->isActive(), activo);
        if (activo) {
            QCOMPARE(tim->interval(), intervalo);
        }
    }

    void aceptar_data() {
        QTest::addColumn<QString>("como");
        QTest::addColumn<bool>("abandonar");
        QTest::newRow("tiempo") << QStringLiteral("tiempo") << false;
        QTest::newRow("boton") << QStringLiteral("bAceptar") << false;
        QTest::newRow("cerrar abandona") << QStringLiteral("iCerrar") << true;
        QTest::newRow("escape abandona") << QStringLiteral("escape") << true;
        QTest::newRow("sistema abandona") << QStringLiteral("sistema") << true;
    }
    void aceptar() {
        QFETCH(QString, como);
        QFETCH(bool, abandonar);
        QPointer<fMensajeSystem> ventana(new fMensajeSystem);
        ventana->setAbandonar(abandonar);
        ventana->show();
        if (como == u"tiempo") {
            ventana->setTiempo(1);
        } else if (como == u"bAceptar") {
            ventana->findChild<QPushButton*>(como)->click();
        } else if (como == u"iCerrar") {
            QTest::mouseClick(ventana->findChild<QLabel*>(como), Qt::LeftButton);
        } else if (como == u"escape") {
            QTest::keyClick(ventana, Qt::Key_Escape);
        } else {
            QVERIFY(!ventana->close());
        }
        QTRY_VERIFY_WITH_TIMEOUT((borraPendientes(), ventana.isNull()), 20000);
        QCOMPARE(finales, abandonar ? 1 : 0);
        QCOMPARE(descargas, 1);
    }

    void seEncogeAlAceptar() {
        auto* ventana = new fMensajeSystem;
        ventana->show();
        QList<int> altos;
        QTimer muestreo;
        connect(&muestreo, &QTimer::timeout, [&] { altos << ventana->height(); });
        muestreo.start(1);
        ventana->acepta();
        muestreo.stop();
        borraPendientes();
        QVERIFY(altos.size() > 2);
        QVERIFY(altos.first() > altos.last());
        QVERIFY(altos.last() <= platform::aPixeles(fMensajeSystem::kAltoAbierto) / 4);
        // Already low, it goes at once.
        ventana = new fMensajeSystem;
        ventana->show();
        ventana->resize(ventana->width(), 5);
        altos.clear();
        muestreo.start(0);
        ventana->acepta();
        QVERIFY(altos.isEmpty());
        borraPendientes();
        QCOMPARE(descargas, 2);
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

    void arrastrePorCaption() {
        fMensajeSystem ventana;
        ventana.move(100, 100);
        ventana.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ventana));
        const QPoint inicio = ventana.pos();
        prueba::arrastra(caption(ventana), QPoint(20, 5), QPoint(50, 25));
        QCOMPARE(ventana.pos(), inicio + QPoint(30, 20));
    }
};

QTEST_MAIN(tst_fMensajeSystem)
#include "tst_fMensajeSystem.moc"
