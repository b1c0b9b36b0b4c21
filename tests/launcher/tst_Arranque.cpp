#include <QtTest>

#include "launcher/Arranque.h"
#include "launcher/modTolvane1.h"
#include "platform/Cp1252.h"

using modCorvinal::PlanArranque;
using modCorvinal::planificaArranque;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QString kLanzador = QStringLiteral("/opt/corvinal");
const std::optional<QString> kSinFichero;

// "pw" in raw form.
QString pwCruda() {
    return modTolvane1::codifica(QStringLiteral("pw"));
}

// The bytes the plan's line becomes in corvinal.ini.
QByteArray bytesFichero(const PlanArranque& plan) {
    QTemporaryDir carpeta;
    const QString ruta = RegistroArranque::rutaFichero(carpeta.path());
    if (!RegistroArranque::escribeFichero(ruta, plan.lineaFichero)) {
        return QByteArray();
    }
    QFile fichero(ruta);
    return fichero.open(QIODevice::ReadOnly) ? fichero.readAll() : QByteArray();
}

}  // namespace

class TstArranque : public QObject {
    Q_OBJECT
private slots:
    void sinRegistroHaceFaltaLaVentana_data() {
        QTest::addColumn<QString>("lineaOrdenes");
        QTest::newRow("vacia") << "";
        QTest::newRow("blancos") << "   ";
        QTest::newRow("tabulador") << "\t";
    }
    void sinRegistroHaceFaltaLaVentana() {
        QFETCH(QString, lineaOrdenes);
        const PlanArranque plan = planificaArranque(lineaOrdenes, kSinFichero, kLanzador);
        QVERIFY(plan.necesitaVentanaConfiguracion);
        QVERIFY(!plan.valido);
        QVERIFY(plan.lineaFichero.isEmpty());
    }

    void dondeEstaElRegistro_data() {
        QTest::addColumn<QString>("lineaOrdenes");
        QTest::addColumn<std::optional<QString>>("fichero");
        QTest::addColumn<QString>("servidor");
        QTest::addColumn<QString>("password");
        const std::optional<QString> fichero =
            QStringLiteral("1,,|fsrv,db,sa,") + pwCruda() + QStringLiteral(",1433");
        QTest::newRow("ordenes con password clara") << "osrv,db,sa,pw,1433" << fichero << "osrv"
                                                    << "pw";
        QTest::newRow("ordenes sin fichero") << "osrv,db,sa,pw,1433" << kSinFichero << "osrv"
                                             << "pw";
        QTest::newRow("fichero descodifica") << "" << fichero << "fsrv"
                                             << "pw";
        QTest::newRow("fichero en forma hexadecimal")
            << "" << std::optional<QString>(QStringLiteral("1,,,|fsrv,db,sa,DFD9,1433")) << "fsrv"
            << "pw";
        // Blanks read the file, whose password is stored encoded like any other start's.
        QTest::newRow("blancos leen el fichero y descodifican") << "  " << fichero << "fsrv"
                                                                << "pw";
        QTest::newRow("tabulador lee el fichero hexadecimal")
            << "\t" << std::optional<QString>(QStringLiteral("1,,,|fsrv,db,sa,DFD9,1433")) << "fsrv"
            << "pw";
        QTest::newRow("ordenes no se recortan") << " osrv,db,sa,pw,1433" << fichero << " osrv"
                                                << "pw";
    }
    void dondeEstaElRegistro() {
        QFETCH(QString, lineaOrdenes);
        QFETCH(std::optional<QString>, fichero);
        QFETCH(QString, servidor);
        QFETCH(QString, password);
        const PlanArranque plan = planificaArranque(lineaOrdenes, fichero, kLanzador);
        QVERIFY(!plan.necesitaVentanaConfiguracion);
        QVERIFY2(plan.valido, qPrintable(plan.motivo));
        QCOMPARE(plan.servidor, servidor);
        QCOMPARE(plan.password, password);
        QCOMPARE(plan.baseDatos, QStringLiteral("db"));
        QCOMPARE(plan.login, QStringLiteral("sa"));
        QCOMPARE(plan.puerto, 1433);
        // The stored password is always the raw form of the password used.
        const RegistroArranque guardado = RegistroArranque::analiza(plan.lineaFichero);
        QCOMPARE(guardado.campos.at(RegistroArranque::kPassword), modTolvane1::codifica(password));
    }

    void ventanaDeDescarga_data() {
        QTest::addColumn<QString>("registro");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("carpeta");
        QTest::addColumn<QString>("carpetaLocal");
        QTest::addColumn<QString>("fichero");
        QTest::addColumn<bool>("independiente");
        QTest::newRow("cinco campos")
            << "2,,|s,d,l,p,3306" << 2 << "" << kLanzador << "fob7.exe" << true;
        QTest::newRow("seis campos con tipo 3") << "3,OraOLEDB.Oracle,ORCL|s,d,l,p,1521,apps" << 3
                                                << "apps" << kLanzador << "fob7.exe" << true;
        QTest::newRow("siete campos") << "s,d,l,p,1,apps,/home/f7" << 1 << "apps"
                                      << "/home/f7"
                                      << "fob7.exe" << true;
        QTest::newRow("siete campos vacios")
            << "s,d,l,p,1,," << 1 << "" << kLanzador << "fob7.exe" << true;
        QTest::newRow("ocho campos independiente")
            << "s,d,l,p,1,apps,/home/f7,otra.exe" << 1 << "apps"
            << "/home/f7"
            << "otra.exe" << true;
        QTest::newRow("ocho con vacios")
            << "s,d,l,p,1,,,fob8.exe" << 1 << "" << kLanzador << "fob8.exe" << true;
        QTest::newRow("nueve campos espera")
            << "s,d,l,p,1,apps,,,E" << 1 << "apps" << kLanzador << "fob7.exe" << false;
        QTest::newRow("tipo 0 sigue siendo 0")
            << "0,,|/datos,db,l,p,0,apps" << 0 << "apps" << kLanzador << "fob7.exe" << true;
    }
    void ventanaDeDescarga() {
        QFETCH(QString, registro);
        QFETCH(int, tipo);
        QFETCH(QString, carpeta);
        QFETCH(QString, carpetaLocal);
        QFETCH(QString, fichero);
        QFETCH(bool, independiente);
        const PlanArranque plan = planificaArranque(registro, kSinFichero, kLanzador);
        QVERIFY2(plan.valido, qPrintable(plan.motivo));
        QCOMPARE(plan.tipoConexion, tipo);
        QCOMPARE(plan.carpeta, carpeta);
        QCOMPARE(plan.carpetaLocal, carpetaLocal);
        QCOMPARE(plan.fichero, fichero);
        QCOMPARE(plan.modoIndependiente, independiente);
        QCOMPARE(plan.modo.has_value(), !independiente);
        // The type is stored as it was given, for every number of fields.
        QCOMPARE(int(RegistroArranque::analiza(plan.lineaFichero).tipo), tipo);
    }

    void lineaGuardada_data() {
        QTest::addColumn<QString>("lineaOrdenes");
        QTest::addColumn<std::optional<QString>>("fichero");
        QTest::addColumn<QByteArray>("bytes");
        // "pw" is 0xDF 0xD9 in raw form.
        QTest::newRow("cinco campos") << "srv,db,sa,pw,1433" << kSinFichero
                                      << QByteArray(" 1 ,,|srv,db,sa,\xDF\xD9,1433\r\n");
        QTest::newRow("cinco campos oracle")
            << "3,OraOLEDB.Oracle,ORCL|srv,db,sa,pw, 1521" << kSinFichero
            << QByteArray(" 3 ,OraOLEDB.Oracle,ORCL|srv,db,sa,\xDF\xD9, 1521\r\n");
        QTest::newRow("nueve campos")
            << "2,,|srv,db,sa,pw,3306,apps,,,E" << kSinFichero
            << QByteArray(" 2 ,,|srv,db,sa,\xDF\xD9,3306,apps,/opt/corvinal,fob7.exe\r\n");
        QTest::newRow("diez campos con todo")
            << "2,,|srv,db,sa,pw,3306,apps,C:\\f7\\,f.exe,I,1.5" << kSinFichero
            << QByteArray(" 2 ,,|srv,db,sa,\xDF\xD9,3306,apps,C:\\f7\\,f.exe\r\n");
        QTest::newRow("desde la ventana con aplicacion")
            << "" << std::optional<QString>(QStringLiteral("0,,,|srv,db,sa,DFD9,0,,,fob7.exe"))
            << QByteArray(" 0 ,,|srv,db,sa,\xDF\xD9,0,,/opt/corvinal,fob7.exe\r\n");
    }
    void lineaGuardada() {
        QFETCH(QString, lineaOrdenes);
        QFETCH(std::optional<QString>, fichero);
        QFETCH(QByteArray, bytes);
        const PlanArranque plan = planificaArranque(lineaOrdenes, fichero, kLanzador);
        QVERIFY2(plan.valido, qPrintable(plan.motivo));
        QCOMPARE(bytesFichero(plan), bytes);
        // Read back on the next start, the stored line gives the same connection.
        const PlanArranque otra =
            planificaArranque(QString(), platform::deCp1252(bytes.chopped(2)), kLanzador);
        QVERIFY(otra.valido);
        QCOMPARE(otra.password, plan.password);
        QCOMPARE(otra.tipoConexion, plan.tipoConexion);
        QCOMPARE(otra.carpetaLocal, plan.carpetaLocal);
        QCOMPARE(otra.fichero, plan.fichero);
        QCOMPARE(otra.lineaFichero, plan.lineaFichero);
    }

    void despuesDeLaDescarga_data() {
        QTest::addColumn<QString>("registro");
        QTest::addColumn<QString>("modo");
        QTest::addColumn<bool>("hayEspera");
        QTest::addColumn<double>("espera");
        QTest::addColumn<QString>("carpetaLocal");
        QTest::addColumn<QString>("fichero");
        QTest::newRow("E sin espera") << "s,d,l,p,1,a,C:\\f7\\,fob7.exe,E"
                                      << "E" << false << 0.0 << "C:\\f7\\"
                                      << "fob7.exe";
        QTest::newRow("E con espera") << "s,d,l,p,1,a,/f7,x.exe,E,2.5"
                                      << "E" << true << 2.5 << "/f7"
                                      << "x.exe";
        QTest::newRow("I") << "s,d,l,p,1,a,/f7,comp.dll,I"
                           << "I" << false << 0.0 << "/f7"
                           << "comp.dll";
        QTest::newRow("otro") << "s,d,l,p,1,a,/f7,x.exe,e"
                              << "e" << false << 0.0 << "/f7"
                              << "x.exe";
        // Fields 6 and 7 keep their empty text: the defaults serve only the download.
        QTest::newRow("campos vacios tal cual") << "s,d,l,p,1,a,,,E"
                                                << "E" << false << 0.0 << ""
                                                << "";
    }
    void despuesDeLaDescarga() {
        QFETCH(QString, registro);
        QFETCH(QString, modo);
        QFETCH(bool, hayEspera);
        QFETCH(double, espera);
        QFETCH(QString, carpetaLocal);
        QFETCH(QString, fichero);
        const PlanArranque plan = planificaArranque(registro, kSinFichero, kLanzador);
        QVERIFY2(plan.valido, qPrintable(plan.motivo));
        QVERIFY(!plan.modoIndependiente);
        QCOMPARE(plan.modo.value_or(QStringLiteral("(ninguno)")), modo);
        QCOMPARE(plan.espera.has_value(), hayEspera);
        if (hayEspera) {
            QCOMPARE(*plan.espera, espera);
        }
        QCOMPARE(plan.carpetaLocalRegistro, carpetaLocal);
        QCOMPARE(plan.ficheroRegistro, fichero);
    }

    void registroNoValidoNoSeGuarda_data() {
        QTest::addColumn<QString>("lineaOrdenes");
        QTest::addColumn<std::optional<QString>>("fichero");
        QTest::newRow("cuatro campos") << "s,d,l,p" << kSinFichero;
        QTest::newRow("fichero vacio") << "" << std::optional<QString>(QString());
        QTest::newRow("fichero de separadores")
            << "" << std::optional<QString>(QStringLiteral("|,|,|,|,|,|"));
        QTest::newRow("tipo no numerico") << "uno,,|s,d,l,p,1" << kSinFichero;
        QTest::newRow("puerto no numerico") << "s,d,l,p,mil" << kSinFichero;
        QTest::newRow("puerto excesivo") << "s,d,l,p,40000" << kSinFichero;
        QTest::newRow("espera no numerica") << "s,d,l,p,1,a,b,c,E,pronto" << kSinFichero;
        QTest::newRow("fichero binario")
            << "" << std::optional<QString>(QString::fromLatin1("\x01\xff|\0,\0,\0,\0,\0", 12));
    }
    void registroNoValidoNoSeGuarda() {
        QFETCH(QString, lineaOrdenes);
        QFETCH(std::optional<QString>, fichero);
        const PlanArranque plan = planificaArranque(lineaOrdenes, fichero, kLanzador);
        QVERIFY(!plan.valido);
        QVERIFY(!plan.necesitaVentanaConfiguracion);
        QVERIFY(!plan.motivo.isEmpty());
        QVERIFY(plan.lineaFichero.isEmpty());
    }

    void ficheroEnorme() {
        // One megabyte of a record whose folder field never ends.
        const QString enorme = QStringLiteral("1,,|s,d,l,") + pwCruda() + QStringLiteral(",1,") +
                               QString(1 << 20, u'x');
        const PlanArranque plan = planificaArranque(QString(), enorme, kLanzador);
        QVERIFY(plan.valido);
        QCOMPARE(plan.carpeta.size(), 1 << 20);
        QCOMPARE(plan.password, QStringLiteral("pw"));
        QVERIFY(plan.lineaFichero.endsWith(QStringLiteral(",/opt/corvinal,fob7.exe")));
    }
};

QTEST_GUILESS_MAIN(TstArranque)
#include "tst_Arranque.moc"
