#include <QtTest>
#include <limits>

#include "platform/Espera.h"
#include "platform/Reloj.h"

namespace {

// A clock the test moves by hand; installed while it lives.
struct RelojManual : platform::Reloj {
    qint64 monotonoMs() const override { return ms; }
    QTime horaDelDia() const override { return hora; }
    qint64 ms = 0;
    QTime hora;
    platform::RelojInstalado puesto{this};
};

}  // namespace

class TstEspera : public QObject {
    Q_OBJECT
private slots:
    void esperaSegundos() {
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

    // A condition met in time is every end-to-end run's wait for the launched program.
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

    void segundosDesdeMedianoche() {
        RelojManual reloj;
        const std::pair<QTime, double> casos[] = {{QTime(0, 0), 0.0},
                                                  {QTime(12, 0, 0, 500), 43200.5},
                                                  {QTime(23, 59, 59, 999), 86399.999}};
        for (const auto& [hora, segundos] : casos) {
            reloj.hora = hora;
            QCOMPARE(platform::segundosDesdeMedianoche(), segundos);
        }
    }
};

QTEST_GUILESS_MAIN(TstEspera)
#include "tst_Espera.moc"
