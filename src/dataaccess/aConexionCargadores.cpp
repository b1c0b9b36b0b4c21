#include <QClipboard>
#include <QColor>
#include <QDateTime>
#include <QGuiApplication>
#include <QRegularExpression>
#include <limits>
#include <memory>

#include "comun/Mensajeria.h"
#include "dataaccess/aConexion.h"
#include "platform/Blancos.h"
#include "platform/CodigosError.h"
#include "platform/EnlaceTardio.h"
#include "platform/ErrorEjecucion.h"
#include "platform/Formato.h"
#include "platform/Recordset.h"

using namespace Qt::Literals::StringLiterals;
using platform::invoca;
using platform::leePropiedad;
using platform::ponPropiedad;

namespace {

constexpr qint32 kOpcionesSinEspecificar = -1;
// The longest clipboard cell kept in a Texto column; longer ones make the column a Memo.
constexpr qsizetype kTextoMaximo = 255;
const QColor kGrisBaja(150, 150, 150);

bool vacio(const platform::RecordsetPtr& r) {
    return r == nullptr || r->state() != platform::Recordset::kAbierto || (r->bof() && r->eof());
}

QString texto(const QVariant& valor) {
    return valor.isNull() ? QString() : valor.toString();
}

qint32 filas(QObject* grid) {
    return leePropiedad(grid, "Rows").toInt();
}

// The value a combo's BoundText takes from the current record.
QVariant valorLigado(platform::Recordset& r, const QString& columna) {
    const QVariant valor = r.field(columna).value();
    return valor.isNull() ? QVariant(QString()) : valor;
}

// The row code cargaGrid stores: a 32-bit number, as the row data of its grids always is.
QVariant codigoFila(const QVariant& valor, const QString& cod) {
    if (valor.isNull()) {
        return QVariant();
    }
    bool ok = false;
    const qlonglong n = valor.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max()) {
        throw platform::ErrorEjecucion(platform::kErrorTipos,
                                       u"El código "_s + valor.toString() + u" de "_s + cod +
                                           u" no es un número entero de 32 bits"_s,
                                       u"aConexion"_s);
    }
    return static_cast<qint32>(n);
}

// Lines of a text, at either line end; the end of the last line adds no empty line after it.
QStringList lineas(const QString& texto) {
    static const QRegularExpression kFinLinea(u"\\r?\\n"_s);
    QStringList resultado = texto.split(kFinLinea);
    if (resultado.last().isEmpty()) {
        resultado.removeLast();
    }
    return resultado;
}

// The field widths of a fixed-width layout "start-end:start-end..."; error 5 when an item is
// not two whole numbers with end >= start.
QVector<qsizetype> anchosFormato(const QString& formato) {
    QVector<qsizetype> anchos;
    for (const QString& elemento : formato.split(u':')) {
        const QStringList limites = elemento.split(u'-');
        bool okInicio = false;
        bool okFin = false;
        const qint32 inicio = limites.size() == 2 ? limites.at(0).trimmed().toInt(&okInicio) : 0;
        const qint32 fin = limites.size() == 2 ? limites.at(1).trimmed().toInt(&okFin) : 0;
        if (!okInicio || !okFin || fin < inicio) {
            throw platform::ErrorEjecucion(
                platform::kErrorArgumento,
                u"Formato de campos no válido: \""_s + formato +
                    u"\" (se esperaba inicio-fin:inicio-fin..., con fin mayor o igual que inicio)"_s,
                u"aConexion"_s);
        }
        anchos.append(fin - inicio + 1);
    }
    return anchos;
}

}  // namespace

void aConexion::cargaComboRs(const platform::RecordsetPtr& rs, QObject* combo) {
    ponPropiedad(combo, "RowSource", QVariant::fromValue(rs));
}

qint32 aConexion::cargaCombo(const QString& Source, const QString& cod, const QString& campo,
                             QObject* combo, QObject* combo2, bool mostrarPrimero,
                             bool mostraPrimeroSiHayUno) {
    rsCombo_ = con_->execute(Source, nullptr, kOpcionesSinEspecificar);
    ponPropiedad(combo, "RowMember", QString());
    const qint32 cuenta = vacio(rsCombo_) ? 0 : rsCombo_->recordCount();
    ponPropiedad(combo, "RowSource", QVariant::fromValue(rsCombo_));
    if (texto(leePropiedad(combo, "BoundColumn")).isEmpty()) {
        ponPropiedad(combo, "BoundColumn", cod);
    }
    if (texto(leePropiedad(combo, "ListField")).isEmpty()) {
        ponPropiedad(combo, "ListField", campo);
    }
    if (combo2 != nullptr) {
        if (texto(leePropiedad(combo2, "ListField")).isEmpty()) {
            ponPropiedad(combo2, "ListField", campo);
        }
        if (texto(leePropiedad(combo2, "BoundColumn")).isEmpty()) {
            ponPropiedad(combo2, "BoundColumn", cod);
        }
    }
    if (cuenta > 0 && (mostrarPrimero || (mostraPrimeroSiHayUno && cuenta == 1))) {
        rsCombo_->moveFirst();
        const QString columna = texto(leePropiedad(combo, "BoundColumn"));
        ponPropiedad(combo, "BoundText", valorLigado(*rsCombo_, columna));
    }
    if (combo2 != nullptr) {
        ponPropiedad(combo2, "RowSource", QVariant::fromValue(rsCombo_));
    }
    return cuenta;
}

void aConexion::cargaLista(QObject* lista, const QString& tabla, const QString& cod,
                           const QString& des, const QString& criterio, const QString& orden,
                           bool mostrarPrimero) {
    ponPropiedad(lista, "BoundText", QString());
    QString sql = u"SELECT "_s + cod + u',' + des + u" FROM "_s + tabla;
    if (!criterio.isEmpty()) {
        sql += u" WHERE "_s + criterio;
    }
    if (!orden.isEmpty()) {
        sql += u" ORDER BY "_s + orden;
    }
    cargaCombo(sql, cod, des, lista, nullptr, mostrarPrimero);
}

qint32 aConexion::cargaGrid(QObject* g, const QString& sql, const QString& cod,
                            const QString& campo, bool marcaTodos, bool sinCabecera) {
    const platform::RecordsetPtr r = con_->execute(sql, nullptr, kOpcionesSinEspecificar);
    ponPropiedad(g, "Rows", sinCabecera ? 0 : 1);
    qint32 cuenta = 0;
    for (; !vacio(r) && !r->eof(); r->moveNext()) {
        invoca(g, "AddItem", {u'\t' + texto(r->field(campo).value())});
        const qint32 ultima = filas(g) - 1;
        if (marcaTodos) {
            invoca(g, "setTextmatrix", {ultima, 0, true});
        }
        if (!cod.isEmpty()) {
            invoca(g, "setRowData", {ultima, codigoFila(r->field(cod).value(), cod)});
        }
        ++cuenta;
    }
    return cuenta;
}

void aConexion::rellenaGrid(QObject* grid, const QString& sql, const QString& campo,
                            const QString& campoCod, const QString& campoBaja) {
    QVariantList elegidos;
    const qint32 nElegidas = leePropiedad(grid, "SelectedRows").toInt();
    for (qint32 i = 0; i < nElegidas; ++i) {
        const QVariant fila = invoca(grid, "SelectedRow", {i});
        elegidos.append(invoca(grid, "RowData", {fila}));
    }
    const qint32 filaSuperior = leePropiedad(grid, "TopRow").toInt();

    ponPropiedad(grid, "Rows", 1);
    const platform::RecordsetPtr r = con_->execute(sql, nullptr, kOpcionesSinEspecificar);
    if (r == nullptr || r->state() != platform::Recordset::kAbierto) {
        return;
    }
    const qint32 columna = invoca(grid, "colindex", {campo}).toInt();
    if (columna < 0) {
        throw platform::ErrorEjecucion(platform::kErrorSinMiembro,
                                       u"La rejilla no tiene la columna "_s + campo,
                                       u"aConexion"_s);
    }
    const qint32 columnas = leePropiedad(grid, "Cols").toInt();
    for (; !r->eof(); r->moveNext()) {
        invoca(grid, "AddItem", {QString()});
        const qint32 ultima = filas(grid) - 1;
        invoca(grid, "setTextmatrix", {ultima, columna, texto(r->field(campo).value())});
        invoca(grid, "setRowData", {ultima, r->field(campoCod).value()});
        if (!campoBaja.isEmpty() && bolActivo(r->field(campoBaja).value())) {
            invoca(grid, "setCellForeColor", {ultima, 0, ultima, columnas - 1, kGrisBaja});
        }
    }
    if (filaSuperior < filas(grid)) {
        ponPropiedad(grid, "TopRow", filaSuperior);
    }
    for (const QVariant& codigo : elegidos) {
        const qint32 fila = invoca(grid, "FindRow", {codigo}).toInt();
        if (fila > 0) {
            invoca(grid, "setIsSelected", {fila, true});
        }
    }
}

QString aConexion::excelTemporal() {
    if (qGuiApp == nullptr) {
        return QString();
    }
    const QString contenido = QGuiApplication::clipboard()->text();
    if (contenido.isEmpty()) {
        return QString();
    }
    QVector<QStringList> filasTexto;
    qsizetype nColumnas = 0;
    for (const QString& linea : lineas(contenido)) {
        filasTexto.append(linea.split(u'\t'));
        nColumnas = qMax(nColumnas, filasTexto.last().size());
    }
    QVector<qsizetype> largos(nColumnas, 0);
    for (const QStringList& celdas : filasTexto) {
        for (qsizetype c = 0; c < celdas.size(); ++c) {
            largos[c] = qMax(largos.at(c), celdas.at(c).size());
        }
    }

    // Only SQL Server has "#" session tables; elsewhere "#" is not part of a name.
    const QString sello =
        platform::formatoFecha(QDateTime::currentDateTime(), u"dd/mm/yyyy hh:nn:ss"_s)
            .remove(u'/')
            .remove(u':')
            .remove(u' ');
    QString tabla = (motor() == Motor::SqlServer ? u"#tExt_"_s : u"tExt_"_s) + sello;
    nuevaTabla(tabla);
    nuevoCampo(u"cod"_s, kEnteroLargo, -1, false, true);
    for (qsizetype c = 0; c < nColumnas; ++c) {
        const qsizetype largo = largos.at(c);
        if (largo > kTextoMaximo) {
            nuevoCampo(u"c"_s + QString::number(c), kMemo, -1, true, false);
        } else {
            nuevoCampo(u"c"_s + QString::number(c), kTexto, static_cast<qint16>(qMax(largo, 1)),
                       true, false);
        }
    }
    creaTabla();

    platform::Recordset r;
    r.open(u"SELECT * FROM "_s + tabla, con_.get(), 0, platform::Recordset::kOptimista,
           kOpcionesSinEspecificar);
    for (qsizetype i = 0; i < filasTexto.size(); ++i) {
        r.addNew();
        r.field(u"cod"_s).setValue(static_cast<qint32>(i + 1));
        const QStringList& celdas = filasTexto.at(i);
        for (qsizetype c = 0; c < celdas.size(); ++c) {
            r.field(u"c"_s + QString::number(c)).setValue(celdas.at(c));
        }
        r.update();
    }
    r.close();
    return tabla;
}

void aConexion::cargaTablaTextoFijo(const QString& tabla, const QString& formato,
                                    const QString& texto) {
    const QVector<qsizetype> anchos = anchosFormato(formato);
    platform::Recordset r;
    r.open(u"SELECT * FROM "_s + tabla, con_.get(), 0, platform::Recordset::kOptimista,
           kOpcionesSinEspecificar);
    if (anchos.size() > r.fields().count()) {
        throw platform::ErrorEjecucion(platform::kErrorArgumento,
                                       u"El formato \""_s + formato + u"\" tiene "_s +
                                           QString::number(anchos.size()) +
                                           u" campos y la tabla "_s + tabla + u" solo "_s +
                                           QString::number(r.fields().count()),
                                       u"aConexion"_s);
    }
    QString limpio = texto;
    const QStringList lineasTexto = lineas(limpio.remove(u'\r'));

    // The display closes when it goes out of scope, also when a record fails.
    const std::unique_ptr<modTolvane1::Progreso> progreso = modTolvane1::mensajeria().abreProgreso(
        u"Cargando Elementos"_s, static_cast<qint32>(qMax<qsizetype>(lineasTexto.size() - 1, 0)));
    for (const QString& linea : lineasTexto) {
        r.addNew();
        qsizetype posicion = 0;
        for (qsizetype i = 0; i < anchos.size(); ++i) {
            const QString campo = platform::sinBlancos(linea.mid(posicion, anchos.at(i)));
            r.fields().item(static_cast<int>(i)).setValue(valor(campo));
            posicion += anchos.at(i);
        }
        r.update();
        progreso->avanza();
    }
    r.close();
}
