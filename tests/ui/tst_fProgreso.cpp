#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "platform/Reloj.h"
#include "platform/Twips.h"
#include "support/Arrastre.h"
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

private slots:
    void init() { platform::estableceReloj(&reloj_); }
    void cleanup() { platform::estableceReloj(nullptr); }

    void textoTiempoRestante_data() {
        QTest::addColumn<int>("segundos");
        QTest::addColumn<QString>("texto");
        const auto f = [](int s, const char* texto) {
            QTest::addRow("%d", s) << s << QString(texto);
        };
        f(3725, "Resta: 1 h. 2m.");
        f(3600, "Resta: 1 h. 0m.");
        f(125, "Resta: 2 min. ");
        f(60, "Resta: 1 min. ");
        f(59, "Resta: 59 s.");
        f(6, "Resta: 6 s.");
        f(5, "");
        f(-20, "");
    }
    void textoTiempoRestante() {
        QFETCH(int, segundos);
        QFETCH(QString, texto);
        QCOMPARE(fProgreso::textoTiempoRestante(segundos), texto);
    }

    void estimacionPorPasos_data() {
        QTest::addColumn<int>("maximo");
        QTest::addColumn<int>("pasos");
        QTest::addColumn<int>("segundos");
        QTest::addColumn<QString>("texto");
        QTest::newRow("un paso de 4 en 1241 s") << 4 << 1 << 1241 << "Resta: 1 h. 2m.";
        QTest::newRow("un paso de 2 en 125 s") << 2 << 1 << 125 << "Resta: 2 min. ";
        QTest::newRow("tres de 4 en 18 s") << 4 << 3 << 18 << "Resta: 6 s.";
        QTest::newRow("tres de 4 en 12 s") << 4 << 3 << 12 << "";
        QTest::newRow("maximo 0 en 3725 s") << 0 << 2 << 3725 << "Resta: 1 h. 2m.";
    }
    void estimacionPorPasos() {
        QFETCH(int, maximo);
        QFETCH(int, pasos);
        QFETCH(int, segundos);
        QFETCH(QString, texto);
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("Copiando"), maximo);
        reloj_.ms += qint64(segundos) * 1000;
        for (int i = 0; i < pasos; ++i) {
            progreso.incrementaBarra(QVariant(), 1);
        }
        QCOMPARE(etiqueta(progreso, "eTiempoRestante"), texto);
    }

    void barraCrece() {
        // An estimate from a bar that has not moved is the time so far, not a division by 0.
        QCOMPARE(fProgreso::segundosRestantes(7, 0.0f, 10.0f, 10), 7);
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("Copiando"), 4);
        QCOMPARE(etiqueta(progreso, "eCaption"), QStringLiteral("Copiando "));
        const int fondo = progreso.findChild<QLabel*>(QStringLiteral("eBarraFondo"))->width();
        QCOMPARE(anchoBarra(progreso), 0);
        progreso.incrementaBarra(QStringLiteral("uno"), 2);
        QCOMPARE(etiqueta(progreso, "eProgreso"), QStringLiteral("uno"));
        QVERIFY(qAbs(anchoBarra(progreso) - fondo / 2) <= 2);
        // A null text leaves the last one.
        progreso.incrementaBarra(QVariant(QMetaType(QMetaType::QString)), 2);
        QCOMPARE(etiqueta(progreso, "eProgreso"), QStringLiteral("uno"));
        QVERIFY(qAbs(anchoBarra(progreso) - fondo) <= 2);
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

    void cancelarAvisaAlPadre() {
        Anfitrion anfitrion;
        auto* progreso = new fProgreso;
        progreso->activaBarra(QStringLiteral("Copiando"), 10, &anfitrion);
        QCOMPARE(progreso->parentWidget(), &anfitrion);
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
    }

    void descargaCancelaYCierra() {
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("Copiando"), 10);
        progreso.descarga();
        QVERIFY(progreso.cancelado());
        QVERIFY(!progreso.isVisible());
        progreso.presentaBarra(nullptr);
        QVERIFY(!progreso.cancelado());
    }

    void colocacionYArrastre() {
        QWidget padre;
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("Copiando"), 10);
        const QRect pantalla = progreso.screen()->geometry();
        QCOMPARE(progreso.geometry().right(), pantalla.right() - platform::aPixeles(200));
        QCOMPARE(progreso.geometry().bottom(), pantalla.bottom() - platform::aPixeles(1200));

        padre.resize(700, 500);
        padre.show();
        progreso.presentaBarra(&padre);
        const QPoint inicio(700 - progreso.width() - platform::aPixeles(1200),
                            500 - progreso.height() - platform::aPixeles(500));
        QCOMPARE(progreso.pos(), inicio);
        prueba::arrastra(progreso.findChild<QLabel*>(QStringLiteral("eCaption")), QPoint(10, 5),
                         QPoint(-30, -15));
        QCOMPARE(progreso.pos(), inicio - QPoint(40, 20));
        progreso.presentaBarra(nullptr);
        QVERIFY(progreso.isWindow());
    }

private:
    RelojManual reloj_;
};

QTEST_MAIN(tst_fProgreso)
#include "tst_fProgreso.moc"
