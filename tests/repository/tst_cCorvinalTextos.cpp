#include <QTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "repository/cCorvinal.h"
#include "support/Conectada.h"
#include "support/ConexionGrabadora.h"

// The repository tables as SQL Server and Oracle receive them, on their exact statement texts:
// other installations read these tables, so the column definitions must not drift.
class TstcCorvinalTextos : public QObject {
    Q_OBJECT

private:
    // The statements that change the schema or write rows when creaTablas runs on engine tipo,
    // the statements with existeTabla answering that a table is there.
    static QStringList escrituras(int tipo, const QString& existeTabla = QString()) {
        prueba::ConexionGrabadora grabadora;
        auto c = prueba::conectada(tipo, grabadora);
        if (!existeTabla.isEmpty()) {
            grabadora.responde(existeTabla, {{"a", "b"}, {{1, 1}}});
        }
        cCorvinal cor;
        cor.setConexion_ac(c.get());
        cor.creaTablas();
        QStringList resultado;
        for (const QString& s : grabadora.sentencias()) {
            if (s.startsWith(u"CREATE") || s.startsWith(u"ALTER") || s.startsWith(u"INSERT")) {
                resultado.append(s);
            }
        }
        return resultado;
    }

private slots:
    void tablasNuevas() {
        QCOMPARE(escrituras(1),
                 (QStringList{
                     "CREATE TABLE tCarpetas (codCarpeta int NOT NULL ,carpeta varchar (200) NOT "
                     "NULL ,codCarpetaPadre int,PRIMARY KEY (codCarpeta))",
                     "INSERT INTO tCarpetas (codCarpeta,carpeta) VALUES (1,'RAIZ')",
                     "CREATE TABLE tFicheros (codFichero int NOT NULL ,codCarpeta int NOT NULL "
                     ",nombre varchar (200) NOT NULL ,nBloques int NOT NULL ,comprimido tinyint "
                     "NOT NULL DEFAULT 0 ,fechaUm datetime,PRIMARY KEY (codFichero))",
                     "CREATE TABLE tDatosFichero (codFichero int NOT NULL ,nBloque int NOT NULL "
                     ",datos image NOT NULL ,PRIMARY KEY (codFichero,nBloque))"}));
        QCOMPARE(
            escrituras(3),
            (QStringList{
                "CREATE TABLE tCarpetas (codCarpeta NUMBER(10) NOT NULL ,carpeta VARCHAR2 "
                "(200) NOT NULL ,codCarpetaPadre NUMBER(10),PRIMARY KEY (codCarpeta))",
                "INSERT INTO tCarpetas (codCarpeta,carpeta) VALUES (1,'RAIZ')",
                "CREATE TABLE tFicheros (codFichero NUMBER(10) NOT NULL ,codCarpeta "
                "NUMBER(10) NOT NULL ,nombre VARCHAR2 (200) NOT NULL ,nBloques NUMBER(10) NOT "
                "NULL ,comprimido NUMBER(1) DEFAULT (0) NOT NULL ,fechaUm DATE,PRIMARY KEY "
                "(codFichero))",
                "CREATE TABLE tDatosFichero (codFichero NUMBER(10) NOT NULL ,nBloque "
                "NUMBER(10) NOT NULL ,datos BLOB NOT NULL ,PRIMARY KEY (codFichero,nBloque))"}));
    }

    // A tFicheros made before fechaUm existed gets the column; nothing else is written.
    void anadeFechaUm() {
        QCOMPARE(escrituras(1, "SELECT object_id("),
                 QStringList{"ALTER TABLE tFicheros ADD fechaUm datetime"});
        QCOMPARE(escrituras(3, "dba_tables"),
                 QStringList{"ALTER TABLE tFicheros ADD fechaUm DATE"});
    }
};

QTEST_MAIN(TstcCorvinalTextos)
#include "tst_cCorvinalTextos.moc"
