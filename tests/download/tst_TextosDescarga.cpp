#include <QtTest>

#include "download/TextosDescarga.h"

class TstTextosDescarga : public QObject {
    Q_OBJECT
private slots:
    void tiempoQueda_data() {
        QTest::addColumn<qint32>("restanteMs");
        QTest::addColumn<QString>("texto");
        QTest::newRow("nada") << 0 << "";
        QTest::newRow("negativo") << -5000 << "";
        QTest::newRow("un segundo justo") << 1000 << "";
        QTest::newRow("poco mas de un segundo") << 1001 << " 1 s. ";
        QTest::newRow("1500 redondea a par arriba") << 1500 << " 2 s. ";
        QTest::newRow("2500 redondea a par abajo") << 2500 << " 2 s. ";
        QTest::newRow("sesenta segundos quedan en segundos") << 60000 << " 60 s. ";
        QTest::newRow("61 segundos") << 61000 << " 1 m.  1 s. ";
        QTest::newRow("minuto justo sin segundos") << 120000 << " 2 m. ";
        QTest::newRow("sesenta minutos quedan en minutos") << 3600000 << " 60 m. ";
        QTest::newRow("hora con minutos y segundos") << 3725000 << " 1 H.  2 m.  5 s. ";
        QTest::newRow("veinticuatro horas quedan en horas")
            << 24 * 3600000 + 60000 << " 24 H.  1 m. ";
        QTest::newRow("dias") << 25 * 3600000 + 61000 << "1 Días  1 H.  1 m.  1 s. ";
        QTest::newRow("maximo") << 2147483647 << "24 Días  20 H.  31 m.  24 s. ";
    }
    void tiempoQueda() {
        QFETCH(qint32, restanteMs);
        QFETCH(QString, texto);
        QCOMPARE(TextosDescarga::textoTiempoQueda(restanteMs), texto);
    }

    void velocidad_data() {
        QTest::addColumn<qint32>("bytesPorSegundo");
        QTest::addColumn<QChar>("separador");
        QTest::addColumn<QString>("texto");
        QTest::newRow("kilo y medio") << 1536 << QChar(u'.') << "1.50 Kb./s";
        QTest::newRow("coma del idioma") << 1536 << QChar(u',') << "1,50 Kb./s";
        QTest::newRow("cero") << 0 << QChar(u'.') << "0.00 Kb./s";
        QTest::newRow("menos de un kilo") << 512 << QChar(u'.') << "0.50 Kb./s";
        QTest::newRow("miles sin separador") << 10485760 << QChar(u'.') << "10240.00 Kb./s";
        QTest::newRow("redondeo") << 1000 << QChar(u'.') << "0.98 Kb./s";
    }
    void velocidad() {
        QFETCH(qint32, bytesPorSegundo);
        QFETCH(QChar, separador);
        QFETCH(QString, texto);
        QCOMPARE(TextosDescarga::textoVelocidad(bytesPorSegundo, separador), texto);
    }

    void conexion_data() {
        QTest::addColumn<qint32>("tipo");
        QTest::addColumn<QString>("sid");
        QTest::addColumn<QString>("texto");
        QTest::newRow("access") << 0 << ""
                                << "Conexion: MS Access Servidor: srv, 1433. BDD: db";
        QTest::newRow("sql server") << 1 << ""
                                    << "Conexion: SQL Server Servidor: srv, 1433. BDD: db";
        QTest::newRow("mysql") << 2 << ""
                               << "Conexion: MySQL Servidor: srv, 1433. BDD: db";
        QTest::newRow("oracle con sid") << 3 << "ORCL"
                                        << "Conexion: ORACLE Servidor: srv, 1433. BDD: db SID:ORCL";
        QTest::newRow("motor desconocido") << 7 << ""
                                           << "Conexion:  Servidor: srv, 1433. BDD: db";
        QTest::newRow("motor negativo") << -1 << ""
                                        << "Conexion:  Servidor: srv, 1433. BDD: db";
    }
    void conexion() {
        QFETCH(qint32, tipo);
        QFETCH(QString, sid);
        QFETCH(QString, texto);
        QCOMPARE(TextosDescarga::textoConexion(tipo, QStringLiteral("srv"), 1433,
                                               QStringLiteral("db"), sid),
                 texto);
    }
};

QTEST_GUILESS_MAIN(TstTextosDescarga)
#include "tst_TextosDescarga.moc"
