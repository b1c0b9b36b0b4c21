#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "platform/Fin.h"
#include "platform/Twips.h"
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

    void controlesConNombre() {
        fMensajeSystem ventana;
        auto* caption = ventana.findChild<QLabel*>(QStringLiteral("eCaption"));
        QVERIFY(caption);
        QCOMPARE(caption->text(), QStringLiteral(" Mensaje del Sistema: "));
        QVERIFY(ventana.findChild<QPlainTextEdit*>(QStringLiteral("tMensaje")));
        QCOMPARE(ventana.findChild<QPushButton*>(QStringLiteral("bAceptar"))->text(),
                 QStringLiteral("Aceptar"));
        QVERIFY(!ventana.findChild<QLabel*>(QStringLiteral("iCerrar"))->pixmap().isNull());
        QVERIFY(
            !ventana.findChild<QTimer*>(QStringLiteral("timAceptaAutomaticamente"))->isActive());
        QVERIFY(ventana.findChild<QFrame*>(QStringLiteral("marco")));
        QVERIFY(ventana.windowFlags() & Qt::FramelessWindowHint);
    }

    void textoSellaCaption() {
        fMensajeSystem ventana;
        ventana.setTexto(QStringLiteral("uno\rdos"));
        const QString caption = ventana.findChild<QLabel*>(QStringLiteral("eCaption"))->text();
        QVERIFY(caption.startsWith(QStringLiteral(" Mensaje del Sistema: ")));
        QVERIFY(caption.contains(QString::number(QDate::currentDate().year() % 100)));
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

    void aceptaSolaConTiempo() {
        QPointer<fMensajeSystem> ventana(new fMensajeSystem);
        ventana->setTiempo(1);
        ventana->show();
        QTRY_VERIFY_WITH_TIMEOUT(ventana.isNull(), 20000);
        QCOMPARE(finales, 0);
        QCOMPARE(descargas, 1);
    }

    void aceptar_data() {
        QTest::addColumn<QString>("como");
        QTest::addColumn<bool>("abandonar");
        QTest::newRow("boton") << "bAceptar" << false;
        QTest::newRow("boton abandona") << "bAceptar" << true;
        QTest::newRow("cerrar") << "iCerrar" << false;
        QTest::newRow("cerrar abandona") << "iCerrar" << true;
        QTest::newRow("escape abandona") << "escape" << true;
        QTest::newRow("sistema abandona") << "sistema" << true;
    }

    void aceptar() {
        QFETCH(QString, como);
        QFETCH(bool, abandonar);
        QPointer<fMensajeSystem> ventana(new fMensajeSystem);
        ventana->setAbandonar(abandonar);
        ventana->show();
        if (como == QLatin1String("bAceptar")) {
            ventana->findChild<QPushButton*>(como)->click();
        } else if (como == QLatin1String("iCerrar")) {
            QTest::mouseClick(ventana->findChild<QLabel*>(como), Qt::LeftButton);
        } else if (como == QLatin1String("escape")) {
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
    }

    void bajaSinAnimacion() {
        auto* ventana = new fMensajeSystem;
        ventana->show();
        ventana->resize(ventana->width(), 5);
        int pasos = 0;
        QTimer muestreo;
        connect(&muestreo, &QTimer::timeout, [&] { ++pasos; });
        muestreo.start(0);
        ventana->acepta();
        QCOMPARE(pasos, 0);
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

    void arrastrePorCaption() {
        fMensajeSystem ventana;
        ventana.move(100, 100);
        ventana.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ventana));
        auto* caption = ventana.findChild<QLabel*>(QStringLiteral("eCaption"));
        const QPoint inicio = ventana.pos();
        QTest::mousePress(caption, Qt::LeftButton, {}, QPoint(20, 5));
        QMouseEvent mover(QEvent::MouseMove, QPointF(50, 25), caption->mapToGlobal(QPointF(50, 25)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(caption, &mover);
        QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(50, 25));
        QCOMPARE(ventana.pos(), inicio + QPoint(30, 20));
    }
};

QTEST_MAIN(tst_fMensajeSystem)
#include "tst_fMensajeSystem.moc"
