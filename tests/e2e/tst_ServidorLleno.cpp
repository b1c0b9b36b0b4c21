#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

#include "support/FicherosPrueba.h"
#include "support/RepositorioPrueba.h"

using prueba::escribe;
using prueba::lee;

namespace {

constexpr int kLanzadores = 30;
constexpr int kConexionesServidor = 5;

std::unique_ptr<QProcess> baja(const QString& registro, const QString& destino) {
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start(QStringLiteral(CORVINAL_REPO_PROGRAMA),
             {QStringLiteral("--conexion"), registro, QStringLiteral("bajar"),
              QStringLiteral("/app.bin"), destino});
    return p;
}

}  // namespace

// Many launchers starting at once against a server with room for a few sessions.
class TstServidorLleno : public QObject {
    Q_OBJECT

private slots:
    void todosLosLanzadoresAcaban() {
        if (!prueba::datosMariaDb() && !prueba::mariaDbObligatoria()) {
            QSKIP("no MariaDB in this run");
        }
        RepositorioPrueba r(QStringLiteral("mariadb"));
        QTemporaryDir dir;
        const QByteArray datos = prueba::aleatorios(300 * 1024);
        escribe(dir.filePath("app.bin"), datos);
        QVERIFY(r.cor.subeFichero(1, dir.filePath("app.bin"), "app.bin", false));

        // The server gets its own limit back whatever the test does.
        const int antes = r.valor("SELECT @@GLOBAL.max_connections").toInt();
        const auto limite = qScopeGuard(
            [&] { r.ejecuta(QStringLiteral("SET GLOBAL max_connections=%1").arg(antes)); });
        r.ejecuta(QStringLiteral("SET GLOBAL max_connections=%1").arg(kConexionesServidor));
        std::vector<std::unique_ptr<QProcess>> procesos;
        for (int i = 0; i < kLanzadores; ++i) {
            QVERIFY(QDir(dir.path()).mkdir(QString::number(i)));
            procesos.push_back(baja(r.registro(), dir.filePath(QString::number(i))));
        }
        for (int i = 0; i < kLanzadores; ++i) {
            QProcess& p = *procesos[size_t(i)];
            QVERIFY(p.waitForFinished(120000));
            QVERIFY2(p.exitCode() == 0, p.readAll().constData());
            QCOMPARE(lee(dir.filePath(QString::number(i) + "/app.bin")), datos);
        }

        // A refused login is not a full server: no back-off, the failure comes at once (the
        // back-off would spend the whole connection wait of 15 seconds).
        QString mala = r.registro();
        mala.replace(r.conexion->Password(), QStringLiteral("equivocada"));
        QElapsedTimer reloj;
        reloj.start();
        auto p = baja(mala, dir.path());
        QVERIFY(p->waitForFinished(60000));
        QVERIFY(p->exitCode() != 0);
        QVERIFY2(reloj.elapsed() < 2000, qPrintable(QString::number(reloj.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TstServidorLleno)
#include "tst_ServidorLleno.moc"
