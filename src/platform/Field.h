#pragma once

#include <QString>
#include <QVariant>
#include <vector>

namespace platform {

class Recordset;

// One column of a recordset's current row, after the data-access Field.
class Field {
public:
    // Attribute bits, as the data-access library reports them.
    static constexpr qint32 kPuedeSerNulo = 0x40;  // adFldMayBeNull
    static constexpr qint32 kAdmiteNulo = 0x20;    // adFldIsNullable
    static constexpr qint32 kLargo = 0x80;         // adFldLong

    // The column name as the engine reports it.
    QString name() const;
    // The current row's value (the edited value while editing): SQL NULL is a null QVariant of
    // the column's type. Throws (3021) at BOF/EOF and (3704) on a closed recordset.
    QVariant value() const;
    // Changes the value in the current row's edit buffer, starting an edit when none is in
    // progress; update() writes it. Throws on a read-only recordset.
    void setValue(const QVariant& valor);
    // Data-access type code (2 smallint, 3 int, 4 single, 5 double, 6 currency, 7 date,
    // 11 bool, 17 tinyint, 20 bigint, 72 guid, 128 binary, 129 char, 130 wchar, 131 numeric,
    // 133 date, 135 timestamp, 200 varchar, 201 long varchar, 202 varwchar, 203 long varwchar,
    // 204 varbinary, 205 long binary).
    qint32 type() const;
    // Declared size: characters for text, bytes for binary, the value's size for fixed types.
    qint32 definedSize() const;
    // Size of the current value: characters for text, bytes for binary; -1 for NULL.
    qint32 actualSize() const;
    // Digits of a numeric column (0 when not numeric).
    quint8 precision() const;
    // Decimal digits of a numeric column.
    quint8 numericScale() const;
    // kAdmiteNulo / kPuedeSerNulo / kLargo bits.
    qint32 attributes() const;

private:
    friend class Fields;
    Field(Recordset* rs, int indice) : rs_(rs), indice_(indice) {}

    Recordset* rs_;
    int indice_;
};

// The columns of a recordset, by position or by name (case-insensitive).
class Fields {
public:
    // Number of columns.
    int count() const { return static_cast<int>(campos_.size()); }
    // The column at `indice`; throws ErrorEjecucion 3265 when out of range.
    Field& item(int indice);
    // The column called `nombre`, ignoring case; throws ErrorEjecucion 3265 when there is none.
    Field& item(const QString& nombre);
    Field& operator[](int indice) { return item(indice); }
    Field& operator[](const QString& nombre) { return item(nombre); }
    // The position of `nombre` (ignoring case), -1 when absent.
    int indexOf(const QString& nombre) const;

private:
    friend class Recordset;
    void reinicia(Recordset* rs, int n);

    std::vector<Field> campos_;
};

}  // namespace platform
