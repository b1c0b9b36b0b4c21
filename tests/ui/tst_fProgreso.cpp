#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "platform/Reloj.h"
#include "ui/fProgreso.h"

namespace {

// A clock the test moves by hand.
class RelojManual : public platform::Reloj {
public:
    qint64 ms = 1000000;
    qint64 monotonoMs() const override { return ms; }
};

// A window that wants to hear about a cancel.
class Anfitrion : public QWidget {
    Q_OBJECT
public:
    int cancelaciones = 0;
    Q_INVOKABLE void cancelaProgreso() { ++cancelaciones; }
};

QString etiqueta(const QWidget& progreso, const char* nombre) {
    return progreso.findChild<QLabel*>(QString::fromLatin1(nombre))->text();
}

int anchoBarra(const QWidget& progreso) {
    return progreso.findChild<QLabel*>(QStringLiteral("eBarra"))->width();
}

}  // namespace

class tst_fProgreso : public QObject {
    Q_OBJECT

    RelojManual reloj_;
    const platform::RelojInstalado instalado_{&reloj_};

private slots:
    // The texts an estimate gives (below) are not repeated here.
    void textoTiempoRestante() {
        const std::pair<int, const char*> casos[] = {{3600, "Resta: 1 h. 0m."},
                                                     {60, "Resta: 1 min. "},
                                                     {59, "Resta: 59 s."},
                                                     {5, ""},
                                                     {-20, ""}};
        for (const auto& [segundos, texto] : casos) {
            QCOMPARE(fProgreso::textoTiempoRestante(segundos), QString(texto));
        }
        // An estimate from a bar that has not moved is the time so far, not a division by 0.
        QCOMPARE(fProgreso::segundosRestantes(7, 0.0f, 10.0f, 10), 7);
    }

    void estimacionPorPasos() {
        const struct {
            int maximo, pasos, segundos;
            const char* texto;
        } casos[] = {{4, 1, 1241, "Resta: 1 h. 2m."},
                     {2, 1, 125, "Resta: 2 min. "},
                     {4, 3, 18, "Resta: 6 s."},
                     {4, 3, 12, ""},
                     {0, 2, 3725, "Resta: 1 h. 2m."}};
        for (const auto& c : casos) {
            fProgreso progreso;
            progreso.activaBarra(QStringLiteral("Copiando"), c.maximo);
            reloj_.ms += qint64(c.segundos) * 1000;
            for (int i = 0; i < c.pasos; ++i) {
                progreso.incrementaBarra(QVariant(), 1);
            }
            QCOMPARE(etiqueta(progreso, "eTiempoRestante"), QString(c.texto));
        }
    }

    void barraCrece() {
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("Copiando"), 4);
        progreso.incrementaBarra(QStringLiteral("uno"), 2);
        QCOMPARE(etiqueta(progreso, "eProgreso"), QStringLiteral("uno"));
        // A null text leaves the last one.
        progreso.incrementaBarra(QVariant(QMetaType(QMetaType::QString)), 2);
        QCOMPARE(etiqueta(progreso, "eProgreso"), QStringLiteral("uno"));
        // A counter with maximum 0 has no bar to grow.
        progreso.iniciaContador(QStringLiteral("dos"), 0);
        progreso.incrementaBarra(QVariant(), 1);
        QCOMPARE(anchoBarra(progreso), 0);
    }

    void cierreRechazadoHastaElFinal() {
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("Copiando"), 3);
        // The window ends at the last step, whatever size the steps were.
        progreso.incrementaBarra(QVariant(), 2);
        progreso.incrementaBarra(QVariant(), 2);
        QVERIFY(!progreso.close());
        QVERIFY(progreso.isVisible());
        progreso.incrementaBarra(QVariant(), 1);
        QVERIFY(progreso.terminado());
        // A new counter starts again from nothing.
        progreso.activaBarra(QStringLiteral("dos"), 2);
        progreso.incrementaBarra(QVariant(), 1);
        QVERIFY(!progreso.close());
        progreso.incrementaBarra(QVariant(), 1);
        QVERIFY(progreso.close());
        QVERIFY(!progreso.isVisible());
    }

    void cancelar() {
        Anfitrion anfitrion;
        auto* progreso = new fProgreso;
        progreso->activaBarra(QStringLiteral("Copiando"), 10, &anfitrion);
        QVERIFY(!progreso->close());
        progreso->findChild<QPushButton*>(QStringLiteral("bCancelar"))->click();
        QCOMPARE(anfitrion.cancelaciones, 1);
        QVERIFY(progreso->cancelado());
        QVERIFY(progreso->close());
        // A parent without cancelaProgreso is no fault.
        QWidget padre;
        progreso->activaBarra(QStringLiteral("Copiando"), 10, &padre);
        progreso->findChild<QPushButton*>(QStringLiteral("bCancelar"))->click();
        QVERIFY(progreso->cancelado());
        // Unloading cancels and hides; presenting again clears the cancel.
        progreso->presentaBarra(nullptr);
        QVERIFY(progreso->isWindow());
        QVERIFY(!progreso->cancelado());
        progreso->activaBarra(QStringLiteral("Copiando"), 10);
        progreso->descarga();
        QVERIFY(progreso->cancelado());
        QVERIFY(!progreso->isVisible());
        delete progreso;
    }
};

QTEST_MAIN(tst_fProgreso)
#include "tst_fProgreso.moc"
