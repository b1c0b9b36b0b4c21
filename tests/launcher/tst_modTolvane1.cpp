#include <QtTest>

#include "launcher/modTolvane1.h"
#include "platform/Cp1252.h"

namespace {

QString deCodigos(std::initializer_list<int> codigos) {
    QString texto;
    for (const int c : codigos) {
        texto += platform::caracterCodigo(c);
    }
    return texto;
}

// A text of `largo` characters drawn from codes minimo ... maximo.
QString textoAlAzar(QRandomGenerator& azar, int largo, int minimo, int maximo) {
    QString texto;
    for (int i = 0; i < largo; ++i) {
        texto += platform::caracterCodigo(azar.bounded(minimo, maximo + 1));
    }
    return texto;
}

// Restores an environment variable when the test ends.
class VariableEntorno {
public:
    explicit VariableEntorno(const char* nombre)
        : nombre_(nombre), existia_(qEnvironmentVariableIsSet(nombre)), valor_(qgetenv(nombre)) {}
    ~VariableEntorno() {
        if (existia_) {
            qputenv(nombre_, valor_);
        } else {
            qunsetenv(nombre_);
        }
    }

private:
    const char* nombre_;
    bool existia_;
    QByteArray valor_;
};

}  // namespace

class TstModTolvane1 : public QObject {
    Q_OBJECT
private slots:
    void permutaBloques_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("permutado");
        QTest::newRow("vacio") << ""
                               << "";
        QTest::newRow("uno") << "a"
                             << "a";
        QTest::newRow("dos") << "ab"
                             << "ab";
        QTest::newRow("tres") << "abc"
                              << "abc";
        QTest::newRow("cuatro") << "abcd"
                                << "dcba";
        QTest::newRow("cinco") << "abcde"
                               << "dcbae";
        QTest::newRow("seis") << "abcdef"
                              << "cdabef";
        QTest::newRow("siete") << "abcdefg"
                               << "cdabefg";
        QTest::newRow("ocho") << "abcdefgh"
                              << "dcbahgfe";
        QTest::newRow("diez") << "abcdefghij"
                              << "cdabghefij";
    }
    void permutaBloques() {
        QFETCH(QString, texto);
        QFETCH(QString, permutado);
        QCOMPARE(modTolvane1::permutaBloques(texto), permutado);
        QCOMPARE(modTolvane1::permutaBloques(permutado), texto);
    }

    void codifica_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("hexadecimal");
        // Worked by hand: code + key letter (o, b, r, e, n, i, l, t, then v), after the
        // permutation, less 255 past 255.
        QTest::newRow("vacio") << ""
                               << "";
        QTest::newRow("a") << "a"
                           << "D0";
        QTest::newRow("abcde") << "abcde"
                               << "D3C5D4C6D3";
        QTest::newRow("nueve a") << "aaaaaaaaa"
                                 << "D0C3D3C6CFCACDD5D7";
        QTest::newRow("pasa de 255") << deCodigos({255}) << "6F";
        QTest::newRow("euro") << QStringLiteral("\u20AC") << "EF";
    }
    void codifica() {
        QFETCH(QString, texto);
        QFETCH(QString, hexadecimal);
        const QString crudo = modTolvane1::codifica(texto);
        QCOMPARE(crudo.size(), texto.size());
        QCOMPARE(modTolvane1::aHexadecimal(crudo), hexadecimal);
        QCOMPARE(modTolvane1::decodifica(hexadecimal), texto);
        QCOMPARE(modTolvane1::decodifica(crudo), texto);
    }

    void cadaCodigoVuelve() {
        for (int c = 1; c <= 255; ++c) {
            for (int posicion = 0; posicion < 9; ++posicion) {
                // The code at every key position, inside a text of printable neighbours.
                QString texto = QStringLiteral("xxxxxxxxx");
                texto[posicion] = platform::caracterCodigo(c);
                const QString crudo = modTolvane1::codifica(texto);
                for (const QChar k : crudo) {
                    const int codigo = platform::codigoCaracter(k);
                    QVERIFY(codigo >= 1 && codigo <= 255);
                }
                QCOMPARE(modTolvane1::decodifica(crudo), texto);
                QCOMPARE(modTolvane1::decodifica(modTolvane1::aHexadecimal(crudo)), texto);
            }
        }
    }

    void textosAlAzarVuelven() {
        QRandomGenerator azar(20240611);
        for (int vuelta = 0; vuelta < 2000; ++vuelta) {
            const QString texto = textoAlAzar(azar, azar.bounded(0, 40), 1, 255);
            const QString crudo = modTolvane1::codifica(texto);
            // A raw form that looks hexadecimal is read as hex form: only the hex form is sure.
            QCOMPARE(modTolvane1::decodifica(modTolvane1::aHexadecimal(crudo)), texto);
        }
    }

    void formaHexadecimalYCrudaDicenLoMismo_data() {
        QTest::addColumn<QString>("clave");
        QRandomGenerator azar(7);
        for (int largo = 0; largo <= 9; ++largo) {
            QTest::newRow(qPrintable(QStringLiteral("largo %1").arg(largo)))
                << textoAlAzar(azar, largo, 32, 126);
        }
    }
    void formaHexadecimalYCrudaDicenLoMismo() {
        QFETCH(QString, clave);
        const QString crudo = modTolvane1::codifica(clave);
        const QString hexadecimal = modTolvane1::aHexadecimal(crudo);
        QCOMPARE(hexadecimal.size(), clave.size() * 2);
        // Printable text encodes above 128, so its raw form never looks hexadecimal.
        for (const QChar k : crudo) {
            QVERIFY(platform::codigoCaracter(k) > 128);
        }
        QCOMPARE(modTolvane1::decodifica(crudo), clave);
        QCOMPARE(modTolvane1::decodifica(hexadecimal), clave);
    }

    void hexadecimal_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("hexadecimal");
        QTest::newRow("abc") << "abc"
                             << "616263";
        QTest::newRow("relleno") << deCodigos({1, 10, 255}) << "010AFF";
        QTest::newRow("euro y enye") << QStringLiteral("\u20AC\u00F1") << "80F1";
        QTest::newRow("sin definir") << deCodigos({0x81, 0x9D}) << "819D";
        QTest::newRow("vacio") << ""
                               << "";
    }
    void hexadecimal() {
        QFETCH(QString, texto);
        QFETCH(QString, hexadecimal);
        QCOMPARE(modTolvane1::aHexadecimal(texto), hexadecimal);
        QCOMPARE(modTolvane1::deHexadecimal(hexadecimal), texto);
    }

    void deHexadecimalRaro_data() {
        QTest::addColumn<QString>("hexadecimal");
        QTest::addColumn<QString>("texto");
        QTest::newRow("ultima cifra sola") << "6162F" << QStringLiteral("ab\u000F");
        QTest::newRow("minusculas") << "6a"
                                    << "j";
        QTest::newRow("no hexadecimal") << "ZZ41" << deCodigos({0, 0x41});
        QTest::newRow("a medias") << "4Z" << deCodigos({4});
    }
    void deHexadecimalRaro() {
        QFETCH(QString, hexadecimal);
        QFETCH(QString, texto);
        QCOMPARE(modTolvane1::deHexadecimal(hexadecimal), texto);
    }

    void minusculasNoSonFormaHexadecimal() {
        QCOMPARE(modTolvane1::decodifica(QStringLiteral("D0")), QStringLiteral("a"));
        QVERIFY(modTolvane1::decodifica(QStringLiteral("d0")) != QStringLiteral("a"));
        QCOMPARE(modTolvane1::decodifica(QStringLiteral("d0")).size(), 2);
    }

    void sumaYRestaConOtraClave() {
        const QString clave = QStringLiteral("xy");
        const QString texto = QStringLiteral("Hola mundo");
        const QString sumado = modTolvane1::sumaClave(texto, clave);
        QCOMPARE(platform::codigoCaracter(sumado.at(0)),
                 platform::codigoCaracter(modTolvane1::permutaBloques(texto).at(0)) + 'y');
        QCOMPARE(modTolvane1::restaClave(sumado, clave), texto);
        QCOMPARE(modTolvane1::sumaClave(texto, QString()), modTolvane1::permutaBloques(texto));
    }

    void carpetaTemporal() {
        VariableEntorno guarda("temp");
        QTemporaryDir real;
        QTemporaryDir otra;
        const QString enlace = otra.path() + QStringLiteral("/enlace");
        QVERIFY(QFile::link(real.path(), enlace));

        qunsetenv("temp");
        QCOMPARE(modTolvane1::carpetaTemporal(), QString());
        QCOMPARE(modTolvane1::carpetaTemporalSegura(), QDir::tempPath());

        qputenv("temp", "");
        QCOMPARE(modTolvane1::carpetaTemporal(), QString());

        qputenv("temp", QFile::encodeName(enlace + QStringLiteral("/")));
        QCOMPARE(modTolvane1::carpetaTemporal(), QFileInfo(real.path()).canonicalFilePath());
        QCOMPARE(modTolvane1::carpetaTemporalSegura(), modTolvane1::carpetaTemporal());

        qputenv("temp", QFile::encodeName(real.path() + QStringLiteral("/no-existe")));
        QCOMPARE(modTolvane1::carpetaTemporal(), QString());
        QCOMPARE(modTolvane1::carpetaTemporalSegura(), QDir::tempPath());

        qputenv("temp", "/");
        QCOMPARE(modTolvane1::carpetaTemporalSegura(), QDir::tempPath());
    }

    void semillaEsElSistemaDeFicheros() {
        const QString carpeta = QCoreApplication::applicationDirPath();
        const QString semilla = modTolvane1::obtieneSemilla();
        QVERIFY(!semilla.isEmpty());
        QVERIFY2(
            QRegularExpression(QStringLiteral("^[1-9A-F][0-9A-F]*$|^0$")).match(semilla).hasMatch(),
            qPrintable(semilla));
        QVERIFY(!QFile::exists(carpeta + QStringLiteral("/semilla")));
        QCOMPARE(modTolvane1::obtieneSemilla(), semilla);

        // The system's own tool names the same file system.
        QProcess stat;
        stat.start(QStringLiteral("stat"),
                   {QStringLiteral("-f"), QStringLiteral("-c"), QStringLiteral("%i"), carpeta});
        if (stat.waitForFinished() && stat.exitCode() == 0) {
            QString esperado = QString::fromLatin1(stat.readAllStandardOutput()).trimmed();
            esperado = QString::number(esperado.toULongLong(nullptr, 16), 16).toUpper();
            if (esperado != QStringLiteral("0")) {
                QCOMPARE(semilla, esperado);
            }
        }
    }

    void semillaBorraUnFicheroQueYaEstaba() {
        const QString ruta = QCoreApplication::applicationDirPath() + QStringLiteral("/semilla");
        QFile fichero(ruta);
        QVERIFY(fichero.open(QIODevice::WriteOnly));
        fichero.write("previo");
        fichero.close();
        QVERIFY(!modTolvane1::obtieneSemilla().isEmpty());
        QVERIFY(!QFile::exists(ruta));
    }
};

QTEST_GUILESS_MAIN(TstModTolvane1)
#include "tst_modTolvane1.moc"
