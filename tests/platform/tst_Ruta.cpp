#include <QtTest>

#include "platform/Ruta.h"

class TstRuta : public QObject {
    Q_OBJECT
private slots:
    void uneRuta() {
        const std::pair<const char*, const char*> casos[] = {{"/f7", "/f7/x.exe"},
                                                             {"/f7/", "/f7/x.exe"},
                                                             {"C:\\f7\\", "C:\\f7\\x.exe"},
                                                             {"/", "/x.exe"}};
        for (const auto& [carpeta, ruta] : casos) {
            QCOMPARE(platform::uneRuta(carpeta, QStringLiteral("x.exe")), QString(ruta));
        }
    }
};

QTEST_GUILESS_MAIN(TstRuta)
#include "tst_Ruta.moc"
