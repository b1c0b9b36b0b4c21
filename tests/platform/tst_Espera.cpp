#include <QtTest>
#include <limits>

#include "platform/Espera.h"
#include "platform/Reloj.h"

namespace {

// A clock the test moves by hand.
class RelojManual : public platform::Reloj {
public:
    qint64 monotonoMs() const override { return ms; }
    QTime horaDelDia() const override { return hora; }
    qint64 ms = 0;
    QTime hora;
};

}  // namespace

class TstEspera : public QObject {
    Q_OBJECT
private slots:
    void cedeAtiendeLoPendiente() {
        bool atendido = false;
        QTimer::singleShot(0, this, [&] { atendido = true; });
        platform::cede();
        QVERIFY(atendido);
    }

    void esperaDejaCorrerLosTemporizadores() {
        int vueltas = 0;
        QTimer temporizador;
        connect(&temporizador, &QTimer::timeout, this, [&] { ++vueltas; });
        temporizador.start(10);
        QElapsedTimer medido;
        medido.start();
        platform::esperaMs(200);
        QVERIFY(medido.elapsed() >= 190);
        QVERIFY(vueltas >= 3);
    }

    void esperaNoGastaProcesador() {
        const std::clock_t antes = std::clock();
        platform::esperaSegundos(0.3);
        const double cpu = double(std::clock() - antes) / CLOCKS_PER_SEC;
        QVERIFY2(cpu < 0.15, qPrintable(QString::number(cpu)));
    }

    void esperaSinDuracionSoloCede_data() {
        QTest::addColumn<double>("segundos");
        QTest::newRow("cero") << 0.0;
        QTest::newRow("negativa") << -5.0;
        QTest::newRow("no es numero") << std::numeric_limits<double>::quiet_NaN();
    }
    void esperaSinDuracionSoloCede() {
        QFETCH(double, segundos);
        bool atendido = false;
        QTimer::singleShot(0, this, [&] { atendido = true; });
        QElapsedTimer medido;
        medido.start();
        platform::esperaSegundos(segundos);
        QVERIFY(atendido);
        QVERIFY(medido.elapsed() < 5000);
    }

    void condicionCumplidaTermina() {
        bool listo = false;
        QTimer::singleShot(30, this, [&] { listo = true; });
        QVERIFY(platform::esperaCondicion([&] { return listo; }, 60000, 5));
    }

    void condicionVenceConElRelojMonotono() {
        RelojManual reloj;
        platform::estableceReloj(&reloj);
        int miradas = 0;
        // Time jumps one minute at every look: the five-minute limit is reached after five.
        const bool hecho = platform::esperaCondicion(
            [&] {
                ++miradas;
                reloj.ms += 60000;
                return false;
            },
            300000, 1);
        platform::estableceReloj(nullptr);
        QVERIFY(!hecho);
        QVERIFY(miradas >= 5 && miradas <= 7);
    }

    void segundosDesdeMedianoche_data() {
        QTest::addColumn<QTime>("hora");
        QTest::addColumn<double>("segundos");
        QTest::newRow("medianoche") << QTime(0, 0) << 0.0;
        QTest::newRow("mediodia y medio segundo") << QTime(12, 0, 0, 500) << 43200.5;
        QTest::newRow("ultimo segundo") << QTime(23, 59, 59, 999) << 86399.999;
    }
    void segundosDesdeMedianoche() {
        QFETCH(QTime, hora);
        QFETCH(double, segundos);
        RelojManual reloj;
        reloj.hora = hora;
        platform::estableceReloj(&reloj);
        const double leido = platform::segundosDesdeMedianoche();
        platform::estableceReloj(nullptr);
        QCOMPARE(leido, segundos);
    }

    void relojDelSistemaAvanza() {
        const qint64 antes = platform::reloj().monotonoMs();
        platform::esperaMs(20);
        QVERIFY(platform::reloj().monotonoMs() - antes >= 15);
    }
};

QTEST_GUILESS_MAIN(TstEspera)
#include "tst_Espera.moc"
