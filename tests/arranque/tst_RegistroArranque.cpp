#include <QtTest>

#include "arranque/RegistroArranque.h"
#include "comun/modTolvane1.h"
#include "platform/Cp1252.h"
#include "support/FicherosPrueba.h"

namespace {

QString ruta(const QTemporaryDir& carpeta) {
    return RegistroArranque::rutaFichero(carpeta.path());
}

}  // namespace

class TstRegistroArranque : public QObject {
    Q_OBJECT
private slots:
    void analiza_data() {
        QTest::addColumn<QString>("registro");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("provider");
        QTest::addColumn<QString>("sid");
        QTest::addColumn<QStringList>("campos");
        QTest::addColumn<int>("puerto");
        QTest::addColumn<double>("espera");  // -1: none
        const auto f = [](const char* n, const char* registro, int tipo, const char* provider,
                          const char* sid, const char* campos, int puerto, double espera = -1) {
            QTest::newRow(n) << QString(registro) << tipo << QString(provider) << QString(sid)
                             << QString(campos).split(u'/') << puerto << espera;
        };
        const char* cinco = "srv/db/sa/pw/1433";
        f("prefijo tipo 1 y dos vacios", "1,,|srv,db,sa,pw,1433", 1, "", "", cinco, 1433);
        f("sin prefijo", "srv,db,sa,pw,1433", 1, "", "", cinco, 1433);
        f("tipo enmarcado", " 1 ,,|srv,db,sa,pw,1433", 1, "", "", cinco, 1433);
        f("tipo 0 es el fichero de datos", "0,,|srv,db,sa,pw,1433", 0, "", "", cinco, 1433);
        f("oracle", "3,OraOLEDB.Oracle,ORCL|srv,db,sa,pw,1433", 3, "OraOLEDB.Oracle", "ORCL", cinco,
          1433);
        f("prefijo de la ventana", "2,,,|srv,db,sa,pw,1433", 2, "", "", cinco, 1433);
        f("prefijo corto", "2,prov|srv,db,sa,pw,1433", 2, "prov", "", cinco, 1433);
        f("prefijo largo", "2,p,s,x,y|srv,db,sa,pw,1433", 2, "p", "s", cinco, 1433);
        f("segunda barra en un campo", "1,,|srv,db,sa,p|w,1433", 1, "", "", "srv/db/sa/p|w/1433",
          1433);
        f("barra en el primer campo", "1,,|s|rv,db,sa,pw,1433", 1, "", "", "s|rv/db/sa/pw/1433",
          1433);
        f("seis campos guardan su tipo", "3,,|srv,db,sa,pw,1433,apps", 3, "", "",
          "srv/db/sa/pw/1433/apps", 1433);
        f("puerto con blancos", "srv,db,sa,pw, 3306 ", 1, "", "", "srv/db/sa/pw/ 3306 ", 3306);
        f("puerto maximo", "srv,db,sa,pw,32767", 1, "", "", "srv/db/sa/pw/32767", 32767);
        f("campos vacios", "1,,|,,,,0", 1, "", "", "////0", 0);
        f("nueve campos sin espera", "s,d,l,p,1,a,b,c,E", 1, "", "", "s/d/l/p/1/a/b/c/E", 1);
        f("diez campos", "s,d,l,p,1,a,b,c,E,2.5", 1, "", "", "s/d/l/p/1/a/b/c/E/2.5", 1, 2.5);
        f("espera con blancos", "s,d,l,p,1,a,b,c,E, 3 ", 1, "", "", "s/d/l/p/1/a/b/c/E/ 3 ", 1, 3);
        f("once campos", "s,d,l,p,1,a,b,c,E,1,x", 1, "", "", "s/d/l/p/1/a/b/c/E/1/x", 1, 1);
    }
    void analiza() {
        QFETCH(QString, registro);
        QFETCH(int, tipo);
        QFETCH(QString, provider);
        QFETCH(QString, sid);
        QFETCH(QStringList, campos);
        QFETCH(int, puerto);
        QFETCH(double, espera);
        const RegistroArranque r = RegistroArranque::analiza(registro);
        QVERIFY2(r.valido, qPrintable(r.motivo));
        QVERIFY(r.motivo.isEmpty());
        QCOMPARE(int(r.tipo), tipo);
        QCOMPARE(r.provider, provider);
        QCOMPARE(r.sid, sid);
        QCOMPARE(r.campos, campos);
        QCOMPARE(r.puerto, puerto);
        QCOMPARE(r.espera.value_or(-1), espera);
    }

    void registroNoValido_data() {
        QTest::addColumn<QString>("registro");
        QTest::addColumn<QString>("queFalla");
        const auto f = [](const char* n, const QString& registro, const char* queFalla) {
            QTest::newRow(n) << registro << QString(queFalla);
        };
        f("vacio", "", "El registro de conexión no es válido: tiene menos de cinco campos.");
        f("cuatro campos", "1,,|srv,db,sa,pw", "cinco");
        f("los campos van tras la barra", "srv,db,sa|pw,1433", "cinco");
        f("solo comas", ",,,,,,,,", "puerto");
        f("solo barras", "|||||", "cinco");
        f("solo separadores", "|,,,,|,,,|", "tipo");
        f("empieza por barra", "|srv,db,sa,pw,1433", "tipo");
        f("tipo no numerico", "x,,|srv,db,sa,pw,1433", "tipo");
        f("tipo fuera de 16 bits", "70000,,|srv,db,sa,pw,1433",
          "«70000» está fuera de los 16 bits");
        f("tipo con exponente", "1e0,,|srv,db,sa,pw,1433", "tipo");
        f("puerto no numerico", "1,,|srv,db,sa,pw,abc", "el puerto «abc» no es un número.");
        f("puerto vacio", "1,,|srv,db,sa,pw,", "puerto");
        f("puerto mayor de 32767", "1,,|srv,db,sa,pw,32768", "«32768» no está entre 0 y 32767.");
        f("puerto enorme", "1,,|srv,db,sa,pw,99999999999999999999", "puerto");
        f("puerto negativo", "1,,|srv,db,sa,pw,-1", "puerto");
        f("espera no numerica", "s,d,l,p,1,a,b,c,E,x", "espera");
        f("espera vacia", "s,d,l,p,1,a,b,c,E,", "espera");
        f("binario", QString::fromLatin1("\0\x01|\xff,\0,\0,\0,\0", 13), "tipo");
    }
    void registroNoValido() {
        QFETCH(QString, registro);
        QFETCH(QString, queFalla);
        const RegistroArranque r = RegistroArranque::analiza(registro);
        QVERIFY(!r.valido);
        QVERIFY2(r.motivo.contains(queFalla), qPrintable(r.motivo));
    }

    void lineaDeLaVentana_data() {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("puerto");
        QTest::addColumn<QString>("aplicacion");
        QTest::addColumn<QString>("linea");
        const auto f = [](const char* n, int tipo, const char* puerto, const char* aplicacion,
                          const char* linea) {
            QTest::newRow(n) << tipo << QString(puerto) << QString(aplicacion) << QString(linea);
        };
        f("sin aplicacion", 1, "1433", "", "1,,,|srv,db,sa,DFD9,1433");
        f("con aplicacion", 0, "0", "fob7.exe", "0,,,|srv,db,sa,DFD9,0,,,fob7.exe");
        f("puerto tal cual", 2, " 3306", "", "2,,,|srv,db,sa,DFD9, 3306");
    }
    void lineaDeLaVentana() {
        QFETCH(int, tipo);
        QFETCH(QString, puerto);
        QFETCH(QString, aplicacion);
        QFETCH(QString, linea);
        const QString escrita = RegistroArranque::lineaVentanaConfiguracion(
            tipo, QString(), QString(), QStringLiteral("srv"), QStringLiteral("db"),
            QStringLiteral("sa"), QStringLiteral("pw"), puerto, aplicacion);
        QCOMPARE(escrita, linea);
        const RegistroArranque r = RegistroArranque::analiza(escrita);
        QVERIFY(r.valido);
        QCOMPARE(int(r.tipo), tipo);
        QCOMPARE(r.campos.size(), aplicacion.isEmpty() ? 5 : 8);
        QCOMPARE(modTolvane1::decodifica(r.campos.at(RegistroArranque::kPassword)),
                 QStringLiteral("pw"));
    }

    void passwordGuardada_data() {
        QTest::addColumn<QString>("clara");
        QTest::addColumn<bool>("hexadecimal");
        QTest::newRow("vacia") << "" << false;
        QTest::newRow("ascii") << "Secreto#2024" << false;
        // 0xBC + 'o' - 255 = ',' would split the field.
        QTest::newRow("daria coma") << QStringLiteral("\u00BC") << true;
        // 0xAA + 'b' - 255 = CR would vanish with the line ends.
        QTest::newRow("daria retorno") << QStringLiteral("x\u00AA") << true;
        // 0xD1 + 'o' - 255 = 'A' would read as hex form.
        QTest::newRow("pareceria hexadecimal") << QStringLiteral("\u00D1") << true;
        // Outside the code page: stored as "?", as the file can hold nothing else.
        QTest::newRow("fuera de la pagina") << QStringLiteral("\u0110") << false;
    }
    void passwordGuardada() {
        QFETCH(QString, clara);
        QFETCH(bool, hexadecimal);
        const QString guardada = RegistroArranque::passwordGuardada(clara);
        QCOMPARE(guardada, hexadecimal ? modTolvane1::aHexadecimal(modTolvane1::codifica(clara))
                                       : modTolvane1::codifica(clara));
        // Written in a record and read back from the file, it is the same password.
        const QString linea = RegistroArranque::lineaArranque(
            1, QString(), QString(), QStringLiteral("s"), QStringLiteral("d"), QStringLiteral("l"),
            clara, QStringLiteral("1"));
        QTemporaryDir carpeta;
        QVERIFY(RegistroArranque::escribeFichero(ruta(carpeta), linea));
        const RegistroArranque r =
            RegistroArranque::analiza(RegistroArranque::leeFichero(ruta(carpeta)).value());
        QVERIFY(r.valido);
        QCOMPARE(r.campos.size(), 5);
        const QString esperada = platform::deCp1252(platform::aCp1252(clara));
        QCOMPARE(modTolvane1::decodifica(r.campos.at(RegistroArranque::kPassword)), esperada);
    }

    void leeFichero_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("registro");
        QTest::newRow("una linea") << QByteArray("1,,|s,d,l,p,1\r\n") << "1,,|s,d,l,p,1";
        QTest::newRow("sin fin de linea") << QByteArray("s,d,l,p,1") << "s,d,l,p,1";
        QTest::newRow("varias lineas")
            << QByteArray("1,,|s,d\r\n,l,p\r\n\r\n,1\r\n") << "1,,|s,d,l,p,1";
        QTest::newRow("finales unix y viejos") << QByteArray("a\nb\rc\r\n") << "abc";
        QTest::newRow("vacio") << QByteArray() << "";
        QTest::newRow("windows-1252")
            << QByteArray("\x80\xF1\x81\xFF") << QStringLiteral("\u20AC\u00F1\u0081\u00FF");
    }
    void leeFichero() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, registro);
        QTemporaryDir carpeta;
        prueba::escribe(ruta(carpeta), bytes);
        const std::optional<QString> leido = RegistroArranque::leeFichero(ruta(carpeta));
        QVERIFY(leido.has_value());
        QCOMPARE(*leido, registro);
    }

    void ficheroQueNoSePuedeLeer() {
        QTemporaryDir carpeta;
        QVERIFY(!RegistroArranque::leeFichero(ruta(carpeta)).has_value());
        QVERIFY(QDir(carpeta.path()).mkdir(QStringLiteral("corvinal.ini")));
        QVERIFY(!RegistroArranque::leeFichero(ruta(carpeta)).has_value());
        // A NUL byte marks a binary file: no record, not even an encoded password, holds one.
        QTemporaryDir binario;
        prueba::escribe(ruta(binario), QByteArray("1,,|s,d,l,p\0,1", 14));
        QVERIFY(!RegistroArranque::leeFichero(ruta(binario)).has_value());
    }

    void ficheroGrandeYBinario() {
        QRandomGenerator azar(99);
        QByteArray bytes(1 << 20, '\0');
        for (char& b : bytes) {
            b = char(azar.bounded(1, 256));
        }
        QTemporaryDir carpeta;
        prueba::escribe(ruta(carpeta), bytes);
        const std::optional<QString> leido = RegistroArranque::leeFichero(ruta(carpeta));
        QVERIFY(leido.has_value());
        QByteArray sinFinales = bytes;
        sinFinales.removeIf([](char c) { return c == '\r' || c == '\n'; });
        QCOMPARE(platform::aCp1252(*leido), sinFinales);
        const RegistroArranque r = RegistroArranque::analiza(*leido);
        // Random bytes before the first "|" are no connection type.
        QVERIFY(!r.valido);
    }

    void escribirReemplazaElFichero() {
        QTemporaryDir carpeta;
        prueba::escribe(ruta(carpeta), QByteArray(5000, 'x'));
        QVERIFY(RegistroArranque::escribeFichero(ruta(carpeta), QStringLiteral("a\u20AC\u4E2D")));
        QCOMPARE(prueba::lee(ruta(carpeta)), QByteArray("a\x80?\r\n"));
        const QString dentro = carpeta.path() + QStringLiteral("/no-existe/corvinal.ini");
        QVERIFY(!RegistroArranque::escribeFichero(dentro, QStringLiteral("s,d,l,p,1")));
        QVERIFY(!QFile::exists(dentro));
    }

    void rutaFichero_data() {
        QTest::addColumn<QString>("carpeta");
        QTest::addColumn<QString>("ruta");
        const auto f = [](const char* carpeta, const char* ruta) {
            QTest::newRow(carpeta) << QString(carpeta) << QString(ruta);
        };
        f("/opt/f7", "/opt/f7/corvinal.ini");
        f("/opt/f7/", "/opt/f7/corvinal.ini");
        f("C:\\f7\\", "C:\\f7\\corvinal.ini");
    }
    void rutaFichero() {
        QFETCH(QString, carpeta);
        QFETCH(QString, ruta);
        QCOMPARE(RegistroArranque::rutaFichero(carpeta), ruta);
    }
};

QTEST_GUILESS_MAIN(TstRegistroArranque)
#include "tst_RegistroArranque.moc"
