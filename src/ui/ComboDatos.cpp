#include "ui/ComboDatos.h"

#include "platform/Recordset.h"

namespace {

QString texto(const QVariant& valor) {
    return valor.isNull() ? QString() : valor.toString();
}

}  // namespace

ComboDatos::ComboDatos(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentIndexChanged, this, &ComboDatos::alElegir);
}

void ComboDatos::setRowSource(const platform::RecordsetPtr& rs) {
    rowSource_ = rs;
    columnas_.clear();
    filas_.clear();
    if (rs != nullptr && rs->state() == platform::Recordset::kAbierto) {
        platform::Fields& campos = rs->fields();
        for (int i = 0; i < campos.count(); ++i) {
            columnas_.append(campos.item(i).name());
        }
        if (!(rs->bof() && rs->eof())) {
            rs->moveFirst();
            for (; !rs->eof(); rs->moveNext()) {
                QVector<QVariant> fila;
                fila.reserve(campos.count());
                for (int i = 0; i < campos.count(); ++i) {
                    fila.append(campos.item(i).value());
                }
                filas_.append(fila);
            }
            rs->moveFirst();
        }
    }
    rellena();
}

void ComboDatos::setBoundColumn(const QString& valor) {
    boundColumn_ = valor;
    rellena();
}

void ComboDatos::setListField(const QString& valor) {
    listField_ = valor;
    rellena();
}

void ComboDatos::setBoundText(const QString& valor) {
    const bool cambia = valor != boundText_;
    boundText_ = valor;
    seleccionaLigado();
    if (cambia) {
        emit BoundTextChanged(boundText_);
    }
}

int ComboDatos::columna(const QString& nombre) const {
    for (int i = 0; i < columnas_.size(); ++i) {
        if (columnas_.at(i).compare(nombre, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void ComboDatos::rellena() {
    rellenando_ = true;
    clear();
    const int listada = qMax(columna(listField_), 0);
    const int ligadaLeida = columna(boundColumn_);
    const int ligada = ligadaLeida < 0 ? listada : ligadaLeida;
    for (const QVector<QVariant>& fila : filas_) {
        addItem(texto(fila.value(listada)), fila.value(ligada));
    }
    seleccionaLigado();
    rellenando_ = false;
}

void ComboDatos::seleccionaLigado() {
    const bool antes = rellenando_;
    rellenando_ = true;
    int elegido = -1;
    for (int i = 0; i < count() && !boundText_.isEmpty(); ++i) {
        if (texto(itemData(i)) == boundText_) {
            elegido = i;
            break;
        }
    }
    setCurrentIndex(elegido);
    rellenando_ = antes;
}

void ComboDatos::alElegir(int indice) {
    if (rellenando_ || indice < 0) {
        return;
    }
    const QString valor = texto(itemData(indice));
    if (valor != boundText_) {
        boundText_ = valor;
        emit BoundTextChanged(boundText_);
    }
}
