#include <QtTest>
#include <limits>

#include "platform/Cp1252.h"
#include "platform/EnlaceTardio.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Espera.h"
#include "platform/Formato.h"
#include "platform/Numero.h"
#include "platform/Reloj.h"
#include "support/ErrorLanzado.h"

using namespace Qt::Literals::StringLiterals;

// An object offering members of several signatures, as a control of any kind may.
class Ofrece : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint32 Rows MEMBER rows)
    Q_PROPERTY(QString Texto MEMBER texto)
    Q_PROPERTY(QVariant Fuente MEMBER fuente)
    Q_PROPERTY(qint32 Fijo READ fijo)
public:
    qint32 rows = 0;
    QString texto;
    QVariant fuente;
    QList<QVariantList> llamadas;

    qint32 fijo() const { return 3; }
    Q_INVOKABLE void setRowData(int fila, qint64 valor) { llamadas.append({fila, valor}); }
    Q_INVOKABLE QString textmatrix(int fila, int col) const {
        return u"%1,%2"_s.arg(fila).arg(col);
    }
    Q_INVOKABLE QVariant RowData(int fila) const { return fila * 10; }
    Q_INVOKABLE int FindRow(const QVariant& v, int desde = 1) const { return v.toInt() + desde; }
};

class TstFormato : public QObject {
    Q_OBJECT
private slots:
    void formatos() {
        const struct {
            double valor;
            const char *patron, *texto;
        } casos[] = {
            {0.4, "######", ""},
            {2.5, "######", "3"},  // halves go up, not to even
            {12345678.0, "######", "12345678"},
            {1.005, "##0.00", "1.01"},
            {99999.999, "##0.00", "100000.00"},
            {-3.5, "##0.00", "-3.50"},
            {-0.001, "##0.00", "0.00"},
            {5.0, "#.##", "5."},
            {0.5, "#.##", ".5"},
            {2.0, "0.0#", "2.0"},
            {2.126, "0.0#", "2.13"},
            {1e20, "#", "100000000000000000000"},
            {std::numeric_limits<double>::quiet_NaN(), "0", "NaN"},
        };
        for (const auto& c : casos) {
            QCOMPARE(platform::formatoNumero(c.valor, c.patron), QString(c.texto));
        }
        QCOMPARE(platform::formatoNumero(3.14159, QStringLiteral("##0.00"), u','),
                 QStringLiteral("3,14"));
        for (const char* patron : {"0.0.0", "##x", "#,##0"}) {
            QCOMPARE(prueba::errorLanzado([&] { platform::formatoNumero(1.0, patron); }).numero(),
                     platform::kErrorArgumento);
        }
        // The dialect's own date patterns are the toolkit's date texts.
        const QDateTime enero(QDate(2009, 1, 2), QTime(7, 8, 9));
        const struct {
            QDateTime valor;
            const char *patron, *texto;
        } fechas[] = {
            {enero, "d/m/yyyy h:n:s", "2/1/2009 7:8:9"},
            {enero, "DD/MM/YYYY", "02/01/2009"},
            {enero, "[dd] (mm)", "[02] (01)"},
            {QDateTime(QDate(2000, 12, 31), QTime(0, 0)), "yy hh:nn:ss", "00 00:00:00"},
            {QDateTime(), "dd-mm-yy", ""},
        };
        for (const auto& c : fechas) {
            QCOMPARE(platform::formatoFecha(c.valor, c.patron), QString(c.texto));
        }
    }

    void numeros() {
        const double casos[][2] = {
            {2.5, 2.0},   {3.5, 4.0},         {-2.5, -2.0},
            {0.5, 0.0},   {2.4999, 2.0},      {2.5001, 3.0},
            {-2.6, -3.0}, {86399.5, 86400.0}, {9007199254740991.0, 9007199254740991.0}};
        for (const auto& [x, esperado] : casos) {
            QCOMPARE(platform::redondeaPar(x), esperado);
        }
        const std::pair<QString, double> numericos[] = {{"\t1433 ", 1433.0}, {"-12", -12.0},
                                                        {"+7", 7.0},         {".5", 0.5},
                                                        {"5.", 5.0},         {"007", 7.0}};
        for (const auto& [texto, valor] : numericos) {
            QVERIFY2(platform::esNumerico(texto), qPrintable(texto));
            QCOMPARE(platform::valorNumerico(texto), std::optional<double>(valor));
        }
        for (const QString no : {"", "   ", ".", "-", "12a", "1.2.3", "1,5", "1e5", "&H10", "1 2",
                                 "- 2", "--2", "\u0661"}) {
            QVERIFY2(!platform::esNumerico(no), qPrintable(no));
            QVERIFY(!platform::valorNumerico(no));
        }
        const std::pair<const char*, std::optional<qint64>> enteros[] = {
            {" 1433 ", 1433},   {"32767", 32767}, {"32768", {}},
            {"-32768", -32768}, {"-32769", {}},   {"2.5", 2},
            {"32767.5", {}},    {"x", {}},        {"99999999999999999999999", {}}};
        for (const auto& [texto, valor] : enteros) {
            QCOMPARE(platform::enteroNumerico(texto, -32768, 32767), valor);
        }
        const std::pair<double, const char*> decimales[] = {
            {3.0, "3"},
            {-0.25, "-0.25"},
            {-0.0, "0"},
            {1.0 / 3.0, "0.3333333333333333"},
            {123456789012345.0, "123456789012345"},
            {1e20, "1e+20"},
            {1e-7, "1e-07"},
            {0.000125, "0.000125"},
            {std::numeric_limits<double>::quiet_NaN(), "NaN"},
            {std::numeric_limits<double>::infinity(), "Infinity"}};
        for (const auto& [x, texto] : decimales) {
            QCOMPARE(platform::textoDecimal(x), QString(texto));
        }
    }

    // A decimal comma in the default locale reaches no text.
    void ignoraElIdioma() {
        const QLocale antes;
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        const auto restaura = qScopeGuard([&] { QLocale::setDefault(antes); });
        QCOMPARE(platform::formatoNumero(1234.5, "##0.00"), QStringLiteral("1234.50"));
        QCOMPARE(platform::formatoFecha(QDate(2007, 3, 13), QStringLiteral("yyyy-mm-dd hh:nn")),
                 QStringLiteral("2007-03-13 00:00"));
        for (const double v :
             {0.1 + 0.2, 2.0 / 3.0, 1e-6, 999999999999999.9, -1234.5678, 1.5,
              std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()}) {
            const QString texto = platform::textoDecimal(v);
            QVERIFY2(!texto.contains(u','), qPrintable(texto));
            QCOMPARE(texto.toDouble(), v);
        }
    }

    void codigosCp1252() {
        // The undefined codes 81, 8D, 8F, 90 and 9D stand for the control characters of the
        // same number.
        const int casos[][2] = {{0x00, 0x0000}, {0x41, 0x0041}, {0x80, 0x20AC}, {0x81, 0x0081},
                                {0x8D, 0x008D}, {0x8E, 0x017D}, {0x8F, 0x008F}, {0x90, 0x0090},
                                {0x99, 0x2122}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xFF, 0x00FF}};
        for (const auto& [codigo, unicode] : casos) {
            QCOMPARE(platform::caracterCodigo(codigo), QChar(char16_t(unicode)));
            QCOMPARE(platform::deCp1252(QByteArray(1, char(codigo))),
                     QString(QChar(char16_t(unicode))));
        }
        QByteArray todos;
        for (int c = 0; c < 256; ++c) {
            todos.append(char(c));
            QCOMPARE(platform::codigoCaracter(platform::caracterCodigo(c)), c);
        }
        const QString texto = platform::deCp1252(todos);
        QCOMPARE(QSet<QChar>(texto.begin(), texto.end()).size(), 256);
        QCOMPARE(platform::aCp1252(texto), todos);
        for (const int codigo : {-1, 256, 0x20AC}) {
            QCOMPARE(prueba::errorLanzado([&] { platform::caracterCodigo(codigo); }).numero(), 5);
        }
        const std::pair<QString, QByteArray> ajenos[] = {
            {QString(QChar(char16_t(0x80))), "?"},
            {QStringLiteral("x\u0100y"), "x?y"},
            {QStringLiteral("a\U0001F600b"), "a?b"},
            {QString(QChar(char16_t(0xD800))), "?"},
            {QString(QChar(char16_t(0xDC00))) + u'z', "?z"},
            {QString(), QByteArray()},
        };
        for (const auto& [ajeno, bytes] : ajenos) {
            QCOMPARE(platform::aCp1252(ajeno), bytes);
        }
    }

    // Members reached by name: conversions to the declared types, results, and the errors.
    void miembrosPorNombre() {
        const std::tuple<const char*, QVariant, QVariant> casos[] = {
            {"Rows", u"12"_s, qint32(12)},
            {"Texto", 7, u"7"_s},
            {"Rows", QVariant(), qint32(0)},
            {"Fuente", 2.5, 2.5},
        };
        for (const auto& [nombre, valor, leido] : casos) {
            Ofrece o;
            o.rows = 99;
            platform::ponPropiedad(&o, nombre, valor);
            QCOMPARE(platform::leePropiedad(&o, nombre), leido);
        }
        Ofrece o;
        o.setProperty("BoundText", u"a"_s);
        platform::ponPropiedad(&o, "BoundText", u"b"_s);
        QCOMPARE(platform::leePropiedad(&o, "BoundText"), QVariant(u"b"_s));

        QCOMPARE(platform::invoca(&o, "textmatrix", {2, u"3"_s}), QVariant(u"2,3"_s));
        QCOMPARE(platform::invoca(&o, "RowData", {4}), QVariant(40));
        QCOMPARE(platform::invoca(&o, "setRowData", {1, u"5000000000"_s}), QVariant());
        QCOMPARE(o.llamadas, (QList<QVariantList>{{1, qint64(5000000000)}}));
        // A default argument may be left out.
        QCOMPARE(platform::invoca(&o, "FindRow", {u"x"_s}), QVariant(1));
        QCOMPARE(platform::invoca(&o, "FindRow", {6, 2}), QVariant(8));

        // No object is 91, a member it lacks (or with other arguments, or read-only) is 438, a text
        // that is no number is 13; nothing is written on the way.
        Ofrece intacto;
        const QList<std::pair<std::function<void()>, int>> errores = {
            {[] { platform::ponPropiedad(nullptr, "Rows", 1); }, platform::kErrorSinObjeto},
            {[] { platform::invoca(nullptr, "AddItem", {u"x"_s}); }, platform::kErrorSinObjeto},
            {[&] { platform::leePropiedad(&intacto, "TopRow"); }, platform::kErrorSinMiembro},
            {[&] { platform::invoca(&intacto, "AddItem", {u"x"_s}); }, platform::kErrorSinMiembro},
            {[&] { platform::invoca(&intacto, "textmatrix", {1}); }, platform::kErrorSinMiembro},
            {[&] { platform::ponPropiedad(&intacto, "Fijo", 4); }, platform::kErrorSinMiembro},
            {[&] { platform::ponPropiedad(&intacto, "Rows", u"muchas"_s); }, platform::kErrorTipos},
            {[&] { platform::invoca(&intacto, "RowData", {u"primera"_s}); }, platform::kErrorTipos},
        };
        for (const auto& [accion, numero] : errores) {
            QCOMPARE(prueba::errorLanzado(accion).numero(), numero);
        }
        QCOMPARE(intacto.rows, 0);
        QVERIFY(intacto.llamadas.isEmpty());
    }

    void esperaSegundos() {
        int vueltas = 0;
        QTimer temporizador;
        connect(&temporizador, &QTimer::timeout, this, [&] { ++vueltas; });
        temporizador.start(10);
        const qint64 antes = platform::reloj().monotonoMs();
        const std::clock_t cpuAntes = std::clock();
        platform::esperaSegundos(0.3);
        const double cpu = double(std::clock() - cpuAntes) / CLOCKS_PER_SEC;
        QVERIFY(platform::reloj().monotonoMs() - antes >= 290);
        QVERIFY(vueltas >= 3);
        QVERIFY2(cpu < 0.15, qPrintable(QString::number(cpu)));
        for (const double segundos : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN()}) {
            bool atendido = false;
            QTimer::singleShot(0, this, [&] { atendido = true; });
            QElapsedTimer medido;
            medido.start();
            platform::esperaSegundos(segundos);
            QVERIFY(atendido);
            QVERIFY(medido.elapsed() < 5000);
        }
    }
};

QTEST_GUILESS_MAIN(TstFormato)
#include "tst_Formato.moc"
