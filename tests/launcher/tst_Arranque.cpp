#include <QtTest>

#include "comun/modTolvane1.h"
#include "launcher/Arranque.h"
#include "platform/Cp1252.h"
#include "support/FicherosPrueba.h"

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
    return prueba::lee(ruta);
}

}  // namespace

class TstArranque : public QObject {
    Q_OBJECT
private slots:
    void dondeEstaElRegistro_data() {
        QTest::addColumn<QString>("lineaOrdenes");
        QTest::addColumn<std::optional<QString>>("fichero");
        QTest::addColumn<QString>("servidor");
        QTest::addColumn<QString>("password");
        const auto f = [](const char* n, const char* ordenes, std::optional<QString> fichero,
                          const char* servidor) {
            QTest::newRow(n) << QString(ordenes) << fichero << QString(servidor) << QString("pw");
        };
        const QString crudo =
            QStringLiteral("1,,|fsrv,db,sa,") + pwCruda() + QStringLiteral(",1433");
        const QString hexadecimal = QStringLiteral("1,,,|fsrv,db,sa,DFD9,1433");
        f("ordenes con password clara", "osrv,db,sa,pw,1433", crudo, "osrv");
        f("ordenes sin fichero", "osrv,db,sa,pw,1433", kSinFichero, "osrv");
        f("fichero descodifica", "", crudo, "fsrv");
        f("fichero en forma hexadecimal", "", hexadecimal, "fsrv");
        // Blanks read the file, whose password is stored encoded like any other start's.
        f("blancos leen el fichero", "  ", crudo, "fsrv");
        f("tabulador lee el fichero hexadecimal", "\t", hexadecimal, "fsrv");
        f("ordenes no se recortan", " osrv,db,sa,pw,1433", crudo, " osrv");
    }
    void dondeEstaElRegistro() {
        QFETCH(QString, lineaOrdenes);
        QFETCH(std::optional<QString>, fichero);
        QFETCH(QString, servidor);
        QFETCH(QString, password);
        const PlanArranque plan = planificaArranque(lineaOrdenes, fichero, kLanzador);
        QVERIFY(!plan.necesitaVentanaConfiguracion);
        QVERIFY2(plan.valido, qPrintable(plan.motivo));
        QCOMPARE(plan.conexion.servidor, servidor);
        QCOMPARE(plan.conexion.password, password);
        QCOMPARE(plan.conexion.baseDatos, QStringLiteral("db"));
        QCOMPARE(plan.conexion.login, QStringLiteral("sa"));
        QCOMPARE(plan.conexion.puerto, 1433);
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
        const auto f = [](const char* registro, int tipo, const char* carpeta,
                          const QString& carpetaLocal, const char* fichero, bool independiente) {
            QTest::newRow(registro) << QString(registro) << tipo << QString(carpeta) << carpetaLocal
                                    << QString(fichero) << independiente;
        };
        f("2,,|s,d,l,p,3306", 2, "", kLanzador, "fob7.exe", true);
        f("3,OraOLEDB.Oracle,ORCL|s,d,l,p,1521,apps", 3, "apps", kLanzador, "fob7.exe", true);
        f("s,d,l,p,1,apps,/home/f7", 1, "apps", "/home/f7", "fob7.exe", true);
        f("s,d,l,p,1,apps,/home/f7,otra.exe", 1, "apps", "/home/f7", "otra.exe", true);
        f("s,d,l,p,1,,,fob8.exe", 1, "", kLanzador, "fob8.exe", true);
        f("s,d,l,p,1,apps,,,E", 1, "apps", kLanzador, "fob7.exe", false);
        f("0,,|/datos,db,l,p,0,apps", 0, "apps", kLanzador, "fob7.exe", true);
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
        QCOMPARE(plan.conexion.tipoConexion, tipo);
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
        QCOMPARE(otra.conexion.password, plan.conexion.password);
        QCOMPARE(otra.conexion.tipoConexion, plan.conexion.tipoConexion);
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
        const auto f = [](const char* registro, const char* modo, bool hayEspera, double espera,
                          const char* carpetaLocal, const char* fichero) {
            QTest::newRow(registro) << QString(registro) << QString(modo) << hayEspera << espera
                                    << QString(carpetaLocal) << QString(fichero);
        };
        f("s,d,l,p,1,a,C:\\f7\\,fob7.exe,E", "E", false, 0.0, "C:\\f7\\", "fob7.exe");
        f("s,d,l,p,1,a,/f7,x.exe,E,2.5", "E", true, 2.5, "/f7", "x.exe");
        f("s,d,l,p,1,a,/f7,comp.dll,I", "I", false, 0.0, "/f7", "comp.dll");
        f("s,d,l,p,1,a,/f7,x.exe,e", "e", false, 0.0, "/f7", "x.exe");
        // Fields 6 and 7 keep their empty text: the defaults serve only the download.
        f("s,d,l,p,1,a,,,E", "E", false, 0.0, "", "");
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

    // Nothing to start with asks for the set-up window; a bad record is refused. Neither is stored.
    void registroNoValidoNoSeGuarda_data() {
        QTest::addColumn<QString>("lineaOrdenes");
        QTest::addColumn<std::optional<QString>>("fichero");
        QTest::addColumn<bool>("ventana");
        const auto f = [](const char* n, const char* ordenes, std::optional<QString> fichero,
                          bool ventana) {
            QTest::newRow(n) << QString(ordenes) << fichero << ventana;
        };
        f("sin nada", "", kSinFichero, true);
        f("blancos sin fichero", " \t ", kSinFichero, true);
        f("cuatro campos", "s,d,l,p", kSinFichero, false);
        f("fichero vacio", "", QString(), false);
        f("fichero de separadores", "", QStringLiteral("|,|,|,|,|,|"), false);
        f("puerto excesivo", "s,d,l,p,40000", kSinFichero, false);
        f("espera no numerica", "s,d,l,p,1,a,b,c,E,pronto", kSinFichero, false);
        f("fichero binario", "", QString::fromLatin1("\x01\xff|\0,\0,\0,\0,\0", 12), false);
    }
    void registroNoValidoNoSeGuarda() {
        QFETCH(QString, lineaOrdenes);
        QFETCH(std::optional<QString>, fichero);
        QFETCH(bool, ventana);
        const PlanArranque plan = planificaArranque(lineaOrdenes, fichero, kLanzador);
        QVERIFY(!plan.valido);
        QCOMPARE(plan.necesitaVentanaConfiguracion, ventana);
        QVERIFY(ventana || !plan.motivo.isEmpty());
        QVERIFY(plan.lineaFichero.isEmpty());
    }

    void ficheroEnorme() {
        // One megabyte of a record whose folder field never ends.
        const QString enorme = QStringLiteral("1,,|s,d,l,") + pwCruda() + QStringLiteral(",1,") +
                               QString(1 << 20, u'x');
        const PlanArranque plan = planificaArranque(QString(), enorme, kLanzador);
        QVERIFY(plan.valido);
        QCOMPARE(plan.carpeta.size(), 1 << 20);
        QCOMPARE(plan.conexion.password, QStringLiteral("pw"));
        QVERIFY(plan.lineaFichero.endsWith(QStringLiteral(",/opt/corvinal,fob7.exe")));
    }
};

QTEST_GUILESS_MAIN(TstArranque)
#include "tst_Arranque.moc"
