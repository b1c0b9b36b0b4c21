#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "platform/Reloj.h"
#include "platform/Twips.h"
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

QString restante(const fProgreso& progreso) {
    return progreso.findChild<QLabel*>(QStringLiteral("eTiempoRestante"))->text();
}

}  // namespace

class tst_fProgreso : public QObject {
    Q_OBJECT

private slots:
    void init() { platform::estableceReloj(&reloj_); }
    void cleanup() { platform::estableceReloj(nullptr); }

    void controlesConNombre() {
        fProgreso progreso;
        for (const char* nombre : {"eCaption", "eBarraFondo", "eBarra"}) {
            QVERIFY2(progreso.findChild<QLabel*>(QString::fromLatin1(nombre)), nombre);
        }
        QCOMPARE(progreso.findChild<QLabel*>(QStringLiteral("eProgreso"))->text(),
                 QStringLiteral("Progreso"));
        QCOMPARE(restante(progreso), QStringLiteral("Tiempo Restante"));
        QVERIFY(progreso.findChild<QPushButton*>(QStringLiteral("bCancelar")));
        QCOMPARE(progreso.findChild<QFrame*>(QStringLiteral("borde"))->size(), progreso.size());
        QVERIFY(progreso.findChild<QFrame*>(QStringLiteral("Shape1")));
        QCOMPARE(progreso.windowTitle(), QStringLiteral("Progreso"));
    }

    void textoTiempoRestante_data() {
        QTest::addColumn<int>("segundos");
        QTest::addColumn<QString>("texto");
        QTest::newRow("3725") << 3725 << "Resta: 1 h. 2m.";
        QTest::newRow("3600") << 3600 << "Resta: 1 h. 0m.";
        QTest::newRow("7259") << 7259 << "Resta: 2 h. 0m.";
        QTest::newRow("125") << 125 << "Resta: 2 min. ";
        QTest::newRow("60") << 60 << "Resta: 1 min. ";
        QTest::newRow("59") << 59 << "Resta: 59 s.";
        QTest::newRow("6") << 6 << "Resta: 6 s.";
        QTest::newRow("5") << 5 << "";
        QTest::newRow("4") << 4 << "";
        QTest::newRow("negativo") << -20 << "";
    }

    void textoTiempoRestante() {
        QFETCH(int, segundos);
        QFETCH(QString, texto);
        QCOMPARE(fProgreso::textoTiempoRestante(segundos), texto);
    }

    void segundosRestantes_data() {
        QTest::addColumn<int>("transcurridos");
        QTest::addColumn<float>("ancho");
        QTest::addColumn<float>("paso");
        QTest::addColumn<int>("maximo");
        QTest::addColumn<int>("restantes");
        QTest::newRow("un decimo en 5 s") << 5 << 10.0f << 10.0f << 10 << 45;
        QTest::newRow("mitad en 30 s") << 30 << 50.0f << 10.0f << 10 << 30;
        QTest::newRow("todo") << 12 << 100.0f << 10.0f << 10 << 0;
        QTest::newRow("maximo cero") << 125 << 0.0f << 0.0f << 0 << 125;
        QTest::newRow("ancho cero") << 7 << 0.0f << 10.0f << 10 << 7;
    }

    void segundosRestantes() {
        QFETCH(int, transcurridos);
        QFETCH(float, ancho);
        QFETCH(float, paso);
        QFETCH(int, maximo);
        QFETCH(int, restantes);
        QCOMPARE(fProgreso::segundosRestantes(transcurridos, ancho, paso, maximo), restantes);
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
        QTest::newRow("maximo 0 en 125 s") << 0 << 1 << 125 << "Resta: 2 min. ";
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
        QCOMPARE(restante(progreso), texto);
    }

    void barraCrece() {
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("Copiando"), 4);
        QCOMPARE(progreso.findChild<QLabel*>(QStringLiteral("eCaption"))->text(),
                 QStringLiteral("Copiando "));
        auto* barra = progreso.findChild<QLabel*>(QStringLiteral("eBarra"));
        auto* fondo = progreso.findChild<QLabel*>(QStringLiteral("eBarraFondo"));
        QCOMPARE(barra->width(), 0);
        progreso.incrementaBarra(QStringLiteral("uno"), 2);
        QCOMPARE(progreso.findChild<QLabel*>(QStringLiteral("eProgreso"))->text(),
                 QStringLiteral("uno"));
        QVERIFY(qAbs(barra->width() - fondo->width() / 2) <= 2);
        progreso.incrementaBarra(QVariant(QMetaType(QMetaType::QString)), 2);
        QCOMPARE(progreso.findChild<QLabel*>(QStringLiteral("eProgreso"))->text(),
                 QStringLiteral("uno"));
        QVERIFY(qAbs(barra->width() - fondo->width()) <= 2);
    }

    void maximoCeroNoCrece() {
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("uno"), 4);
        progreso.iniciaContador(QStringLiteral("dos"), 0);
        progreso.incrementaBarra(QVariant(), 1);
        QCOMPARE(progreso.findChild<QLabel*>(QStringLiteral("eBarra"))->width(), 0);
    }

    void cierreRechazadoHastaElFinal() {
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("Copiando"), 3);
        progreso.incrementaBarra(QVariant(), 1);
        progreso.incrementaBarra(QVariant(), 1);
        QVERIFY(!progreso.close());
        QVERIFY(progreso.isVisible());
        QVERIFY(!progreso.terminado());
        progreso.incrementaBarra(QVariant(), 1);
        QVERIFY(progreso.terminado());
        QVERIFY(progreso.close());
        QVERIFY(!progreso.isVisible());
    }

    void nuevoContadorEmpiezaDeCero() {
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("uno"), 1);
        progreso.incrementaBarra(QVariant(), 1);
        QVERIFY(progreso.terminado());
        progreso.activaBarra(QStringLiteral("dos"), 2);
        progreso.incrementaBarra(QVariant(), 1);
        QVERIFY(!progreso.terminado());
        QVERIFY(!progreso.close());
    }

    void cancelarAvisaAlPadre() {
        Anfitrion anfitrion;
        anfitrion.resize(800, 600);
        auto* progreso = new fProgreso;
        progreso->activaBarra(QStringLiteral("Copiando"), 10, &anfitrion);
        QCOMPARE(progreso->parentWidget(), &anfitrion);
        QVERIFY(!progreso->isWindow());
        QVERIFY(!progreso->close());
        progreso->findChild<QPushButton*>(QStringLiteral("bCancelar"))->click();
        QCOMPARE(anfitrion.cancelaciones, 1);
        QVERIFY(progreso->cancelado());
        QVERIFY(progreso->close());
    }

    void cancelarSinMetodoEnElPadre() {
        QWidget padre;
        padre.resize(800, 600);
        fProgreso* progreso = new fProgreso;
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

    void colocacion() {
        QWidget padre;
        fProgreso progreso;
        progreso.activaBarra(QStringLiteral("Copiando"), 10);
        const QRect pantalla = progreso.screen()->geometry();
        QCOMPARE(progreso.geometry().right(), pantalla.right() - platform::aPixeles(200));
        QCOMPARE(progreso.geometry().bottom(), pantalla.bottom() - platform::aPixeles(1200));

        padre.move(300, 200);
        padre.resize(700, 500);
        progreso.presentaBarra(&padre);
        QCOMPARE(progreso.pos(), QPoint(700 - progreso.width() - platform::aPixeles(1200),
                                        500 - progreso.height() - platform::aPixeles(500)));
        progreso.presentaBarra(nullptr);
        QVERIFY(progreso.isWindow());
    }

    void arrastreDentroDelPadre() {
        QWidget padre;
        padre.resize(900, 700);
        padre.show();
        auto* progreso = new fProgreso;
        progreso->activaBarra(QStringLiteral("Copiando"), 10, &padre);
        const QPoint inicio = progreso->pos();
        auto* caption = progreso->findChild<QLabel*>(QStringLiteral("eCaption"));
        QTest::mousePress(caption, Qt::LeftButton, {}, QPoint(10, 5));
        QMouseEvent mover(QEvent::MouseMove, QPointF(-30, -15),
                          caption->mapToGlobal(QPointF(-30, -15)), Qt::NoButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(caption, &mover);
        QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(-30, -15));
        QCOMPARE(progreso->pos(), inicio - QPoint(40, 20));
    }

private:
    RelojManual reloj_;
};

QTEST_MAIN(tst_fProgreso)
#include "tst_fProgreso.moc"
