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
    // Six to ten fields, the type and a wait are also the launch plan's cases.
    void analiza() {
        const char* cinco = "srv/db/sa/pw/1433";
        const struct {
            const char *registro, *provider, *sid, *campos;
            int tipo, puerto;
            double espera = -1;  // -1: none
        } casos[] = {
            {"1,,|srv,db,sa,pw,1433", "", "", cinco, 1, 1433},
            {"srv,db,sa,pw,1433", "", "", cinco, 1, 1433},
            {" 1 ,,|srv,db,sa,pw,1433", "", "", cinco, 1, 1433},
            {"2,p,s,x,y|srv,db,sa,pw,1433", "p", "s", cinco, 2, 1433},
            {"1,,|srv,db,sa,p|w,1433", "", "", "srv/db/sa/p|w/1433", 1, 1433},
            {"srv,db,sa,pw, 3306 ", "", "", "srv/db/sa/pw/ 3306 ", 1, 3306},
            {"srv,db,sa,pw,32767", "", "", "srv/db/sa/pw/32767", 1, 32767},
            {"1,,|,,,,0", "", "", "////0", 1, 0},
            {"s,d,l,p,1,a,b,c,E, 3 ", "", "", "s/d/l/p/1/a/b/c/E/ 3 ", 1, 1, 3},
            {"s,d,l,p,1,a,b,c,E,1,x", "", "", "s/d/l/p/1/a/b/c/E/1/x", 1, 1, 1},
        };
        for (const auto& c : casos) {
            const RegistroArranque r = RegistroArranque::analiza(c.registro);
            QVERIFY2(r.valido && r.motivo.isEmpty(), c.registro);
            QCOMPARE(QStringList({QString::number(r.tipo), r.provider, r.sid}),
                     QStringList({QString::number(c.tipo), c.provider, c.sid}));
            QCOMPARE(r.campos, QString(c.campos).split(u'/'));
            QCOMPARE(r.puerto, c.puerto);
            QCOMPARE(r.espera.value_or(-1), c.espera);
        }
    }

    void registroNoValido() {
        const struct {
            QString registro;
            const char* queFalla;
        } casos[] = {
            {"", "El registro de conexión no es válido: tiene menos de cinco campos."},
            {"1,,|srv,db,sa,pw", "cinco"},
            {"srv,db,sa|pw,1433", "cinco"},
            {"|srv,db,sa,pw,1433", "tipo"},
            {"x,,|srv,db,sa,pw,1433", "tipo"},
            {"70000,,|srv,db,sa,pw,1433", "«70000» está fuera de los 16 bits"},
            {"1e0,,|srv,db,sa,pw,1433", "tipo"},
            {"1,,|srv,db,sa,pw,abc", "el puerto «abc» no es un número."},
            {"1,,|srv,db,sa,pw,", "puerto"},
            {"1,,|srv,db,sa,pw,32768", "«32768» no está entre 0 y 32767."},
            {"1,,|srv,db,sa,pw,99999999999999999999", "puerto"},
            {"1,,|srv,db,sa,pw,-1", "puerto"},
            {"s,d,l,p,1,a,b,c,E,x", "espera"},
            {"s,d,l,p,1,a,b,c,E,", "espera"},
            {QString::fromLatin1("\0\x01|\xff,\0,\0,\0,\0", 13), "tipo"},
        };
        for (const auto& c : casos) {
            const RegistroArranque r = RegistroArranque::analiza(c.registro);
            QVERIFY2(!r.valido && r.motivo.contains(QString::fromUtf8(c.queFalla)),
                     qPrintable(c.registro + QStringLiteral(" -> ") + r.motivo));
        }
    }

    void passwordGuardada() {
        const std::pair<QString, bool> casos[] = {
            {"", false},
            {"Secreto#2024", false},
            // 0xBC + 'o' - 255 = ',' would split the field.
            {QStringLiteral("\u00BC"), true},
            // 0xAA + 'b' - 255 = CR would vanish with the line ends.
            {QStringLiteral("x\u00AA"), true},
            // 0xD1 + 'o' - 255 = 'A' would read as hex form.
            {QStringLiteral("\u00D1"), true},
            // Outside the code page: stored as "?", as the file can hold nothing else.
            {QStringLiteral("\u0110"), false},
        };
        for (const auto& [clara, hexadecimal] : casos) {
            const QString crudo = modTolvane1::codifica(clara);
            QCOMPARE(RegistroArranque::passwordGuardada(clara),
                     hexadecimal ? modTolvane1::aHexadecimal(crudo) : crudo);
            // Written in a record and read back from the file, it is the same password.
            QTemporaryDir carpeta;
            QVERIFY(RegistroArranque::escribeFichero(
                ruta(carpeta),
                RegistroArranque::lineaArranque(1, "", "", "s", "d", "l", clara, "1")));
            const RegistroArranque r =
                RegistroArranque::analiza(RegistroArranque::leeFichero(ruta(carpeta)).value());
            QVERIFY(r.valido);
            QCOMPARE(modTolvane1::decodifica(r.campos.at(RegistroArranque::kPassword)),
                     platform::deCp1252(platform::aCp1252(clara)));
        }
    }

    void leeFichero() {
        const struct {
            QByteArray bytes;
            std::optional<QString> registro;
        } casos[] = {
            {"1,,|s,d,l,p,1\r\n", "1,,|s,d,l,p,1"},
            {"s,d,l,p,1", "s,d,l,p,1"},
            {"1,,|s,d\r\n,l,p\r\n\r\n,1\r\n", "1,,|s,d,l,p,1"},
            {"a\nb\rc\r\n", "abc"},
            {"", ""},
            {"\x80\xF1\x81\xFF", QStringLiteral("\u20AC\u00F1\u0081\u00FF")},
            // A NUL byte marks a binary file: no record, not even an encoded password, holds one.
            {QByteArray("1,,|s,d,l,p\0,1", 14), std::nullopt},
        };
        for (const auto& c : casos) {
            QTemporaryDir carpeta;
            prueba::escribe(ruta(carpeta), c.bytes);
            QCOMPARE(RegistroArranque::leeFichero(ruta(carpeta)), c.registro);
        }
        // A file that cannot be read (a folder) is the launcher's case.
        QTemporaryDir carpeta;
        QVERIFY(!RegistroArranque::leeFichero(ruta(carpeta)).has_value());
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

    // The path joining every download and mirror uses, with and without the folder's ending.
    void rutaFichero() {
        QCOMPARE(RegistroArranque::rutaFichero("/"), QStringLiteral("/corvinal.ini"));
        QCOMPARE(RegistroArranque::rutaFichero("/opt/f7"), QStringLiteral("/opt/f7/corvinal.ini"));
        QCOMPARE(RegistroArranque::rutaFichero("/opt/f7/"), QStringLiteral("/opt/f7/corvinal.ini"));
        QCOMPARE(RegistroArranque::rutaFichero("C:\\f7\\"), QStringLiteral("C:\\f7\\corvinal.ini"));
    }
};

QTEST_GUILESS_MAIN(TstRegistroArranque)
#include "tst_RegistroArranque.moc"
