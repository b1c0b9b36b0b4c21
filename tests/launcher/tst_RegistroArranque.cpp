#include <QtTest>

#include "launcher/RegistroArranque.h"
#include "launcher/modTolvane1.h"
#include "platform/Cp1252.h"

namespace {

QString ruta(const QTemporaryDir& carpeta) {
    return RegistroArranque::rutaFichero(carpeta.path());
}

QByteArray leeBytes(const QString& ruta) {
    QFile fichero(ruta);
    return fichero.open(QIODevice::ReadOnly) ? fichero.readAll() : QByteArray();
}

void escribeBytes(const QString& ruta, const QByteArray& bytes) {
    QFile fichero(ruta);
    QVERIFY(fichero.open(QIODevice::WriteOnly));
    QCOMPARE(fichero.write(bytes), bytes.size());
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
        const QStringList cinco = {"srv", "db", "sa", "pw", "1433"};
        QTest::newRow("prefijo tipo 1 y dos vacios") << "1,,|srv,db,sa,pw,1433" << 1 << ""
                                                     << "" << cinco << 1433;
        QTest::newRow("sin prefijo") << "srv,db,sa,pw,1433" << 1 << ""
                                     << "" << cinco << 1433;
        QTest::newRow("tipo enmarcado") << " 1 ,,|srv,db,sa,pw,1433" << 1 << ""
                                        << "" << cinco << 1433;
        QTest::newRow("tipo 0 es el fichero de datos") << "0,,|srv,db,sa,pw,1433" << 0 << ""
                                                       << "" << cinco << 1433;
        QTest::newRow("oracle") << "3,OraOLEDB.Oracle,ORCL|srv,db,sa,pw,1433" << 3
                                << "OraOLEDB.Oracle"
                                << "ORCL" << cinco << 1433;
        QTest::newRow("prefijo de la ventana") << "2,,,|srv,db,sa,pw,1433" << 2 << ""
                                               << "" << cinco << 1433;
        QTest::newRow("prefijo corto") << "2,prov|srv,db,sa,pw,1433" << 2 << "prov"
                                       << "" << cinco << 1433;
        QTest::newRow("prefijo largo") << "2,p,s,x,y|srv,db,sa,pw,1433" << 2 << "p"
                                       << "s" << cinco << 1433;
        QTest::newRow("segunda barra dentro de un campo")
            << "1,,|srv,db,sa,p|w,1433" << 1 << ""
            << "" << QStringList{"srv", "db", "sa", "p|w", "1433"} << 1433;
        QTest::newRow("barra en el primer campo")
            << "1,,|s|rv,db,sa,pw,1433" << 1 << ""
            << "" << QStringList{"s|rv", "db", "sa", "pw", "1433"} << 1433;
        QTest::newRow("seis campos guardan su tipo")
            << "3,,|srv,db,sa,pw,1433,apps" << 3 << ""
            << "" << QStringList{"srv", "db", "sa", "pw", "1433", "apps"} << 1433;
        QTest::newRow("puerto con blancos")
            << "srv,db,sa,pw, 3306 " << 1 << ""
            << "" << QStringList{"srv", "db", "sa", "pw", " 3306 "} << 3306;
        QTest::newRow("puerto maximo")
            << "srv,db,sa,pw,32767" << 1 << ""
            << "" << QStringList{"srv", "db", "sa", "pw", "32767"} << 32767;
        QTest::newRow("campos vacios") << "1,,|,,,,0" << 1 << ""
                                       << "" << QStringList{"", "", "", "", "0"} << 0;
        QTest::newRow("diez campos")
            << "srv,db,sa,pw,1433,a,b,c,E,2.5" << 1 << ""
            << "" << QStringList{"srv", "db", "sa", "pw", "1433", "a", "b", "c", "E", "2.5"}
            << 1433;
    }
    void analiza() {
        QFETCH(QString, registro);
        QFETCH(int, tipo);
        QFETCH(QString, provider);
        QFETCH(QString, sid);
        QFETCH(QStringList, campos);
        QFETCH(int, puerto);
        const RegistroArranque r = RegistroArranque::analiza(registro);
        QVERIFY2(r.valido, qPrintable(r.motivo));
        QVERIFY(r.motivo.isEmpty());
        QCOMPARE(int(r.tipo), tipo);
        QCOMPARE(r.provider, provider);
        QCOMPARE(r.sid, sid);
        QCOMPARE(r.campos, campos);
        QCOMPARE(r.puerto, puerto);
    }

    void espera_data() {
        QTest::addColumn<QString>("registro");
        QTest::addColumn<bool>("hayEspera");
        QTest::addColumn<double>("espera");
        QTest::newRow("nueve campos") << "s,d,l,p,1,a,b,c,E" << false << 0.0;
        QTest::newRow("con decimales") << "s,d,l,p,1,a,b,c,E,2.5" << true << 2.5;
        QTest::newRow("entera con blancos") << "s,d,l,p,1,a,b,c,E, 3 " << true << 3.0;
        QTest::newRow("once campos") << "s,d,l,p,1,a,b,c,E,1,extra" << true << 1.0;
    }
    void espera() {
        QFETCH(QString, registro);
        QFETCH(bool, hayEspera);
        QFETCH(double, espera);
        const RegistroArranque r = RegistroArranque::analiza(registro);
        QVERIFY(r.valido);
        QCOMPARE(r.espera.has_value(), hayEspera);
        if (hayEspera) {
            QCOMPARE(*r.espera, espera);
        }
    }

    void registroNoValido_data() {
        QTest::addColumn<QString>("registro");
        QTest::addColumn<QString>("queFalla");
        QTest::newRow("vacio") << ""
                               << "cinco";
        QTest::newRow("cuatro campos") << "1,,|srv,db,sa,pw"
                                       << "cinco";
        QTest::newRow("cuatro sin prefijo") << "srv,db,sa,pw"
                                            << "cinco";
        QTest::newRow("los campos van tras la barra") << "srv,db,sa|pw,1433"
                                                      << "cinco";
        QTest::newRow("solo comas") << ",,,,,,,,"
                                    << "puerto";
        QTest::newRow("solo barras") << "|||||"
                                     << "cinco";
        QTest::newRow("solo separadores") << "|,,,,|,,,|"
                                          << "tipo";
        QTest::newRow("empieza por barra") << "|srv,db,sa,pw,1433"
                                           << "tipo";
        QTest::newRow("tipo no numerico") << "x,,|srv,db,sa,pw,1433"
                                          << "tipo";
        QTest::newRow("tipo fuera de 16 bits") << "70000,,|srv,db,sa,pw,1433"
                                               << "tipo";
        QTest::newRow("tipo con exponente") << "1e0,,|srv,db,sa,pw,1433"
                                            << "tipo";
        QTest::newRow("puerto no numerico") << "1,,|srv,db,sa,pw,abc"
                                            << "puerto";
        QTest::newRow("puerto vacio") << "1,,|srv,db,sa,pw,"
                                      << "puerto";
        QTest::newRow("puerto mayor de 32767") << "1,,|srv,db,sa,pw,32768"
                                               << "puerto";
        QTest::newRow("puerto enorme") << "1,,|srv,db,sa,pw,99999999999999999999"
                                       << "puerto";
        QTest::newRow("puerto negativo") << "1,,|srv,db,sa,pw,-1"
                                         << "puerto";
        QTest::newRow("espera no numerica") << "s,d,l,p,1,a,b,c,E,x"
                                            << "espera";
        QTest::newRow("espera vacia") << "s,d,l,p,1,a,b,c,E,"
                                      << "espera";
        QTest::newRow("binario") << QString::fromLatin1("\0\x01|\xff,\0,\0,\0,\0", 13) << "tipo";
    }
    void registroNoValido() {
        QFETCH(QString, registro);
        QFETCH(QString, queFalla);
        const RegistroArranque r = RegistroArranque::analiza(registro);
        QVERIFY(!r.valido);
        QVERIFY2(r.motivo.contains(queFalla), qPrintable(r.motivo));
    }

    void lineaDeLaEntrada_data() {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QStringList>("descarga");
        QTest::addColumn<QByteArray>("bytes");
        // "pw" encodes to p + 'o' = 0xDF and w + 'b' = 0xD9 (two characters: no permutation).
        QTest::newRow("cinco campos")
            << 1 << QStringList() << QByteArray(" 1 ,prov,sid|srv,db,sa,\xDF\xD9,1433\r\n");
        QTest::newRow("tipo 0") << 0 << QStringList()
                                << QByteArray(" 0 ,prov,sid|srv,db,sa,\xDF\xD9,1433\r\n");
        QTest::newRow("tipo negativo")
            << -1 << QStringList() << QByteArray("-1 ,prov,sid|srv,db,sa,\xDF\xD9,1433\r\n");
        QTest::newRow("ocho campos")
            << 3 << QStringList{"apps", "/opt/f7", "fob7.exe"}
            << QByteArray(" 3 ,prov,sid|srv,db,sa,\xDF\xD9,1433,apps,/opt/f7,fob7.exe\r\n");
    }
    void lineaDeLaEntrada() {
        QFETCH(int, tipo);
        QFETCH(QStringList, descarga);
        QFETCH(QByteArray, bytes);
        const QString linea = RegistroArranque::lineaArranque(
            tipo, QStringLiteral("prov"), QStringLiteral("sid"), QStringLiteral("srv"),
            QStringLiteral("db"), QStringLiteral("sa"), QStringLiteral("pw"),
            QStringLiteral("1433"), descarga);
        QTemporaryDir carpeta;
        QVERIFY(RegistroArranque::escribeFichero(ruta(carpeta), linea));
        QCOMPARE(leeBytes(ruta(carpeta)), bytes);
    }

    void lineaDeLaVentana_data() {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("puerto");
        QTest::addColumn<QString>("aplicacion");
        QTest::addColumn<QString>("linea");
        QTest::newRow("sin aplicacion") << 1 << "1433"
                                        << ""
                                        << "1,,,|srv,db,sa,DFD9,1433";
        QTest::newRow("con aplicacion") << 0 << "0"
                                        << "fob7.exe"
                                        << "0,,,|srv,db,sa,DFD9,0,,,fob7.exe";
        QTest::newRow("puerto tal cual") << 2 << " 3306"
                                         << ""
                                         << "2,,,|srv,db,sa,DFD9, 3306";
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
        QTest::newRow("nulos") << QByteArray("a\0b", 3) << QString::fromLatin1("a\0b", 3);
    }
    void leeFichero() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, registro);
        QTemporaryDir carpeta;
        escribeBytes(ruta(carpeta), bytes);
        const std::optional<QString> leido = RegistroArranque::leeFichero(ruta(carpeta));
        QVERIFY(leido.has_value());
        QCOMPARE(*leido, registro);
    }

    void ficheroQueNoSePuedeLeer() {
        QTemporaryDir carpeta;
        QVERIFY(!RegistroArranque::leeFichero(ruta(carpeta)).has_value());
        QVERIFY(QDir(carpeta.path()).mkdir(QStringLiteral("corvinal.ini")));
        QVERIFY(!RegistroArranque::leeFichero(ruta(carpeta)).has_value());
    }

    void ficheroGrandeYBinario() {
        QRandomGenerator azar(99);
        QByteArray bytes(1 << 20, '\0');
        for (char& b : bytes) {
            b = char(azar.bounded(256));
        }
        QTemporaryDir carpeta;
        escribeBytes(ruta(carpeta), bytes);
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
        escribeBytes(ruta(carpeta), QByteArray(5000, 'x'));
        QVERIFY(RegistroArranque::escribeFichero(ruta(carpeta), QStringLiteral("a\u20AC\u4E2D")));
        QCOMPARE(leeBytes(ruta(carpeta)), QByteArray("a\x80?\r\n"));
    }

    void escribirDondeNoSePuede() {
        QTemporaryDir carpeta;
        const QString dentro = carpeta.path() + QStringLiteral("/no-existe/corvinal.ini");
        QVERIFY(!RegistroArranque::escribeFichero(dentro, QStringLiteral("s,d,l,p,1")));
        QVERIFY(!QFile::exists(dentro));
    }

    void rutaFichero_data() {
        QTest::addColumn<QString>("carpeta");
        QTest::addColumn<QString>("ruta");
        QTest::newRow("sin separador") << "/opt/f7"
                                       << "/opt/f7/corvinal.ini";
        QTest::newRow("con barra") << "/opt/f7/"
                                   << "/opt/f7/corvinal.ini";
        QTest::newRow("con barra inversa") << "C:\\f7\\"
                                           << "C:\\f7\\corvinal.ini";
    }
    void rutaFichero() {
        QFETCH(QString, carpeta);
        QFETCH(QString, ruta);
        QCOMPARE(RegistroArranque::rutaFichero(carpeta), ruta);
    }
};

QTEST_GUILESS_MAIN(TstRegistroArranque)
#include "tst_RegistroArranque.moc"
