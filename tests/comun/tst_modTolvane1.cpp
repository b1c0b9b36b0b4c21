#include <QtTest>

#include "comun/cListaParametros.h"
#include "comun/modTolvane1.h"
#include "platform/Cp1252.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"
#include "support/FicherosPrueba.h"

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

}  // namespace

// The common module and the parameter list.
class TstModTolvane1 : public QObject {
    Q_OBJECT
private slots:
    // Each test starts from an emptied list: faltaUnParametro counts on it.
    void init() {
        parametros.limpiar();
        parametros.setNoHaceFaltaIniciar(false);
    }

    void nombreSinDistinguirMayusculas() {
        parametros.setValor(QStringLiteral("AÑO"), QStringLiteral("dd-mm-yy"));
        QCOMPARE(parametros.valor(QStringLiteral("año")), QVariant(QStringLiteral("dd-mm-yy")));
        QCOMPARE(parametros.parametro(1), QStringLiteral("año"));
        // Naming one again moves it to the end with its new value, of any type.
        parametros.setValor(QStringLiteral("b"), 2);
        parametros.setValor(QStringLiteral("Año"), QDate(2007, 3, 13));
        QCOMPARE(parametros.nParametros(), 2);
        QCOMPARE(parametros.parametro(1), QStringLiteral("b"));
        QCOMPARE(parametros.parametro(2), QStringLiteral("año"));
        QCOMPARE(parametros.valor(QStringLiteral("AÑO")), QVariant(QDate(2007, 3, 13)));
        const QVariant nulo(QMetaType::fromType<QString>());
        parametros.setValor(QStringLiteral("b"), nulo);
        QCOMPARE(parametros.valor(QStringLiteral("B")).metaType(), nulo.metaType());
        QVERIFY(parametros.valor(QStringLiteral("B")).isNull());
        for (const int fuera : {0, -1, 3}) {
            QCOMPARE(prueba::errorLanzado([fuera] { parametros.parametro(fuera); }).numero(), 9);
        }
    }

    void faltaUnParametro() {
        parametros.setValor(QStringLiteral("otro"), 1);
        const auto e =
            prueba::errorLanzado([] { parametros.valor(QStringLiteral("FormatoFecha")); });
        QCOMPARE(e.numero(), platform::kErrorParametroDesconocido);
        QCOMPARE(e.descripcion(), QStringLiteral("No se encontró el parámetro: FormatoFecha"));
        parametros.setNoHaceFaltaIniciar(true);
        const QVariant vacio = parametros.valor(QStringLiteral("FormatoFecha"));
        QCOMPARE(vacio.metaType(), QMetaType::fromType<QString>());
        QVERIFY(!vacio.isNull());
        QCOMPARE(vacio.toString(), QString());
        QCOMPARE(parametros.nParametros(), 1);
    }

    void permutaBloques() {
        const std::pair<const char*, const char*> casos[] = {{"", ""},
                                                             {"abc", "abc"},
                                                             {"abcde", "dcbae"},
                                                             {"abcdef", "cdabef"},
                                                             {"abcdefg", "cdabefg"},
                                                             {"abcdefgh", "dcbahgfe"}};
        for (const auto& [texto, permutado] : casos) {
            QCOMPARE(modTolvane1::permutaBloques(texto), QString(permutado));
            QCOMPARE(modTolvane1::permutaBloques(permutado), QString(texto));
        }
    }

    void codifica() {
        // Worked by hand: code + key letter (o, b, r, e, n, i, l, t, then v), after the
        // permutation, less 255 past 255.
        const std::pair<QString, const char*> casos[] = {{"", ""},
                                                         {"a", "D0"},
                                                         {"abcde", "D3C5D4C6D3"},
                                                         {"aaaaaaaaa", "D0C3D3C6CFCACDD5D7"},
                                                         {deCodigos({255}), "6F"},
                                                         {QStringLiteral("\u20AC"), "EF"}};
        for (const auto& [texto, hexadecimal] : casos) {
            const QString crudo = modTolvane1::codifica(texto);
            QCOMPARE(crudo.size(), texto.size());
            QCOMPARE(modTolvane1::aHexadecimal(crudo), QString(hexadecimal));
            QCOMPARE(modTolvane1::decodifica(hexadecimal), texto);
        }
        // Lower-case digits are no hex form: the text is read as raw.
        QCOMPARE(modTolvane1::decodifica(QStringLiteral("d0")).size(), 2);
    }

    void todoVuelve() {
        // Every code at every key position, inside a text of printable neighbours.
        for (int c = 1; c <= 255; ++c) {
            for (int posicion = 0; posicion < 9; ++posicion) {
                QString texto = QStringLiteral("xxxxxxxxx");
                texto[posicion] = platform::caracterCodigo(c);
                const QString crudo = modTolvane1::codifica(texto);
                // Printable text encodes above 128, so its raw form never looks hexadecimal.
                const int minimo = c >= 32 && c <= 126 ? 129 : 1;
                QVERIFY(std::all_of(crudo.begin(), crudo.end(), [minimo](QChar k) {
                    const int codigo = platform::codigoCaracter(k);
                    return codigo >= minimo && codigo <= 255;
                }));
                QCOMPARE(modTolvane1::decodifica(crudo), texto);
                QCOMPARE(modTolvane1::decodifica(modTolvane1::aHexadecimal(crudo)), texto);
            }
        }
        // A raw form that looks hexadecimal is read as hex form: only the hex form is sure.
        QRandomGenerator azar(20240611);
        for (int vuelta = 0; vuelta < 2000; ++vuelta) {
            const QString texto = textoAlAzar(azar, azar.bounded(0, 40), 1, 255);
            const QString hexadecimal = modTolvane1::aHexadecimal(modTolvane1::codifica(texto));
            QCOMPARE(modTolvane1::decodifica(hexadecimal), texto);
        }
    }

    void hexadecimal() {
        const struct {
            QString texto;
            const char* hexadecimal;
            bool ida;
        } casos[] = {
            {deCodigos({1, 10, 255}), "010AFF", true},
            {QStringLiteral("\u20AC\u00F1"), "80F1", true},
            {deCodigos({0x81, 0x9D}), "819D", true},
            {QStringLiteral("ab\u000F"), "6162F", false},
            {"j", "6a", false},
            {deCodigos({0, 0x41}), "ZZ41", false},
        };
        for (const auto& c : casos) {
            QCOMPARE(modTolvane1::deHexadecimal(c.hexadecimal), c.texto);
            if (c.ida) {
                QCOMPARE(modTolvane1::aHexadecimal(c.texto), QString(c.hexadecimal));
            }
        }
    }

    void carpetaTemporal() {
        const bool habia = qEnvironmentVariableIsSet("temp");
        const QByteArray antes = qgetenv("temp");
        const auto restaura =
            qScopeGuard([&] { habia ? qputenv("temp", antes) : qunsetenv("temp"); });
        QTemporaryDir real;
        QTemporaryDir otra;
        const QString enlace = otra.path() + QStringLiteral("/enlace");
        QVERIFY(QFile::link(real.path(), enlace));

        qunsetenv("temp");
        QCOMPARE(modTolvane1::carpetaTemporal(), QString());
        QCOMPARE(modTolvane1::carpetaTemporalSegura(), QDir::tempPath());

        qputenv("temp", QFile::encodeName(enlace + QStringLiteral("/")));
        QCOMPARE(modTolvane1::carpetaTemporal(), QFileInfo(real.path()).canonicalFilePath());
        QCOMPARE(modTolvane1::carpetaTemporalSegura(), modTolvane1::carpetaTemporal());

        qputenv("temp", QFile::encodeName(real.path() + QStringLiteral("/no-existe")));
        QCOMPARE(modTolvane1::carpetaTemporal(), QString());

        qputenv("temp", "/");
        QCOMPARE(modTolvane1::carpetaTemporalSegura(), QDir::tempPath());
    }

    void semillaEsElSistemaDeFicheros() {
        const QString carpeta = QCoreApplication::applicationDirPath();
        // A file left behind by an earlier run is removed, not trusted.
        prueba::escribe(carpeta + QStringLiteral("/semilla"), "previo");
        const QString semilla = modTolvane1::obtieneSemilla();
        QVERIFY(!QFile::exists(carpeta + QStringLiteral("/semilla")));
        QVERIFY2(
            QRegularExpression(QStringLiteral("^[1-9A-F][0-9A-F]*$|^0$")).match(semilla).hasMatch(),
            qPrintable(semilla));
        QCOMPARE(modTolvane1::obtieneSemilla(), semilla);
    }
};

QTEST_GUILESS_MAIN(TstModTolvane1)
#include "tst_modTolvane1.moc"
