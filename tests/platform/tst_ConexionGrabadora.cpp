#include <QTest>

#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "support/ConexionGrabadora.h"

using platform::Connection;
using platform::ErrorEjecucion;
using platform::Recordset;

// The statements the layer itself writes (recordset inserts and updates) reach an engine
// exactly as these texts, whatever the engine.
class TstConexionGrabadora : public QObject {
    Q_OBJECT

private slots:
    void registraYResponde() {
        prueba::ConexionGrabadora grabadora;
        grabadora.responde("FROM tFicheros",
                           {{"codFichero", "nombre", "nBloques"},
                            {{7, QString("a.exe"), 3}, {8, QString("b.dll"), QVariant()}}});
        grabadora.clavePrimaria("tFicheros", {"codFichero"});
        Connection con;
        con.open(
            "Provider=sqloledb.1;Data Source=srv,1433;Initial Catalog=fob;User ID=sa;Password=x");
        QCOMPARE(con.property("Data Source").toString(), QStringLiteral("srv,1433"));
        Recordset rs;
        rs.open("SELECT * FROM tFicheros WHERE codCarpeta=1", &con, 0, Recordset::kOptimista);
        QCOMPARE(rs.field("nombre").value().toString(), QStringLiteral("a.exe"));
        rs.field("nombre").setValue("a'.exe");
        rs.update();
        rs.moveNext();
        QVERIFY(rs.field("nBloques").value().isNull());
        rs.addNew();
        rs.field("codFichero").setValue(9);
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, rs.field("datos"));
        rs.field("nombre").setValue(QByteArray("\0x", 2));
        rs.update();
        con.execute("DELETE FROM tDatosFichero WHERE codFichero=9");
        QCOMPARE(grabadora.sentencias(),
                 (QStringList{"SELECT * FROM tFicheros WHERE codCarpeta=1",
                              "UPDATE tFicheros SET nombre=? WHERE codFichero=?",
                              "INSERT INTO tFicheros (codFichero,nombre) VALUES (?,?)",
                              "DELETE FROM tDatosFichero WHERE codFichero=9"}));
        QCOMPARE(grabadora.parametros()[1], (QVariantList{QString("a'.exe"), 7}));
        QCOMPARE(grabadora.parametros()[2], (QVariantList{9, QByteArray("\0x", 2)}));
    }
};

QTEST_GUILESS_MAIN(TstConexionGrabadora)
#include "tst_ConexionGrabadora.moc"
