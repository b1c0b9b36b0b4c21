#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>
#include <cmath>
#include <optional>

#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"
#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"
#include "platform/FechaTexto.h"
#include "platform/Numero.h"
#include "platform/Recordset.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QVariant nulo() {
    return QVariant::fromValue(nullptr);
}

bool esTextoVacio(const QVariant& v) {
    return !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

platform::ErrorEjecucion tiposDistintos(const QString& texto) {
    return platform::ErrorEjecucion(platform::kErrorTipos, u"No coinciden los tipos: "_s + texto,
                                    u"aConexion"_s);
}

double numeroDeTexto(const QString& texto) {
    std::optional<double> n = platform::valorNumerico(texto);
    if (!n && !texto.contains(u'.') && texto.count(u',') == 1) {
        // The decimal comma of the users' locale.
        n = platform::valorNumerico(QString(texto).replace(u',', u'.'));
    }
    if (!n) {
        throw tiposDistintos(texto);
    }
    return *n;
}

// The Value of a check box: 0 unchecked, 1 checked, 2 grey.
qint32 valorMarca(const QWidget* control) {
    if (const auto* marca = qobject_cast<const QCheckBox*>(control)) {
        switch (marca->checkState()) {
            case Qt::Checked:
                return 1;
            case Qt::PartiallyChecked:
                return 2;
            default:
                return 0;
        }
    }
    if (const auto* boton = qobject_cast<const QAbstractButton*>(control)) {
        return boton->isChecked() ? 1 : 0;
    }
    return control->property("value").toInt();
}

QString textoControl(const QWidget* control) {
    if (const auto* linea = qobject_cast<const QLineEdit*>(control))
        return linea->text();
    if (const auto* plano = qobject_cast<const QPlainTextEdit*>(control)) {
        return plano->toPlainText();
    }
    if (const auto* rico = qobject_cast<const QTextEdit*>(control))
        return rico->toPlainText();
    if (const auto* lista = qobject_cast<const QComboBox*>(control))
        return lista->currentText();
    if (const auto* giro = qobject_cast<const QAbstractSpinBox*>(control))
        return giro->text();
    return control->property("text").toString();
}

// The bound text of a data combo: the stored value of the chosen item, or its text.
QString textoVinculado(const QWidget* control) {
    if (const auto* lista = qobject_cast<const QComboBox*>(control)) {
        const QVariant dato = lista->currentData();
        return dato.isValid() ? dato.toString() : lista->currentText();
    }
    return textoControl(control);
}

qint32 indiceLista(const QWidget* control) {
    if (const auto* lista = qobject_cast<const QComboBox*>(control))
        return lista->currentIndex();
    if (const auto* vista = qobject_cast<const QAbstractItemView*>(control)) {
        return vista->currentIndex().row();
    }
    return control->property("currentIndex").toInt();
}

QVariant valorControl(const QWidget* control) {
    if (qobject_cast<const QAbstractButton*>(control) != nullptr)
        return valorMarca(control);
    const QVariant valor = control->property("value");
    return valor.isValid() ? valor : QVariant(textoControl(control));
}

// A form control bound to a field by its tag: the tag's first letter says how its value is
// read, and the text after it, up to "#", lists the values of a list; the control's name
// without its prefix letter names the field.
struct ControlEtiquetado {
    const QWidget* control;
    QChar letra;
    QString lista;
    QString campo;
};

std::optional<ControlEtiquetado> etiquetado(const QWidget* control) {
    const QString tag = control->property("tag").toString();
    if (tag.isEmpty()) {
        return std::nullopt;
    }
    return ControlEtiquetado{control, tag.at(0), tag.mid(1).section(u'#', 0, 0),
                             control->objectName().mid(1)};
}

// Blank text saves null; text longer than the field is cut to fit it.
QVariant valorTexto(const QWidget* control, platform::Field& campo) {
    const QString texto = textoControl(control);
    if (texto.trimmed().isEmpty()) {
        return nulo();
    }
    const qint32 tamano = campo.definedSize();
    return (tamano > 0 && texto.size() > tamano) ? texto.left(tamano) : texto;
}

QVariant valorCombo(const QWidget* control) {
    const QString texto = textoVinculado(control);
    return texto.isEmpty() ? nulo() : QVariant(texto);
}

// The chosen index picks from the ';'-separated values of the tag; no choice saves null.
QVariant valorLista(const QWidget* control, const QString& lista) {
    const qint32 indice = indiceLista(control);
    const QStringList valores = lista.split(u';');
    if (indice <= -1) {
        return nulo();
    }
    if (indice >= valores.size()) {
        throw platform::ErrorEjecucion(platform::kErrorSubindice,
                                       u"Subíndice fuera del intervalo"_s, u"aConexion"_s);
    }
    return valores.at(indice);
}

// A whole number drops its fraction downwards: -1.5 saves -2.
QVariant valorNumero(const QWidget* control, bool entero) {
    const QString texto = textoControl(control).trimmed();
    if (texto.isEmpty()) {
        return nulo();
    }
    if (entero) {
        return static_cast<qlonglong>(std::floor(numeroDeTexto(texto)));
    }
    return numeroDeTexto(texto);
}

QVariant valorFecha(const QWidget* control) {
    const QString texto = textoControl(control);
    if (texto.isEmpty()) {
        return nulo();
    }
    const std::optional<QDateTime> leida = platform::leeFecha(texto);
    if (!leida) {
        throw tiposDistintos(texto);
    }
    return *leida;
}

// What the control saves into its field of rN; nothing when its letter binds no field.
std::optional<QVariant> valorAGrabar(const ControlEtiquetado& c, platform::Recordset& rN,
                                     const aConexion& conexion) {
    switch (c.letra.unicode()) {
        case u'T':
            return valorTexto(c.control, rN.field(c.campo));
        case u'C':
            return valorCombo(c.control);
        case u'L':
            return valorLista(c.control, c.lista);
        case u'N':
            return valorNumero(c.control, true);
        case u'R':
            return valorNumero(c.control, false);
        case u'H':
            return conexion.bolv(valorMarca(c.control) == 1);
        case u'F':
            return valorFecha(c.control);
        case u'D':
            return valorControl(c.control);
        default:
            return std::nullopt;
    }
}

}  // namespace

void aConexion::cargaBuffer(const QString& nombre, const QString& sql) {
    for (qsizetype i = 0; i < buffers_.size(); ++i) {
        if (buffers_.at(i).first.compare(nombre, Qt::CaseInsensitive) == 0) {
            buffers_.removeAt(i);
            break;
        }
    }
    try {
        platform::RecordsetPtr r = con_->execute(sql);
        if (r != nullptr) {
            buffers_.append({nombre, r});
        }
    } catch (const std::exception&) {
        // A buffer that cannot be loaded is simply absent.
    }
}

platform::RecordsetPtr aConexion::Buffer(const QString& nombre) const {
    for (const auto& buffer : buffers_) {
        if (buffer.first.compare(nombre, Qt::CaseInsensitive) == 0) {
            return buffer.second;
        }
    }
    return nullptr;
}

void aConexion::recargaBuffers() {
    for (const auto& buffer : buffers_) {
        buffer.second->requery();
    }
}

void aConexion::vaciaBuffers() {
    while (!buffers_.isEmpty()) {
        buffers_.removeLast();
    }
}

QVariant aConexion::campo(platform::Recordset& r, const QString& C) {
    ultimoCampo_ = C + u" en "_s + r.source();
    return r.field(C).value();
}

void aConexion::setCampo(platform::Recordset& r, const QString& C, const QVariant& valor) {
    ultimoCampo_ = C + u" en "_s + r.source();
    r.field(C).setValue(valor);
}

QVariant aConexion::r(platform::Recordset& rs, const QString& campo) {
    try {
        return rs.field(campo).value();
    } catch (const platform::ErrorEjecucion& e) {
        marcaError(u"Error accediendo a campo: "_s + campo + u": "_s + e.descripcion(), rs.source(),
                   QString());
        return QVariant();
    }
}

QVariant aConexion::dato(platform::Recordset& r, const QString& campo) {
    try {
        return r.field(campo).value();
    } catch (const platform::ErrorEjecucion&) {
        modTolvane1::aviso(u"No se encuentra el campo '"_s + campo + u"' en el resultado: "_s +
                           r.source());
        return nulo();
    }
}

QVariant aConexion::valorCampo(const QString& campo, const QString& sql) {
    const platform::RecordsetPtr r = con_->execute(sql);
    if (r == nullptr) {
        throw platform::ErrorEjecucion(platform::Recordset::kErrorBofEof,
                                       u"La consulta no devolvió registros: "_s + sql,
                                       u"aConexion"_s);
    }
    return r->field(campo).value();
}

QVariant aConexion::valor(const QVariant& v) {
    return esTextoVacio(v) ? nulo() : v;
}

QVariant aConexion::valorC(const QVariant& v) {
    if (esTextoVacio(v)) {
        return nulo();
    }
    if (v.isNull()) {
        return v;
    }
    const double n =
        v.typeId() == QMetaType::QString ? numeroDeTexto(v.toString().trimmed()) : v.toDouble();
    // Currency keeps four decimals, rounded half to even as the engines round it.
    return platform::redondeaPar(n * 10000.0) / 10000.0;
}

QString aConexion::contenidoRegistro(platform::Recordset& rs) const {
    QString dump;
    platform::Fields& campos = rs.fields();
    for (int i = 0; i < campos.count(); ++i) {
        try {
            platform::Field& f = campos.item(i);
            const QVariant v = f.value();
            QString texto = v.isNull() ? QString() : v.toString();
            texto.replace(u'%', u"37%"_s).replace(u',', u"44%"_s);
            dump += f.name() + u'=' + texto + u',';
        } catch (const std::exception&) {
            // A field that cannot be read is left out of the dump.
        }
    }
    if (dump.endsWith(u',')) {
        dump.chop(1);
    }
    return dump;
}

bool aConexion::actualiza(platform::Recordset& rs) {
    if (modoEdicion()) {
        rs.update();
        return true;
    }
    try {
        rs.update();
        return true;
    } catch (const platform::ErrorEjecucion& e) {
        const qint32 modo = rs.editMode();
        QString texto;
        if (modo == platform::Recordset::kAnadiendo) {
            texto = u"Añadir Recordset: "_s + e.descripcion();
        } else if (modo == platform::Recordset::kEditando) {
            texto = u"Actualizar Recordset: "_s + e.descripcion();
        } else {
            texto = u"Edit mode="_s + QString::number(modo) + u" Recordset: "_s + e.descripcion();
        }
        try {
            marcaError(texto, aplana(contenidoRegistro(rs)), QString());
        } catch (const std::exception&) {
            // The caller must learn of the save's failure, not of its registration's.
        }
        throw;
    }
}

void aConexion::duplicaRegistro(platform::Recordset& rsN, platform::Recordset& rs) {
    platform::Fields& campos = rsN.fields();
    for (int i = 0; i < campos.count(); ++i) {
        platform::Field& f = campos.item(i);
        f.setValue(rs.field(f.name()).value());
    }
}

void aConexion::cargaRst(platform::Recordset& rsDestino, aConexion* /*conexionOrigen*/,
                         platform::Recordset& rsOrigen) {
    platform::Fields& campos = rsOrigen.fields();
    for (int i = 0; i < campos.count(); ++i) {
        platform::Field& f = campos.item(i);
        rsDestino.field(f.name()).setValue(f.value());
    }
}

void aConexion::insertaRegistrosTabla(const QString& tablaOrigen, const QString& tablaDestino,
                                      const QString& campoClave) {
    auto destino = std::make_shared<platform::Recordset>();
    destino->open(u"SELECT * FROM "_s + tablaDestino + u" WHERE "_s + campoClave + u"=-1"_s,
                  con_.get(), 0, platform::Recordset::kOptimista);
    const platform::RecordsetPtr origen = con_->execute(u"SELECT * FROM "_s + tablaOrigen);
    for (; origen != nullptr && !origen->eof(); origen->moveNext()) {
        destino->addNew();
        cargaRst(*destino, this, *origen);
        destino->update();
    }
    destino->close();
}

void aConexion::update(const QString& tabla, const QString& sets, const QString& query,
                       const QString& clausulaWHERE) {
    QString sql;
    if (motor() == Motor::SqlServer) {
        sql = u" UPDATE "_s + tabla + u" SET "_s + sets;
        if (!query.isEmpty()) {
            sql += u" FROM "_s + query;
        }
    } else if (motor() == Motor::Fichero) {
        sql = u" UPDATE "_s + (query.isEmpty() ? tabla : query) + u" SET "_s + sets;
    } else {
        return;
    }
    if (!clausulaWHERE.isEmpty()) {
        sql += u" WHERE "_s + clausulaWHERE;
    }
    executeNR(sql);
}

qint32 aConexion::nRegistros(const QString& tabla, const QString& filtro) {
    const platform::RecordsetPtr r = primeraFila(u"SELECT count(*) as n FROM "_s + tabla + filtro);
    if (r == nullptr) {
        return 0;
    }
    const QVariant n = r->field(u"n"_s).value();
    return (n.isNull() || n.toLongLong() <= 0) ? 0 : n.toInt();
}

qint32 aConexion::codRef(const QString& tabla, const QString& campoRef, const QString& campoCod,
                         const QString& valor) {
    const platform::RecordsetPtr r =
        primeraFila(u"SELECT "_s + campoCod + u" FROM "_s + tabla + u" WHERE "_s + campoRef +
                    u"='"_s + escapa(valor) + u'\'');
    return r == nullptr ? -1 : r->field(campoCod).value().toInt();
}

void aConexion::grabaDatos(QWidget* formulario, platform::Recordset& rN) {
    for (QWidget* control : formulario->findChildren<QWidget*>()) {
        const std::optional<ControlEtiquetado> c = etiquetado(control);
        if (!c) {
            continue;
        }
        try {
            const std::optional<QVariant> v = valorAGrabar(*c, rN, *this);
            if (v) {
                rN.field(c->campo).setValue(*v);
            }
        } catch (const platform::ErrorEjecucion& e) {
            modTolvane1::aviso(u"Error grabando datos:\r"_s + e.descripcion() + u"\rCampo: "_s +
                               c->campo);
            return;
        }
    }
}
