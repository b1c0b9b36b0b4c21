#include <QtTest>

#include "platform/Cp1252.h"
#include "platform/ErrorEjecucion.h"
#include "support/ErrorLanzado.h"

class TstCp1252 : public QObject {
    Q_OBJECT
private slots:
    void codigosYCaracteres() {
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
    }

    void caracterAjenoEsInterrogacion() {
        const std::pair<QString, QByteArray> casos[] = {
            {QString(QChar(char16_t(0x80))), "?"},
            {QStringLiteral("x\u0100y"), "x?y"},
            {QStringLiteral("a\U0001F600b"), "a?b"},
            {QString(QChar(char16_t(0xD800))), "?"},
            {QString(QChar(char16_t(0xDC00))) + u'z', "?z"},
            {QString(), QByteArray()},
        };
        for (const auto& [texto, bytes] : casos) {
            QCOMPARE(platform::aCp1252(texto), bytes);
        }
    }
};

QTEST_GUILESS_MAIN(TstCp1252)
#include "tst_Cp1252.moc"
