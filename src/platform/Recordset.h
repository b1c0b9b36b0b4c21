#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

#include "platform/CodigosError.h"
#include "platform/Connection.h"
#include "platform/Field.h"

namespace platform {

// Rows of one statement, after the data-access Recordset. It reads the whole result when it
// opens and closes the engine's statement at once, so a kept recordset never holds the
// connection; one made by Connection::executeSoloAdelante reads forward from the engine (one row
// in memory) until a caller asks for a count, a filter, a move back, a requery or an edit.
// AddNew/Update write the table of a "SELECT * FROM table ..." source with bound parameters.
class Recordset : public std::enable_shared_from_this<Recordset> {
public:
    // State values.
    static constexpr qint32 kCerrado = 0;
    static constexpr qint32 kAbierto = 1;
    static constexpr qint32 kEjecutando = 4;
    // Edit modes.
    static constexpr qint32 kSinEdicion = 0;
    static constexpr qint32 kEditando = 1;
    static constexpr qint32 kAnadiendo = 2;
    // Lock types (1 read only; 2, 3, 4 allow writing).
    static constexpr qint32 kSoloLectura = 1;
    static constexpr qint32 kOptimista = 3;
    // Error numbers raised by the recordset itself.
    static constexpr qint32 kErrorBofEof = platform::kErrorBofEof;
    static constexpr qint32 kErrorNoActualizable = platform::kErrorNoActualizable;
    static constexpr qint32 kErrorCampo = kErrorNoEncontrado;
    static constexpr qint32 kErrorFilaNoEncontrada = platform::kErrorFilaNoEncontrada;

    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Runs `source` on `con` and positions on the first row. With options 16 it returns at once
    // in state kEjecutando and completes on a later event-loop turn (executeComplete of `con`).
    // Throws (kErrorObjetoAbierto) when already open, and the engine's error on failure.
    void open(const QString& source, Connection* con, qint32 cursorType = 0,
              qint32 lockType = kSoloLectura, qint32 options = -1);
    // Releases the rows and the engine's statement; safe when closed.
    void close();
    // kCerrado, kAbierto or kEjecutando.
    qint32 state() const { return estado_; }
    // The statement text the recordset was opened on.
    QString source() const { return source_; }
    // The connection it was opened through (null when closed).
    Connection* activeConnection() const { return con_; }
    qint32 cursorType() const { return cursorType_; }
    qint32 lockType() const { return lockType_; }
    // Kept for the toolkit; reading works the same for every location.
    qint32 cursorLocation() const { return cursorLocation_; }
    void setCursorLocation(qint32 ubicacion) { cursorLocation_ = ubicacion; }

    // Past the last visible row (true as well when there are no rows).
    bool eof() const;
    // Before the first visible row (true as well when there are no rows).
    bool bof() const;
    // Next row; at the last one, EOF becomes true. Throws 3021 when already at EOF.
    void moveNext();
    // First visible row (re-reads the result when rows were already passed forward).
    void moveFirst();
    // Previous row; at the first one, BOF becomes true. Throws 3021 when already at BOF.
    void movePrevious();
    // Last visible row.
    void moveLast();
    // Number of visible rows (reads the whole result).
    qint32 recordCount();

    // The columns of the current row.
    Fields& fields();
    // The column called `nombre` (case-insensitive); throws 3265 when absent.
    Field& field(const QString& nombre) { return fields().item(nombre); }

    // Starts a new row (all values empty); update() inserts it.
    void addNew();
    // Writes the row being added or edited (INSERT/UPDATE with bound values); the written row
    // stays current. Does nothing when no edit is in progress.
    void update();
    // Drops the edit in progress.
    void cancelUpdate();
    // kSinEdicion, kEditando or kAnadiendo.
    qint32 editMode() const { return editMode_; }

    // Shows only the rows matching `criterio`: a text such as "tabla='x' AND n>=3" (columns,
    // = <> < > <= >= LIKE, AND/OR, quoted texts, numbers, #dates#, NULL), or empty / 0 for all.
    void setFilter(const QVariant& criterio);
    QVariant filter() const { return filtro_; }
    // Runs the source again on the same connection and positions on the first row.
    void requery();
    // Stops a pending asynchronous open.
    void cancel();
    // Before open: read forward from the engine as Connection::executeSoloAdelante does, and
    // keep only the current row of what update() writes (for writing many rows one by one).
    void setSoloAdelante(bool activo) { soloAdelante_ = activo; }
    // Rows are still to be read from the engine, whose statement is open meanwhile.
    bool leeDelMotor() const { return cursor_ != nullptr; }
    // From the current row on, hands porFila each row as the integer of its first column and
    // the bytes of its second (valid during the call only), reading forward from the engine
    // without building values; stops when porFila returns false, and returns false then.
    // The recordset ends at EOF either way.
    bool recorreBloques(const std::function<bool(qint64, const QByteArray&)>& porFila);

private:
    friend class Connection;
    friend class Field;

    // Called by the connection with the result of the statement it ran for this recordset.
    void recibeResultado(Resultado& resultado);
    void abreEn(Connection* con);
    // This recordset as the completion events carry it (not owning when not shared).
    RecordsetPtr puntero();
    // The statement for this recordset failed or was cancelled: it ends closed.
    void alFallar();
    // Its connection closes: kept rows stay readable, a pending read ends.
    void desconecta();
    void limpia();
    void compruebaAbierto() const;
    void compruebaFila() const;
    void leeSiguienteDelMotor();
    void materializa();
    void leeLoQueQueda();
    void aplicaFiltro();
    void posicionaEn(int posicion);
    const QVector<QVariant>& filaActual() const;
    QVariant valorCampo(int indice) const;
    void cambiaCampo(int indice, const QVariant& valor);
    QString tablaActualizable() const;
    void inserta(const QString& tabla);
    void actualiza(const QString& tabla);
    void compruebaActualizable() const;
    void terminaEdicionAlMover();
    const QVector<QVariant>& filaActualSinEdicion() const;
    QVector<int> columnasDeBusqueda(const QString& tabla) const;

    qint32 estado_ = kCerrado;
    QString source_;
    Connection* con_ = nullptr;
    qint32 cursorType_ = 0;
    qint32 lockType_ = kSoloLectura;
    qint32 cursorLocation_ = 2;
    bool soloAdelante_ = false;
    QVector<ColumnInfo> columnas_;
    Fields fields_;
    std::unique_ptr<ResultCursor> cursor_;
    // Forward reading: the current row only; filasPasadas_ counts the rows left behind.
    QVector<QVariant> actual_;
    bool eof_ = true;
    bool bof_ = true;
    bool hayActual_ = false;
    qint32 filasPasadas_ = 0;
    // Materialised: every row, the visible ones (filter) and the position among them.
    bool materializado_ = false;
    QVector<QVector<QVariant>> filas_;
    QVector<int> visibles_;
    int posicion_ = 0;
    QVariant filtro_;
    // Edit buffer.
    qint32 editMode_ = kSinEdicion;
    QVector<QVariant> edicion_;
    QVector<bool> cambiados_;
};

}  // namespace platform
