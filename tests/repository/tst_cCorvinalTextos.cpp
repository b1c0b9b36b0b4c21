#include <QTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "repository/cCorvinal.h"
#include "support/Conectada.h"
#include "support/ConexionGrabadora.h"

using prueba::ConexionGrabadora;
using prueba::TablaGuionada;

// The repository tables as SQL Server and Oracle receive them, on their exact statement texts:
// other installations read these tables, so the column definitions must not drift.
class TstcCorvinalTextos : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConexionGrabadora> grabadora_;

    // The statements of sentencias that change the schema or write rows.
    static QStringList escrituras(const QStringList& sentencias) {
        QStringList resultado;
        for (const QString& s : sentencias) {
            if (s.startsWith(u"CREATE") || s.startsWith(u"ALTER") || s.startsWith(u"INSERT")) {
                resultado.append(s);
            }
        }
        return resultado;
    }

private slots:
    void init() { grabadora_ = std::make_unique<ConexionGrabadora>(); }
    void cleanup() { grabadora_.reset(); }

    void tablasNuevas_data() {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QStringList>("esperadas");
        QTest::newRow("sqlserver")
            << 1
            << QStringList{
                   "CREATE TABLE tCarpetas (codCarpeta int NOT NULL ,carpeta varchar (200) NOT "
                   "NULL ,codCarpetaPadre int,PRIMARY KEY (codCarpeta))",
                   "INSERT INTO tCarpetas (codCarpeta,carpeta) VALUES (1,'RAIZ')",
                   "CREATE TABLE tFicheros (codFichero int NOT NULL ,codCarpeta int NOT NULL "
                   ",nombre varchar (200) NOT NULL ,nBloques int NOT NULL ,comprimido tinyint NOT "
                   "NULL DEFAULT 0 ,fechaUm datetime,PRIMARY KEY (codFichero))",
                   "CREATE TABLE tDatosFichero (codFichero int NOT NULL ,nBloque int NOT NULL "
                   ",datos image NOT NULL ,PRIMARY KEY (codFichero,nBloque))"};
        QTest::newRow("oracle")
            << 3
            << QStringList{
                   "CREATE TABLE tCarpetas (codCarpeta NUMBER(10) NOT NULL ,carpeta VARCHAR2 "
                   "(200) NOT NULL ,codCarpetaPadre NUMBER(10),PRIMARY KEY (codCarpeta))",
                   "INSERT INTO tCarpetas (codCarpeta,carpeta) VALUES (1,'RAIZ')",
                   "CREATE TABLE tFicheros (codFichero NUMBER(10) NOT NULL ,codCarpeta "
                   "NUMBER(10) NOT NULL ,nombre VARCHAR2 (200) NOT NULL ,nBloques NUMBER(10) NOT "
                   "NULL ,comprimido NUMBER(1) DEFAULT (0) NOT NULL ,fechaUm DATE,PRIMARY KEY "
                   "(codFichero))",
                   "CREATE TABLE tDatosFichero (codFichero NUMBER(10) NOT NULL ,nBloque "
                   "NUMBER(10) NOT NULL ,datos BLOB NOT NULL ,PRIMARY KEY (codFichero,nBloque))"};
    }
    void tablasNuevas() {
        QFETCH(int, tipo);
        QFETCH(QStringList, esperadas);
        auto c = prueba::conectada(tipo, *grabadora_);
        cCorvinal cor;
        cor.setConexion_ac(c.get());
        cor.creaTablas();
        QCOMPARE(escrituras(grabadora_->sentencias()), esperadas);
    }

    // A tFicheros made before fechaUm existed gets the column; nothing else is written.
    void anadeFechaUm_data() {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("existeTabla");
        QTest::addColumn<QString>("esperada");
        QTest::newRow("sqlserver") << 1 << "SELECT object_id("
                                   << "ALTER TABLE tFicheros ADD fechaUm datetime";
        QTest::newRow("oracle") << 3 << "dba_tables"
                                << "ALTER TABLE tFicheros ADD fechaUm DATE";
    }
    void anadeFechaUm() {
        QFETCH(int, tipo);
        QFETCH(QString, existeTabla);
        QFETCH(QString, esperada);
        auto c = prueba::conectada(tipo, *grabadora_);
        grabadora_->responde(existeTabla, TablaGuionada{{"a", "b"}, {{1, 1}}});
        cCorvinal cor;
        cor.setConexion_ac(c.get());
        cor.creaTablas();
        QCOMPARE(escrituras(grabadora_->sentencias()), QStringList{esperada});
    }
};

QTEST_MAIN(TstcCorvinalTextos)
#include "tst_cCorvinalTextos.moc"
