#include <QtTest>

#include "arranque/RegistroArranque.h"
#include "comun/modTolvane1.h"
#include "setup/DatosHost.h"

Q_DECLARE_METATYPE(DatosHost)

namespace {

// Valid data of the given type, with the window's application.
DatosHost completos(int tipo) {
    DatosHost d;
    d.aplicacion = QStringLiteral("fob7.exe");
    d.tipo = tipo;
    const DatosHost::AjustesTipo a = DatosHost::ajustesTipo(tipo);
    d.puerto = a.puerto;
    d.provider = a.provider;
    d.tServidorLocal = QStringLiteral("srv");
    d.baseDatos = QStringLiteral("db");
    d.login = QStringLiteral("sa");
    d.password = QStringLiteral("pw");
    d.password2 = QStringLiteral("pw");
    return d;
}

}  // namespace

class TstDatosHost : public QObject {
    Q_OBJECT
private slots:
    void informe_data() {
        QTest::addColumn<DatosHost>("datos");
        QTest::addColumn<QString>("informe");
        QTest::newRow("completos") << completos(1) << QString();
        DatosHost remotoVacio = completos(2);
        remotoVacio.servidorLocal = false;
        QTest::newRow("remoto elegido con solo el local")
            << remotoVacio << QStringLiteral("·Dirección del servidor Nula.\r");
        DatosHost remoto = remotoVacio;
        remoto.tServidorRemoto = QStringLiteral("lejos");
        remoto.tServidorLocal.clear();
        QTest::newRow("remoto lleno") << remoto << QString();
        DatosHost blancos = completos(1);
        blancos.tServidorLocal = QStringLiteral("  ");
        blancos.baseDatos = QStringLiteral(" ");
        blancos.login = QStringLiteral("\t");
        QTest::newRow("blancos cuentan como vacios")
            << blancos
            << QStringLiteral(
                   "·Dirección del servidor Nula.\r·Base de datos nula.\r·Login de acceso nula.\r");
        // Valid data of a type with one box changed.
        const auto f = [](const char* fila, int tipo, QString DatosHost::*caja, const char* valor,
                          const char* informe) {
            DatosHost d = completos(tipo);
            d.*caja = QString::fromUtf8(valor);
            QTest::newRow(fila) << d << QString::fromUtf8(informe);
        };
        const char* const distintos = "·Los passwords introducidos no coinciden.\r";
        f("passwords distintos por mayusculas", 1, &DatosHost::password2, "PW", distintos);
        f("passwords sin recortar", 1, &DatosHost::password2, "pw ", distintos);
        const char* const puerto = "·Nº de Puerto incorrecto.\r";
        f("puerto no numerico", 3, &DatosHost::puerto, "mil", puerto);
        f("puerto que el arranque no acepta", 2, &DatosHost::puerto, "40000", puerto);
        f("puerto vacio", 1, &DatosHost::puerto, "", puerto);
        f("separadores del registro en un campo", 3, &DatosHost::aplicacion, "a,b.exe",
          "·El campo Aplicación no puede llevar «,» ni «|».\r");
        DatosHost fueraCp1252 = completos(1);
        fueraCp1252.password = fueraCp1252.password2 = QStringLiteral("pw\u0416");
        QTest::newRow("password fuera de Windows-1252")
            << fueraCp1252
            << QStringLiteral("·El campo Password tiene caracteres que no admite Windows-1252.\r");
        QTest::newRow("MS Access sin puerto se acepta") << completos(0) << QString();
        DatosHost todo;
        todo.servidorLocal = false;
        todo.password = QStringLiteral("a");
        todo.puerto = QStringLiteral("x");
        QTest::newRow("todos los fallos en orden")
            << todo
            << QStringLiteral(
                   "·No se seleccionó tipo de conexión.\r·Dirección del servidor "
                   "Nula.\r·Base de datos nula.\r·Login de acceso nula.\r·Los "
                   "passwords introducidos no coinciden.\r·Nº de Puerto incorrecto.\r");
    }
    void informe() {
        QFETCH(DatosHost, datos);
        QFETCH(QString, informe);
        QCOMPARE(datos.informe(), informe);
    }

    void lineaGuardada_data() {
        QTest::addColumn<DatosHost>("datos");
        QTest::addColumn<QString>("linea");
        // "pw" is DFD9 in hexadecimal form.
        DatosHost sinAplicacion = completos(1);
        sinAplicacion.aplicacion.clear();
        QTest::newRow("sin aplicacion cinco campos") << sinAplicacion << "1,,,|srv,db,sa,DFD9,1433";
        QTest::newRow("con aplicacion ocho campos")
            << completos(2) << "2,,,|srv,db,sa,DFD9,3306,,,fob7.exe";
        DatosHost oracle = completos(3);
        oracle.sid = QStringLiteral("ORCL");
        QTest::newRow("oracle") << oracle
                                << "3,OraOLEDB.Oracle,ORCL,|srv,db,sa,DFD9,1521,,,fob7.exe";
        QTest::newRow("MS Access guarda puerto 0")
            << completos(0) << "0,,,|srv,db,sa,DFD9,0,,,fob7.exe";
        DatosHost sinRecortar = sinAplicacion;
        sinRecortar.servidorLocal = false;
        sinRecortar.tServidorRemoto = QStringLiteral(" lejos ");
        QTest::newRow("remoto tal cual se escribio")
            << sinRecortar << "1,,,| lejos ,db,sa,DFD9,1433";
    }
    void lineaGuardada() {
        QFETCH(DatosHost, datos);
        QFETCH(QString, linea);
        QCOMPARE(datos.lineaFichero(), linea);
        // The stored line is one the launcher accepts, with the same password.
        const RegistroArranque r = RegistroArranque::analiza(linea);
        QVERIFY2(r.valido, qPrintable(r.motivo));
        QCOMPARE(modTolvane1::decodifica(r.campos.at(RegistroArranque::kPassword)), datos.password);
    }

    void passwordSoloHexadecimal() {
        DatosHost d = completos(1);
        d.password = d.password2 = QStringLiteral("Clave, con|raros\u00f1");
        const QString campo =
            RegistroArranque::analiza(d.lineaFichero()).campos.at(RegistroArranque::kPassword);
        QCOMPARE(campo.size(), 2 * d.password.size());
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]+$")).match(campo).hasMatch());
        QCOMPARE(modTolvane1::decodifica(campo), d.password);
    }
};

QTEST_GUILESS_MAIN(TstDatosHost)
#include "tst_DatosHost.moc"
