#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "dataaccess/aConexion.h"
#include "platform/Recordset.h"
#include "support/MotoresPrueba.h"
#include "ui/ComboDatos.h"

using namespace Qt::Literals::StringLiterals;

// The data-bound combo on the rows of a real recordset (a SQLite file).
class TstComboDatos : public QObject {
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    std::unique_ptr<aConexion> c_;

    platform::RecordsetPtr zonas() {
        return c_->con()->execute(u"SELECT codZona, zona, orden FROM tZonas ORDER BY orden"_s);
    }

private slots:
    void initTestCase() {
        c_ = prueba::conectaMotor(QStringLiteral("sqlite"), carpeta_.path());
        QVERIFY(c_);
        c_->executeNR(u"CREATE TABLE tZonas (codZona int, zona varchar(20), orden int)"_s);
        c_->executeNR(u"INSERT INTO tZonas VALUES (7,'Norte',1)"_s);
        c_->executeNR(u"INSERT INTO tZonas VALUES (3,'Sur',2)"_s);
        c_->executeNR(u"INSERT INTO tZonas VALUES (9,NULL,3)"_s);
    }

    void cleanupTestCase() { c_.reset(); }

    // The listed texts and bound values follow ListField and BoundColumn, set in either order.
    void columnas() {
        const struct {
            const char *lista, *ligada;
            bool antes;
            const char *textos, *ligados;
        } casos[] = {
            {"zona", "codZona", true, "Norte|Sur|", "7|3|9"},
            // Names in any case, set after the rows.
            {"ZONA", "codzona", false, "Norte|Sur|", "7|3|9"},
            // No columns: the first one.
            {nullptr, nullptr, false, "7|3|9", "7|3|9"},
            // A bound column that does not exist: the listed one.
            {"orden", "noExiste", true, "1|2|3", "1|2|3"},
        };
        for (const auto& c : casos) {
            ComboDatos combo;
            const auto columnas = [&] {
                combo.setListField(QString::fromLatin1(c.lista));
                combo.setBoundColumn(QString::fromLatin1(c.ligada));
            };
            if (c.antes) {
                columnas();
            }
            const platform::RecordsetPtr r = zonas();
            combo.setRowSource(r);
            if (!c.antes) {
                columnas();
            }
            QStringList leidos;
            QStringList valores;
            for (int i = 0; i < combo.count(); ++i) {
                leidos.append(combo.itemText(i));
                valores.append(combo.itemData(i).toString());
            }
            QCOMPARE(leidos.join(u'|'), QString(c.textos));
            QCOMPARE(valores.join(u'|'), QString(c.ligados));
            QCOMPARE(combo.currentIndex(), -1);
            // The recordset is left on its first row for the caller.
            QCOMPARE(r->field(u"codZona"_s).value().toInt(), 7);
        }
    }

    // A value set before the rows arrive chooses its row when they do; an absent one chooses
    // none and is kept. Only a choice of the user tells BoundText changed.
    void boundText() {
        ComboDatos combo;
        combo.setListField(u"zona"_s);
        combo.setBoundColumn(u"codZona"_s);
        combo.setBoundText(u"3"_s);
        QCOMPARE(combo.currentIndex(), -1);
        combo.setRowSource(zonas());
        QCOMPARE(combo.currentText(), u"Sur"_s);
        combo.setBoundText(u"8"_s);
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(combo.BoundText(), u"8"_s);
        QSignalSpy avisos(&combo, &ComboDatos::BoundTextChanged);
        combo.setCurrentIndex(0);
        QCOMPARE(combo.BoundText(), u"7"_s);
        QCOMPARE(avisos.size(), 1);
        QCOMPARE(avisos.at(0).at(0).toString(), u"7"_s);
        // Refilling with the same rows is not a choice.
        combo.setRowSource(zonas());
        QCOMPARE(avisos.size(), 1);
        QCOMPARE(combo.currentText(), u"Norte"_s);
        combo.setRowSource(nullptr);
        QCOMPARE(combo.count(), 0);
        QCOMPARE(combo.BoundText(), u"7"_s);
    }
};

QTEST_MAIN(TstComboDatos)
#include "tst_ComboDatos.moc"
