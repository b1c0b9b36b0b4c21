#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "platform/Connection.h"

// A data-bound combo box: it lists one column (ListField) of the rows of the recordset it is
// given (RowSource) and answers, as BoundText, the value of another column (BoundColumn) of the
// chosen row. The loaders of aConexion reach it only through these properties.
class ComboDatos : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(platform::RecordsetPtr RowSource READ RowSource WRITE setRowSource)
    Q_PROPERTY(QString RowMember READ RowMember WRITE setRowMember)
    Q_PROPERTY(QString BoundColumn READ BoundColumn WRITE setBoundColumn)
    Q_PROPERTY(QString ListField READ ListField WRITE setListField)
    Q_PROPERTY(QString BoundText READ BoundText WRITE setBoundText NOTIFY BoundTextChanged)

public:
    explicit ComboDatos(QWidget* parent = nullptr);

    // The recordset the list was last read from (the rows are copied when it is set, and the
    // recordset is left on its first row); nullptr empties the list.
    platform::RecordsetPtr RowSource() const { return rowSource_; }
    void setRowSource(const platform::RecordsetPtr& rs);
    // The data member of the source; kept for the callers, a recordset has only one.
    QString RowMember() const { return rowMember_; }
    void setRowMember(const QString& valor) { rowMember_ = valor; }
    // The column whose value BoundText answers (ignoring case); the listed column when absent.
    QString BoundColumn() const { return boundColumn_; }
    void setBoundColumn(const QString& valor);
    // The column listed (ignoring case); the first column when absent.
    QString ListField() const { return listField_; }
    void setListField(const QString& valor);
    // The bound value of the chosen row as text. Setting it chooses the row with that value, or
    // none; the value is kept, so rows read later that hold it become the chosen one.
    QString BoundText() const { return boundText_; }
    void setBoundText(const QString& valor);

signals:
    void BoundTextChanged(const QString& valor);

private:
    void rellena();
    void seleccionaLigado();
    void alElegir(int indice);
    int columna(const QString& nombre) const;

    platform::RecordsetPtr rowSource_;
    QString rowMember_;
    QString boundColumn_;
    QString listField_;
    QString boundText_;
    QStringList columnas_;
    QVector<QVector<QVariant>> filas_;
    bool rellenando_ = false;
};
