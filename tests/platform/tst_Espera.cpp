#include <QtTest>
#include <limits>

#include "platform/Espera.h"
#include "platform/Reloj.h"

namespace {

// A clock the test moves by hand; installed while it lives.
class RelojManual : public platform::Reloj {
public:
    RelojManual() { platform::estableceReloj(this); }
    ~RelojManual() override { platform::estableceReloj(nullptr); }
    qint64 monotonoMs() const override { return ms; }
    QTime horaDelDia() const override { return hora; }
    qint64 ms = 0;
    QTime hora;
};

}  // namespace

class TstEspera : public QObject {
    Q_OBJECT
private slots:
    void esperaDejaCorrerLosTemporizadoresSinGastar() {
        int vueltas = 0;
        QTimer temporizador;
        connect(&temporizador, &QTimer::timeout, this, [&] { ++vueltas; });
        temporizador.start(10);
        const qint64 antes = platform::reloj().monotonoMs();
        const std::clock_t cpuAntes = std::clock();
        platform::esperaSegundos(0.3);
        const double cpu = double(std::clock() - cpuAntes) / CLOCKS_PER_SEC;
        QVERIFY(platform::reloj().monotonoMs() - antes >= 290);
        QVERIFY(vueltas >= 3);
        QVERIFY2(cpu < 0.15, qPrintable(QString::number(cpu)));
    }

    void esperaSinDuracionSoloCede() {
        for (const double segundos : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN()}) {
            bool atendido = false;
            QTimer::singleShot(0, this, [&] { atendido = true; });
            QElapsedTimer medido;
            medido.start();
            platform::esperaSegundos(segundos);
            QVERIFY(atendido);
            QVERIFY(medido.elapsed() < 5000);
        }
    }

    void condicionCumplidaTermina() {
        bool listo = false;
        QTimer::singleShot(30, this, [&] { listo = true; });
        QVERIFY(platform::esperaCondicion([&] { return listo; }, 60000, 5));
    }

    void condicionVenceConElRelojMonotono() {
        RelojManual reloj;
        int miradas = 0;
        // Time jumps one minute at every look: the five-minute limit is reached after five.
        const auto mira = [&] {
            ++miradas;
            reloj.ms += 60000;
            return false;
        };
        QVERIFY(!platform::esperaCondicion(mira, 300000, 1));
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
        QCOMPARE(platform::segundosDesdeMedianoche(), segundos);
    }
};

QTEST_GUILESS_MAIN(TstEspera)
#include "tst_Espera.moc"
