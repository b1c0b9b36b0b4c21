#include <QtTest>

#include "comun/modTolvane1.h"
#include "launcher/Arranque.h"
#include "platform/Cp1252.h"
#include "support/FicherosPrueba.h"

using modCorvinal::PlanArranque;
using modCorvinal::planificaArranque;

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
    void dondeEstaElRegistro() {
        const QString crudo =
            QStringLiteral("1,,|fsrv,db,sa,") + pwCruda() + QStringLiteral(",1433");
        const QString hexadecimal = QStringLiteral("1,,,|fsrv,db,sa,DFD9,1433");
        const struct {
            QString ordenes;
            std::optional<QString> fichero;
            QString servidor;
        } casos[] = {
            {"osrv,db,sa,pw,1433", crudo, "osrv"},
            {"osrv,db,sa,pw,1433", kSinFichero, "osrv"},
            {"", crudo, "fsrv"},
            {"", hexadecimal, "fsrv"},
            // Blanks read the file, whose password is stored encoded like any other start's.
            {"  ", crudo, "fsrv"},
            {" osrv,db,sa,pw,1433", crudo, " osrv"},
        };
        for (const auto& c : casos) {
            const PlanArranque plan = planificaArranque(c.ordenes, c.fichero, kLanzador);
            QVERIFY2(plan.valido && !plan.necesitaVentanaConfiguracion, qPrintable(plan.motivo));
            const DatosConexion& d = plan.conexion;
            QCOMPARE(QStringList({d.servidor, d.password, d.baseDatos, d.login}),
                     QStringList({c.servidor, "pw", "db", "sa"}));
            // The stored password is always the raw form of the password used.
            QCOMPARE(
                RegistroArranque::analiza(plan.lineaFichero).campos.at(RegistroArranque::kPassword),
                pwCruda());
        }
    }

    void ventanaDeDescarga() {
        const struct {
            const char* registro;
            int tipo;
            const char* carpeta;
            QString carpetaLocal;
            const char* fichero;
            bool independiente;
        } casos[] = {
            {"2,,|s,d,l,p,3306", 2, "", kLanzador, "fob7.exe", true},
            {"3,OraOLEDB.Oracle,ORCL|s,d,l,p,1521,apps", 3, "apps", kLanzador, "fob7.exe", true},
            {"s,d,l,p,1,apps,/home/f7,otra.exe", 1, "apps", "/home/f7", "otra.exe", true},
            {"s,d,l,p,1,,,fob8.exe", 1, "", kLanzador, "fob8.exe", true},
            {"s,d,l,p,1,apps,,,E", 1, "apps", kLanzador, "fob7.exe", false},
        };
        for (const auto& c : casos) {
            const PlanArranque plan = planificaArranque(c.registro, kSinFichero, kLanzador);
            QVERIFY2(plan.valido, qPrintable(plan.motivo));
            QCOMPARE(plan.conexion.tipoConexion, c.tipo);
            QCOMPARE(QStringList({plan.carpeta, plan.carpetaLocal, plan.fichero}),
                     QStringList({c.carpeta, c.carpetaLocal, c.fichero}));
            QCOMPARE(plan.modoIndependiente, c.independiente);
            // The type is stored as it was given, for every number of fields.
            QCOMPARE(int(RegistroArranque::analiza(plan.lineaFichero).tipo), c.tipo);
        }
    }

    void lineaGuardada() {
        // "pw" is 0xDF 0xD9 in raw form.
        const std::pair<QString, const char*> casos[] = {
            {"srv,db,sa,pw,1433", " 1 ,,|srv,db,sa,\xDF\xD9,1433\r\n"},
            {"3,OraOLEDB.Oracle,ORCL|srv,db,sa,pw, 1521",
             " 3 ,OraOLEDB.Oracle,ORCL|srv,db,sa,\xDF\xD9, 1521\r\n"},
            {"2,,|srv,db,sa,pw,3306,apps,,,E",
             " 2 ,,|srv,db,sa,\xDF\xD9,3306,apps,/opt/corvinal,fob7.exe\r\n"},
            {"2,,|srv,db,sa,pw,3306,apps,C:\\f7\\,f.exe,I,1.5",
             " 2 ,,|srv,db,sa,\xDF\xD9,3306,apps,C:\\f7\\,f.exe\r\n"},
            // From the set-up window's file, with an application.
            {"", " 0 ,,|srv,db,sa,\xDF\xD9,0,,/opt/corvinal,fob7.exe\r\n"},
        };
        for (const auto& [ordenes, bytes] : casos) {
            const std::optional<QString> ventana =
                ordenes.isEmpty() ? std::optional<QString>("0,,,|srv,db,sa,DFD9,0,,,fob7.exe")
                                  : kSinFichero;
            const PlanArranque plan = planificaArranque(ordenes, ventana, kLanzador);
            QVERIFY2(plan.valido, qPrintable(plan.motivo));
            QCOMPARE(bytesFichero(plan), QByteArray(bytes));
            // Read back on the next start, the stored line gives the same connection.
            const PlanArranque otra = planificaArranque(
                QString(), platform::deCp1252(QByteArray(bytes).chopped(2)), kLanzador);
            QVERIFY(otra.valido);
            QCOMPARE(otra.lineaFichero, plan.lineaFichero);
        }
    }

    void despuesDeLaDescarga() {
        const struct {
            const char* registro;
            const char* modo;
            double espera;  // -1: none
            const char* carpetaLocal;
            const char* fichero;
        } casos[] = {
            {"s,d,l,p,1,a,C:\\f7\\,fob7.exe,E", "E", -1, "C:\\f7\\", "fob7.exe"},
            {"s,d,l,p,1,a,/f7,x.exe,E,2.5", "E", 2.5, "/f7", "x.exe"},
            {"s,d,l,p,1,a,/f7,comp.dll,I", "I", -1, "/f7", "comp.dll"},
            {"s,d,l,p,1,a,/f7,x.exe,e", "e", -1, "/f7", "x.exe"},
            // Fields 6 and 7 keep their empty text: the defaults serve only the download.
            {"s,d,l,p,1,a,,,E", "E", -1, "", ""},
        };
        for (const auto& c : casos) {
            const PlanArranque plan = planificaArranque(c.registro, kSinFichero, kLanzador);
            QVERIFY2(plan.valido && !plan.modoIndependiente, qPrintable(plan.motivo));
            QCOMPARE(plan.modo.value_or(QStringLiteral("(ninguno)")), QString(c.modo));
            QCOMPARE(plan.espera.value_or(-1), c.espera);
            QCOMPARE(plan.carpetaLocalRegistro, QString(c.carpetaLocal));
            QCOMPARE(plan.ficheroRegistro, QString(c.fichero));
        }
    }

    // Nothing to start with asks for the set-up window; a bad record is refused. Neither is stored.
    void registroNoValidoNoSeGuarda() {
        const struct {
            const char* ordenes;
            std::optional<QString> fichero;
            bool ventana;
        } casos[] = {
            {"", kSinFichero, true},
            {" \t ", kSinFichero, true},
            {"s,d,l,p", kSinFichero, false},
            {"", QString(), false},
            {"s,d,l,p,1,a,b,c,E,pronto", kSinFichero, false},
        };
        for (const auto& c : casos) {
            const PlanArranque plan = planificaArranque(c.ordenes, c.fichero, kLanzador);
            QVERIFY(!plan.valido);
            QCOMPARE(plan.necesitaVentanaConfiguracion, c.ventana);
            QVERIFY(c.ventana || !plan.motivo.isEmpty());
            QVERIFY(plan.lineaFichero.isEmpty());
        }
    }

    void ficheroEnorme() {
        // One megabyte of a record whose folder field never ends.
        const QString enorme = QStringLiteral("1,,|s,d,l,") + pwCruda() + QStringLiteral(",1,") +
                               QString(1 << 20, u'x');
        const PlanArranque plan = planificaArranque(QString(), enorme, kLanzador);
        QVERIFY(plan.valido);
        QCOMPARE(plan.carpeta.size(), 1 << 20);
        QVERIFY(plan.lineaFichero.endsWith(QStringLiteral(",/opt/corvinal,fob7.exe")));
    }
};

QTEST_GUILESS_MAIN(TstArranque)
#include "tst_Arranque.moc"
