#include <QtTest>

#include "platform/ErrorEjecucion.h"

class TstErrorEjecucion : public QObject {
    Q_OBJECT
private slots:
    void llevaNumeroDescripcionYEstado() {
        try {
            throw platform::ErrorEjecucion(10008, QStringLiteral("No se encontró"),
                                           QStringLiteral("x"), QStringLiteral("HYT00"), 7);
        } catch (const std::exception& e) {
            auto* error = dynamic_cast<const platform::ErrorEjecucion*>(&e);
            QVERIFY(error);
            QCOMPARE(error->numero(), 10008);
            QCOMPARE(error->sqlState(), QStringLiteral("HYT00"));
            QCOMPARE(error->codigoNativo(), 7);
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("No se encontró"));
        }
    }
};

QTEST_GUILESS_MAIN(TstErrorEjecucion)
#include "tst_ErrorEjecucion.moc"
