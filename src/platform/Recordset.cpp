#include "platform/Recordset.h"

#include <QRegularExpression>
#include <optional>

#include "platform/CodigosError.h"
#include "platform/FiltroRegistros.h"

namespace platform {

namespace {

const QString kOrigen = QStringLiteral("Recordset");

ErrorEjecucion errorBofEof() {
    return ErrorEjecucion(Recordset::kErrorBofEof,
                          QStringLiteral("BOF o EOF es True, o el registro actual se eliminó. "
                                         "La operación requiere un registro actual."),
                          kOrigen);
}

bool esFiltroVacio(const QVariant& criterio) {
    if (!criterio.isValid() || criterio.isNull()) {
        return true;
    }
    if (criterio.typeId() == QMetaType::QString) {
        return criterio.toString().trimmed().isEmpty();
    }
    return criterio.toInt() == 0;
}

// Names written in generated statements: plain identifiers as they are, others quoted.
QString nombreSql(const QString& nombre) {
    static const QRegularExpression simple(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (simple.match(nombre).hasMatch()) {
        return nombre;
    }
    QString citado = nombre;
    citado.replace(u'"', QStringLiteral("\"\""));
    return u'"' + citado + u'"';
}

ErrorEjecucion errorSinConexion() {
    return ErrorEjecucion(Connection::kErrorObjetoCerrado,
                          QStringLiteral("La conexión del recordset está cerrada."), kOrigen);
}

}  // namespace

Recordset::Recordset() = default;

Recordset::~Recordset() {
    close();
}

RecordsetPtr Recordset::puntero() {
    RecordsetPtr propio = weak_from_this().lock();
    return propio ? propio : RecordsetPtr(RecordsetPtr(), this);
}

void Recordset::compruebaAbierto() const {
    if (estado_ != kAbierto) {
        throw ErrorEjecucion(Connection::kErrorObjetoCerrado,
                             estado_ == kEjecutando
                                 ? QStringLiteral("No se permite la operación mientras el "
                                                  "objeto se está ejecutando.")
                                 : QStringLiteral("No se permite la operación si el objeto "
                                                  "está cerrado."),
                             kOrigen);
    }
}

void Recordset::open(const QString& source, Connection* con, qint32 cursorType, qint32 lockType,
                     qint32 options) {
    if (estado_ != kCerrado) {
        throw ErrorEjecucion(
            Connection::kErrorObjetoAbierto,
            QStringLiteral("No se permite la operación si el objeto está abierto."), kOrigen);
    }
    if (!con) {
        throw ErrorEjecucion(kErrorArgumentosNoValidos,
                             QStringLiteral("El recordset no tiene conexión."), kOrigen);
    }
    limpia();
    source_ = source;
    cursorType_ = cursorType;
    lockType_ = lockType;
    if (options != -1 && (options & Connection::kOpcionAsincrona)) {
        con->abreRecordsetAsincrono(this, source);
        con_ = con;
        estado_ = kEjecutando;
        return;
    }
    try {
        con->ejecutaConEventos(
            source, {},
            [this, con](Resultado& r) {
                abreEn(con);
                recibeResultado(r);
                return puntero();
            },
            this);
    } catch (const ErrorEjecucion&) {
        alFallar();
        throw;
    }
}

void Recordset::abreEn(Connection* con) {
    con_ = con;
    con->registra(this);
}

void Recordset::recibeResultado(Resultado& resultado) {
    if (!resultado.cursor) {
        // A statement without columns leaves the recordset closed, as it always did.
        alFallar();
        return;
    }
    cursor_ = std::move(resultado.cursor);
    columnas_ = cursor_->columns();
    fields_.reinicia(this, columnas_.size());
    estado_ = kAbierto;
    materializado_ = false;
    filasPasadas_ = 0;
    leeSiguienteDelMotor();
    bof_ = eof_;
    if (!soloAdelante_) {
        materializa();
    }
}

void Recordset::alFallar() {
    if (con_) {
        con_->olvida(this);
    }
    limpia();
}

void Recordset::desconecta() {
    con_ = nullptr;
    if (estado_ == kAbierto && materializado_ && !cursor_) {
        return;
    }
    limpia();
}

void Recordset::close() {
    if (con_) {
        con_->olvida(this);
    }
    limpia();
}

void Recordset::limpia() {
    estado_ = kCerrado;
    con_ = nullptr;
    cursor_.reset();
    columnas_.clear();
    fields_.reinicia(this, 0);
    actual_.clear();
    hayActual_ = false;
    eof_ = bof_ = true;
    filasPasadas_ = 0;
    materializado_ = false;
    filas_.clear();
    visibles_.clear();
    posicion_ = 0;
    filtro_ = QVariant();
    editMode_ = kSinEdicion;
    edicion_.clear();
    cambiados_.clear();
}

void Recordset::cancel() {
    if (estado_ == kEjecutando && con_) {
        Connection* con = con_;
        con->quitaPendientes(this);
        alFallar();
    }
}

void Recordset::leeSiguienteDelMotor() {
    hayActual_ = false;
    actual_.clear();
    if (cursor_) {
        QVector<QVariant> fila;
        if (cursor_->fetch(fila)) {
            actual_ = std::move(fila);
            hayActual_ = true;
        } else {
            cursor_.reset();
        }
    }
    eof_ = !hayActual_;
}

void Recordset::materializa() {
    if (materializado_) {
        return;
    }
    filas_.clear();
    int posicion = 0;
    if (filasPasadas_ == 0) {
        if (hayActual_) {
            filas_.append(actual_);
        }
    } else {
        // The rows already passed are gone from a forward read: read the result again.
        posicion = eof_ ? -1 : filasPasadas_;
        cursor_.reset();
        if (!con_) {
            throw errorSinConexion();
        }
        con_->ejecutaConEventos(source_, {}, [this](Resultado& r) {
            cursor_ = std::move(r.cursor);
            return puntero();
        });
    }
    QVector<QVariant> fila;
    while (cursor_ && cursor_->fetch(fila)) {
        filas_.append(fila);
    }
    cursor_.reset();
    actual_.clear();
    hayActual_ = false;
    materializado_ = true;
    visibles_.clear();
    for (int i = 0; i < filas_.size(); ++i) {
        visibles_.append(i);
    }
    posicion_ =
        (posicion < 0 || posicion > filas_.size()) ? static_cast<int>(filas_.size()) : posicion;
}

bool Recordset::eof() const {
    compruebaAbierto();
    return materializado_ ? posicion_ >= visibles_.size() : eof_;
}

bool Recordset::bof() const {
    compruebaAbierto();
    return materializado_ ? (posicion_ < 0 || visibles_.isEmpty()) : bof_;
}

void Recordset::terminaEdicionAlMover() {
    if (editMode_ != kSinEdicion) {
        update();
    }
}

void Recordset::moveNext() {
    compruebaAbierto();
    terminaEdicionAlMover();
    if (eof()) {
        throw errorBofEof();
    }
    if (materializado_) {
        ++posicion_;
        return;
    }
    ++filasPasadas_;
    bof_ = false;
    leeSiguienteDelMotor();
}

bool Recordset::recorreBloques(const std::function<bool(qint64, const QByteArray&)>& porFila) {
    compruebaAbierto();
    terminaEdicionAlMover();
    if (materializado_) {
        for (; !eof(); moveNext()) {
            if (!porFila(valorCampo(0).toLongLong(), valorCampo(1).toByteArray())) {
                return false;
            }
        }
        return true;
    }
    bool seguir =
        !hayActual_ || porFila(actual_.value(0).toLongLong(), actual_.value(1).toByteArray());
    qint64 numero = 0;
    QByteArray datos;
    while (seguir && cursor_ && cursor_->fetchBloque(numero, datos)) {
        ++filasPasadas_;
        seguir = porFila(numero, datos);
    }
    cursor_.reset();
    hayActual_ = false;
    actual_.clear();
    eof_ = true;
    bof_ = false;
    return seguir;
}

void Recordset::moveFirst() {
    compruebaAbierto();
    terminaEdicionAlMover();
    if (!materializado_ && filasPasadas_ == 0 && (hayActual_ || !cursor_)) {
        bof_ = !hayActual_;
        return;
    }
    materializa();
    posicion_ = 0;
}

void Recordset::movePrevious() {
    compruebaAbierto();
    terminaEdicionAlMover();
    materializa();
    if (bof()) {
        throw errorBofEof();
    }
    --posicion_;
}

void Recordset::moveLast() {
    compruebaAbierto();
    terminaEdicionAlMover();
    materializa();
    if (!visibles_.isEmpty()) {
        posicion_ = static_cast<int>(visibles_.size()) - 1;
    }
}

qint32 Recordset::recordCount() {
    compruebaAbierto();
    materializa();
    return static_cast<qint32>(visibles_.size());
}

Fields& Recordset::fields() {
    compruebaAbierto();
    return fields_;
}

const QVector<QVariant>& Recordset::filaActual() const {
    if (eof() || bof()) {
        throw errorBofEof();
    }
    return materializado_ ? filas_[visibles_[posicion_]] : actual_;
}

QVariant Recordset::valorCampo(int indice) const {
    compruebaAbierto();
    if (editMode_ != kSinEdicion) {
        return edicion_.value(indice);
    }
    return filaActual().value(indice);
}

void Recordset::cambiaCampo(int indice, const QVariant& valor) {
    compruebaAbierto();
    compruebaActualizable();
    leeLoQueQueda();
    if (editMode_ == kSinEdicion) {
        edicion_ = filaActual();
        cambiados_ = QVector<bool>(columnas_.size(), false);
        editMode_ = kEditando;
    }
    edicion_[indice] = valor;
    cambiados_[indice] = true;
}

QString Recordset::tablaActualizable() const {
    static const QRegularExpression consulta(
        QStringLiteral(R"(^\s*SELECT\s+\*\s+FROM\s+([^\s;,()]+)(\s+WHERE\s.*)?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = consulta.match(source_);
    return m.hasMatch() ? m.captured(1) : QString();
}

void Recordset::compruebaActualizable() const {
    if (lockType_ == kSoloLectura || tablaActualizable().isEmpty() || !con_) {
        throw ErrorEjecucion(
            kErrorNoActualizable,
            QStringLiteral("El recordset no admite actualizaciones: %1").arg(source_), kOrigen);
    }
}

void Recordset::addNew() {
    compruebaAbierto();
    compruebaActualizable();
    leeLoQueQueda();
    terminaEdicionAlMover();
    edicion_ = QVector<QVariant>(columnas_.size());
    cambiados_ = QVector<bool>(columnas_.size(), false);
    editMode_ = kAnadiendo;
}

void Recordset::leeLoQueQueda() {
    // The row is written through the same connection, which must not have a result pending.
    if (cursor_) {
        materializa();
    }
}

void Recordset::cancelUpdate() {
    editMode_ = kSinEdicion;
    edicion_.clear();
    cambiados_.clear();
}

void Recordset::update() {
    compruebaAbierto();
    if (editMode_ == kSinEdicion) {
        return;
    }
    // A kept recordset outlives its connection, which may close while a row is being edited.
    if (!con_) {
        throw errorSinConexion();
    }
    const QString tabla = tablaActualizable();
    const bool anadida = editMode_ == kAnadiendo;
    if (anadida) {
        inserta(tabla);
    } else {
        actualiza(tabla);
    }
    QVector<QVariant> escrita = edicion_;
    cancelUpdate();
    if (materializado_) {
        if (!anadida) {
            filas_[visibles_[posicion_]] = escrita;
        } else {
            filas_.append(escrita);
            visibles_.append(static_cast<int>(filas_.size()) - 1);
            posicion_ = static_cast<int>(visibles_.size()) - 1;
        }
        return;
    }
    actual_ = escrita;
    hayActual_ = true;
    eof_ = false;
    bof_ = false;
}

void Recordset::inserta(const QString& tabla) {
    QStringList columnas;
    QStringList marcas;
    QVariantList valores;
    for (int i = 0; i < columnas_.size(); ++i) {
        if (!cambiados_[i]) {
            continue;
        }
        columnas << nombreSql(columnas_[i].name);
        marcas << QStringLiteral("?");
        valores << edicion_[i];
    }
    const QString sql = columnas.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(tabla)
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(tabla, columnas.join(u','), marcas.join(u','));
    con_->ejecutaConEventos(sql, valores, [](Resultado&) { return RecordsetPtr(); });
}

void Recordset::actualiza(const QString& tabla) {
    QStringList asignaciones;
    QVariantList valores;
    for (int i = 0; i < columnas_.size(); ++i) {
        if (cambiados_[i]) {
            asignaciones << nombreSql(columnas_[i].name) + QStringLiteral("=?");
            valores << edicion_[i];
        }
    }
    if (asignaciones.isEmpty()) {
        return;
    }
    const QVector<QVariant>& original = filaActualSinEdicion();
    QStringList condiciones;
    for (const int i : columnasDeBusqueda(tabla)) {
        if (original[i].isNull() || !original[i].isValid()) {
            condiciones << nombreSql(columnas_[i].name) + QStringLiteral(" IS NULL");
        } else {
            condiciones << nombreSql(columnas_[i].name) + QStringLiteral("=?");
            valores << original[i];
        }
    }
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(tabla, asignaciones.join(u','), condiciones.join(QStringLiteral(" AND ")));
    const Resultado r =
        con_->ejecutaConEventos(sql, valores, [](Resultado&) { return RecordsetPtr(); });
    if (r.recordsAffected == 0) {
        throw ErrorEjecucion(kErrorFilaNoEncontrada,
                             QStringLiteral("No se encuentra la fila para actualizarla: puede "
                                            "que otro la haya cambiado o borrado."),
                             kOrigen);
    }
}

const QVector<QVariant>& Recordset::filaActualSinEdicion() const {
    return materializado_ ? filas_[visibles_[posicion_]] : actual_;
}

QVector<int> Recordset::columnasDeBusqueda(const QString& tabla) const {
    QVector<int> indices;
    for (const QString& clave : con_->primaryKey(tabla)) {
        const int i = fields_.indexOf(clave);
        if (i < 0) {
            indices.clear();
            break;
        }
        indices.append(i);
    }
    if (!indices.isEmpty()) {
        return indices;
    }
    // Without a key every comparable column identifies the row; long values are left out.
    for (int i = 0; i < columnas_.size(); ++i) {
        if (!(columnas_[i].attributes & Field::kLargo) && columnas_[i].type != 4 &&
            columnas_[i].type != 5) {
            indices.append(i);
        }
    }
    return indices;
}

void Recordset::setFilter(const QVariant& criterio) {
    compruebaAbierto();
    terminaEdicionAlMover();
    materializa();
    std::optional<FiltroRegistros> filtro;
    if (!esFiltroVacio(criterio)) {
        filtro.emplace(criterio.toString(), columnas_);
    }
    visibles_.clear();
    for (int i = 0; i < filas_.size(); ++i) {
        if (!filtro || filtro->cumple(filas_[i])) {
            visibles_.append(i);
        }
    }
    filtro_ = criterio;
    posicion_ = 0;
}

void Recordset::requery() {
    compruebaAbierto();
    Connection* con = con_;
    if (!con) {
        throw errorSinConexion();
    }
    const QString source = source_;
    const qint32 cursorType = cursorType_;
    const qint32 lockType = lockType_;
    const QVariant filtro = filtro_;
    close();
    open(source, con, cursorType, lockType);
    if (!esFiltroVacio(filtro)) {
        setFilter(filtro);
    }
}

}  // namespace platform
