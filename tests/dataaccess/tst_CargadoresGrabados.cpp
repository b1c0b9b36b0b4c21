#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/EnlaceTardio.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Instalado.h"
#include "platform/Recordset.h"
#include "support/Conectada.h"
#include "support/ConexionGrabadora.h"
#include "support/ErrorLanzado.h"
#include "support/MensajeriaGrabada.h"

using namespace Qt::Literals::StringLiterals;
using prueba::ConexionGrabadora;
using prueba::TablaGuionada;

namespace {

using Abridor =
    platform::Instalado<aConexion::AbridorFicheros, &aConexion::estableceAbridorFicheros>;

const QString kRolExistente = u"SELECT codRol FROM tRoles WHERE rol='Ventas'"_s;
const QString kAgentes = u"SELECT codAgente FROM tAgentes WHERE codagente IN (3,9)"_s;

}  // namespace

// The statements of the loaders that are checked on their texts: the role statements in the
// SQL Server dialect, the repository file deletion, and a control without the loaders' members.
class TstCargadoresGrabados : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConexionGrabadora> grabadora_;
    std::unique_ptr<MensajeriaGrabada> mensajes_;
    std::unique_ptr<aConexion> c_;

    QStringList sentencias() const { return grabadora_->sentencias(); }

private slots:
    void init() {
        grabadora_ = std::make_unique<ConexionGrabadora>();
        mensajes_ = std::make_unique<MensajeriaGrabada>();
        c_ = prueba::conectada(1, *grabadora_);
    }

    void cleanup() {
        c_.reset();
        mensajes_.reset();
        grabadora_.reset();
    }

    void roles_data() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<QString>("rol");
        QTest::addColumn<QString>("lista");
        QTest::addColumn<bool>("rolExiste");
        QTest::addColumn<QStringList>("esperadas");
        const QString borra =
            u"DELETE FROM tPerfilesRoles WHERE codRol=(SELECT codRol FROM tRoles WHERE rol ='"_s;
        QTest::newRow("quitaRol de todos") << u"quitaRol"_s << u"Ventas"_s << QString() << true
                                           << QStringList{borra + u"Ventas') "_s};
        QTest::newRow("quitaRol de dos perfiles")
            << u"quitaRol"_s << u"Ventas"_s << u"Jefe,O'Hara"_s << true
            << QStringList{borra +
                           u"Ventas')  AND codPerfil IN (SELECT codPerfil FROM tPerfiles WHERE "
                           "perfil IN ('Jefe','O''Hara'))"_s};
        QTest::newRow("quitaRol con comilla en el rol")
            << u"quitaRol"_s << u"Ven'tas"_s << QString() << true
            << QStringList{borra + u"Ven''tas') "_s};
        const QString siAgente =
            u"IF NOT EXISTS (SELECT codRol FROM tRolPermisoAgente WHERE codAgente=%1 AND "
            "codRol=%2) BEGIN INSERT INTO tRolPermisoAgente (codAgente,codRol)  VALUES (%1,%2) "
            "END"_s;
        QTest::newRow("añadeRolAgentes rol existente")
            << u"añadeRolAgentes"_s << u"Ventas"_s << u"3, 9"_s << true
            << QStringList{kRolExistente, kAgentes, siAgente.arg(3).arg(7), siAgente.arg(9).arg(7)};
        // A new role takes the next code (5) before it is granted.
        const QStringList rolNuevo{kRolExistente, u"SELECT max(codRol) as ultCod FROM tRoles"_s,
                                   u"INSERT INTO tRoles (codRol,rol) VALUES (5,'Ventas')"_s};
        QTest::newRow("añadeRolAgentes rol nuevo")
            << u"añadeRolAgentes"_s << u"Ventas"_s << u"3,9"_s << false
            << rolNuevo + QStringList{kAgentes, siAgente.arg(3).arg(5), siAgente.arg(9).arg(5)};
        const QString siPerfil =
            u"IF NOT EXISTS (SELECT codPerfil FROM tPerfilesRoles WHERE codPerfil=%1 AND "
            "codRol=%2) BEGIN INSERT INTO tPerfilesRoles (codPerfil,codRol)  VALUES (%1,%2) "
            "END"_s;
        QTest::newRow("añadeRol a dos perfiles")
            << u"añadeRol"_s << u"Ventas"_s << u"Jefe,O'Hara"_s << true
            << QStringList{kRolExistente,
                           u"SELECT codPerfil FROM tPerfiles WHERE perfil IN ('Jefe','O''Hara')"_s,
                           siPerfil.arg(11).arg(7), siPerfil.arg(12).arg(7)};
        QTest::newRow("añadeRol a todos, rol nuevo")
            << u"añadeRol"_s << u"Ventas"_s << QString() << false
            << rolNuevo + QStringList{u"SELECT codPerfil FROM tPerfiles"_s, siPerfil.arg(11).arg(5),
                                      siPerfil.arg(12).arg(5)};
    }

    // The exact statements of the role members, with their values quote-safe.
    void roles() {
        QFETCH(QString, operacion);
        QFETCH(QString, rol);
        QFETCH(QString, lista);
        QFETCH(bool, rolExiste);
        QFETCH(QStringList, esperadas);
        grabadora_->responde(u"FROM tRoles WHERE"_s, rolExiste ? TablaGuionada{{u"codRol"_s}, {{7}}}
                                                               : TablaGuionada{{u"codRol"_s}, {}});
        grabadora_->responde(u"max(codRol)"_s, TablaGuionada{{u"ultCod"_s}, {{4}}});
        grabadora_->responde(u"FROM tAgentes"_s, TablaGuionada{{u"codAgente"_s}, {{3}, {9}}});
        grabadora_->responde(u"SELECT codPerfil FROM tPerfiles"_s,
                             TablaGuionada{{u"codPerfil"_s}, {{11}, {12}}});
        if (operacion == u"quitaRol") {
            c_->quitaRol(rol, lista);
        } else if (operacion == u"añadeRolAgentes") {
            c_->añadeRolAgentes(rol, lista);
        } else {
            c_->añadeRol(rol, lista);
        }
        QCOMPARE(sentencias(), esperadas);
        QVERIFY(mensajes_->registros.isEmpty());
    }

    // No agents: the user is told; a code that is not a whole number is refused. Either way
    // nothing is read or written.
    void añadeRolAgentesSinAgentes() {
        for (const QString& agentes : {QString(), u"  "_s}) {
            c_->añadeRolAgentes(u"Ventas"_s, agentes);
        }
        QCOMPARE(mensajes_->textos(MensajeriaGrabada::Clase::Mensaje),
                 QStringList(2, u"No se seleccionaron agentes para añadir el rol."_s));
        for (const QString& agentes : {u"3) OR (1=1"_s, u"3,x"_s, u"3,,9"_s}) {
            QCOMPARE(
                prueba::errorLanzado([&] { c_->añadeRolAgentes(u"Ventas"_s, agentes); }).numero(),
                platform::kErrorTipos);
        }
        QCOMPARE(sentencias(), QStringList());
    }

    // On SQL Server the clipboard table is a session table ("#..."); its cells travel as bound
    // values, never inside the statement text.
    void excelTemporalSqlServer() {
        grabadora_->responde(u"SELECT * FROM #tExt_"_s,
                             TablaGuionada{{u"cod"_s, u"c0"_s, u"c1"_s}, {}});
        QGuiApplication::clipboard()->setText(u"O'Hara\t1\r\nx\\'; DROP TABLE t--\t22\r\n"_s);
        const QString tabla = c_->excelTemporal();
        QVERIFY(QRegularExpression(u"^#tExt_\\d{14}$"_s).match(tabla).hasMatch());
        const QStringList s = sentencias();
        const QStringList creadas = s.filter(u"CREATE TABLE "_s + tabla + u" ("_s);
        QCOMPARE(creadas.size(), 1);
        QVERIFY2(creadas.at(0).contains(u"c0 varchar (19)"_s), qPrintable(creadas.at(0)));
        QVERIFY2(creadas.at(0).contains(u"c1 varchar (2)"_s), qPrintable(creadas.at(0)));
        QVERIFY2(creadas.at(0).contains(u"PRIMARY KEY (cod)"_s), qPrintable(creadas.at(0)));
        QList<QVariantList> valores;
        for (int i = 0; i < s.size(); ++i) {
            if (s.at(i).startsWith(u"INSERT INTO "_s + tabla)) {
                QVERIFY(!s.at(i).contains(u"Hara"_s));
                valores.append(grabadora_->parametros().at(i));
            }
        }
        QCOMPARE(valores, (QList<QVariantList>{{1, u"O'Hara"_s, u"1"_s},
                                               {2, u"x\\'; DROP TABLE t--"_s, u"22"_s}}));
    }

    // Blocks first, then the file row.
    void eliminafichero() {
        c_->eliminafichero(42);
        QCOMPARE(sentencias(), (QStringList{u"DELETE FROM tDatosFichero WHERE codFichero=42"_s,
                                            u"DELETE FROM tFicheros WHERE codfichero=42"_s}));
    }

    // Both members hand the path to the desktop and answer whether it took it.
    void abrirFichero() {
        const QString ruta = u"/tmp/informe de ventas.pdf"_s;
        QStringList abiertos;
        bool acepta = true;
        const Abridor abridor([&abiertos, &acepta](const QString& fichero) {
            abiertos.append(fichero);
            return acepta;
        });
        QVERIFY(c_->abrirPdf(ruta));
        acepta = false;
        QVERIFY(!c_->abrirFichero(ruta));
        QCOMPARE(abiertos, QStringList(2, ruta));
    }

    // A control without the members asked of it is a clear error, not a silent no-op.
    void controlSinMiembros() {
        QObject nada;
        QCOMPARE(prueba::errorLanzado([&] {
                     c_->cargaGrid(&nada, u"SELECT 1"_s, QString(), u"x"_s);
                 }).numero(),
                 platform::kErrorSinMiembro);
        QCOMPARE(prueba::errorLanzado([&] { c_->cargaComboRs(nullptr, nullptr); }).numero(),
                 platform::kErrorSinObjeto);
    }
};

QTEST_MAIN(TstCargadoresGrabados)
#include "tst_CargadoresGrabados.moc"
