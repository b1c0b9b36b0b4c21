#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "platform/Fin.h"
#include "platform/Instalado.h"
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
};

QTEST_MAIN(tst_fMensajeSystem)
#include "tst_fMensajeSystem.moc"
