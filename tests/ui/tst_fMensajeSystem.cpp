#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "platform/Fin.h"
#include "platform/Instalado.h"
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

    const platform::TerminacionInstalada fin_{cuentaFinal};
    const platform::Instalado<fMensajeSystem::AlDescargar, &fMensajeSystem::estableceAlDescargar>
        alDescargar_{cuentaDescarga};

private slots:
    void init() {
        finales = 0;
        descargas = 0;
    }

    void textoSellaCaption() {
        fMensajeSystem ventana;
        ventana.setTexto(QStringLiteral("uno"));
        QVERIFY(caption(ventana)->text().startsWith(QString::fromLatin1(fMensajeSystem::kCaption)));
        QVERIFY(
            caption(ventana)->text().contains(QString::number(QDate::currentDate().year() % 100)));
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
