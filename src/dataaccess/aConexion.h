#pragma once

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "dataaccess/Motor.h"
#include "platform/Catalog.h"
#include "platform/CodigosError.h"
#include "platform/Connection.h"

class QPixmap;
class QWidget;

namespace platform {
class Field;
}

// The toolkit's one data-access class: it holds the connection settings of one of four engines
// (0 file database, 1 SQL Server, 2 MySQL, 3 Oracle), opens its connection, runs statements
// with their retry rules, registers failures in tErrores and events in tSucesos, and writes the
// SQL fragments that differ between engines.
class aConexion : public QObject {
    Q_OBJECT

public:
    // Shows the folder browser owned by ventana with the given title; the chosen folder, or an
    // empty text when nothing was chosen.
    using SelectorDirectorio = std::function<QString(QWidget* ventana, const QString& titulo)>;

    // The marker seleccionaDirectorio answers when no folder was chosen.
    static inline const QString kCancelar = QStringLiteral("Cancelar...");
    // The file in the program's folder that remembers the folder of a file database.
    static inline const QString kFicheroConfiguracion = QStringLiteral("conex.cfg");
    // The debug log, in the temporary folder.
    static inline const QString kFicheroDepuracion = QStringLiteral("logfob7.txt");

    // A new, closed connection with every setting empty.
    explicit aConexion(QObject* parent = nullptr);
    ~aConexion() override;

    // The platform connection every statement goes through.
    platform::Connection* con() const;

    // ---- Settings (a new instance holds 0, false or the empty text) ----

    // Engine code, as files and records store it; setting Motor::SqlServer with no provider
    // also sets the provider "sqloledb.1".
    qint32 tipoConexion() const { return tipoConexion_; }
    // The engine of tipoConexion().
    Motor motor() const { return motorDe(tipoConexion_); }
    void setTipoConexion(qint32 valor);
    // Provider name of SQL Server and Oracle.
    QString provider() const { return provider_; }
    void setProvider(const QString& valor) { provider_ = valor; }
    // Host (and instance) of the database server.
    QString servidor() const { return servidor_; }
    void setServidor(const QString& valor) { servidor_ = valor; }
    // File name inside directorioBD (file database) or the catalogue name (SQL Server, MySQL).
    QString baseDatos() const { return baseDatos_; }
    void setBaseDatos(const QString& valor) { baseDatos_ = valor; }
    // User name.
    QString login() const { return login_; }
    void setLogin(const QString& valor) { login_ = valor; }
    // Password, held in clear.
    QString Password() const { return password_; }
    void setPassword(const QString& valor) { password_ = valor; }
    // TCP port; conecta turns 1433 into the engine's own port for MySQL and Oracle.
    qint16 puerto() const { return static_cast<qint16>(puerto_); }
    void setPuerto(qint16 valor) { puerto_ = valor; }
    // Oracle service name; chooses between the two Oracle connection forms.
    QString sid() const { return sid_; }
    void setSid(const QString& valor) { sid_ = valor; }
    // ODBC driver name for MySQL; empty means "mySQL".
    QString driver() const { return driver_; }
    void setDriver(const QString& valor) { driver_ = valor; }
    // SQL Server over the TCP/IP network library.
    bool servidorRemoto() const { return servidorRemoto_; }
    void setServidorRemoto(bool valor) { servidorRemoto_ = valor; }
    // SQL Server with an encrypted connection.
    bool conexionEncriptada() const { return conexionEncriptada_; }
    void setConexionEncriptada(bool valor) { conexionEncriptada_ = valor; }
    // Stored for the callers; nothing here depends on it.
    bool respaldo() const { return respaldo_; }
    void setRespaldo(bool valor) { respaldo_ = valor; }
    // Open the connection asynchronously: conecta returns at once, conectando() tells the end.
    bool conexionAsincrona() const { return conexionAsincrona_; }
    void setConexionAsincrona(bool valor) { conexionAsincrona_ = valor; }
    // Folder of the database file; conecta ends it with a separator (the program's folder
    // when empty).
    QString directorioBD() const { return directorioBD_; }
    void setDirectorioBD(const QString& valor) { directorioBD_ = valor; }
    // When not empty, the whole connection text; the other settings are then not used for it.
    QString cadenaConexion() const { return cadenaConexion_; }
    void setCadenaConexion(const QString& valor) { cadenaConexion_ = valor; }
    // Debug log of every statement; switching it on starts a new log file.
    bool modoDepuracion() const { return modoDepuracion_; }
    void setModoDepuracion(bool valor);
    // Debug log lines written encoded with the text codec.
    void setEncriptarDepuracion(bool valor) { encriptarDepuracion_ = valor; }
    // No failure is registered in tErrores while set.
    void setDesactivaDepurador(bool valor) { desactivaDepurador_ = valor; }
    // rs reconnects by itself when it finds the connection broken.
    void setReconectarSiRotura(bool valor) { reconectarSiRotura_ = valor; }

    // baseDatos as it was at the last conecta.
    QString ficheroBD() const { return ficheroBD_; }
    // File database: the folder of the open database file without its last separator; other
    // engines: empty. A failure to read the connection's "Data Source" reaches the caller.
    QString ubicacion() const;
    // The connection text conecta gives the connection for the settings as they stand now
    // (empty for an unknown engine code, where the connection keeps its previous text).
    QString textoConexion() const;

    // Replaces the folder browser (a test's answer); an empty function restores the real one.
    static SelectorDirectorio estableceSelectorDirectorio(SelectorDirectorio selector);

    // ---- Lifecycle ----

    // Opens the connection; failures set errorConexion/mensajeErrorConexion and, unless
    // silencioso, are shown. Asynchronous: returns at once with conectando() true.
    void conecta(bool silencioso = false);
    // Closes and re-opens the connection with its current text; false on failure (shown unless
    // sinMensaje). Clears the broken-connection mark on success.
    bool reconecta(bool sinMensaje = false);
    // Closes an open connection; a failure is shown, never raised.
    void desconecta();
    // Runs a trivial query so that a broken connection shows in conexionRota(); never raises.
    void pruebaConexion();
    // File database only (t = 0): finds its folder ("conex.cfg" or the folder browser owned by
    // ventana), tests the connection and remembers the folder in "conex.cfg".
    void estableceConexion(qint32 t, QWidget* ventana, const QString& baseDatos);
    // The connection is open.
    bool conexionAbierta() const;
    // The connection is not open, or a statement found it broken.
    bool conexionRota() const;
    // An open is under way (an asynchronous one until its completion arrives).
    bool conectando() const { return conectando_; }
    // The last conecta failed, and why.
    bool errorConexion() const { return errorConexion_; }
    QString mensajeErrorConexion() const { return mensajeErrorConexion_; }
    // Statements switch the pointer to the hourglass again / no longer.
    void activaReloj() { relojDesactivado_ = false; }
    void desactivaReloj() { relojDesactivado_ = true; }

    // ---- Execution ----

    // Runs sql; on failure asks whether to repeat it. Never raises.
    void ejecuta(const QString& sql);
    // Runs sql without records; failures are raised.
    void executeNR(const QString& sql);
    // Submits sql without records to complete later; a failure to submit is raised.
    void executeAsincronoNR(const QString& sql);
    // Runs sql with descripcionAccion before the error text of its registration, once more
    // after a TDS protocol error; the records, or nothing when it failed. Never raises.
    platform::RecordsetPtr ejecutaAccion(const QString& sql, const QString& descripcionAccion);
    // Runs sql up to nVecesMaximo times while it times out, registering no time-out; raises
    // the last time-out, or any other failure at once.
    void ejecutaSinTimeout(const QString& sql, qint16 nVecesMaximo);
    // Opens r on sql (asinc: forward only, read only, asynchronously, waiting for it). On
    // failure: false at once when the connection broke (reconnecting first when asked to),
    // otherwise asks whether to try again. Never raises.
    bool rs(platform::RecordsetPtr& r, const QString& sql, bool asinc = false);
    // Registers a caller's failure in tErrores (unless registration is switched off); raises
    // a failure of the insert.
    void marcaError(const QString& mensajeError, const QString& query = QString(),
                    const QString& historial = QString());
    // The last ten successful statements, newest first, joined by "·"; empties the list.
    QString historialQuerys();
    // The last statement timed out.
    bool errorTimeOut() const { return errorTimeOut_; }
    // The engine's duplicate-key error code.
    qint32 ERindiceDuplicado() const;
    // Answers the same codes as ERindiceDuplicado, as it always has.
    qint32 ERtimeOut() const;

    // ---- Connection code and event log ----

    // The code written into every row the class logs; 0 in this system.
    qint32 codConexionRemota() const { return codConexionRemota_; }
    // Records cad as an event of the application in tSucesos; failures are raised.
    void suceso(const QString& cad);
    // Counts calls; nothing more while codConexionRemota() is 0 or less.
    void hit(QWidget* padre);

    // ---- Dialect ----

    // The engine's current date-time expression.
    QString ahora() const;
    // The engine's current-date expression.
    QString hoy() const;
    // A date literal of d.
    QString fecha(const QDate& d) const;
    // d written as the engine's date literal writes it, without delimiters.
    QString fechav(const QDate& d) const;
    // A date-time literal of d.
    QString fechaHora(const QDateTime& d) const;
    // The server's current date-time (the computer's when the query gives no row).
    QDateTime ahoraSistema();
    // The server's current date (the computer's when the query gives no row).
    QDate hoySistema();
    // cadena with "&" concatenation turned into the engine's operator.
    QString concat(const QString& cadena) const;
    // The comma-separated expressions of cad concatenated, nulls counting as empty; error 5
    // for engines without a form.
    QString concatena(const QString& cad) const;
    // campo, or valor when campo is null (empty for MySQL and Oracle).
    QString siNulo(const QString& campo, const QString& valor) const;
    // The engine's conditional expression.
    QString condicion(const QString& expresion, const QString& verdad, const QString& falso) const;
    // campo matched against busqueda (case-insensitive on Oracle).
    QString sql_like(const QString& campo, const QString& busqueda) const;
    // A user's pattern with "*" wildcards as a quote-safe LIKE pattern.
    QString como(const QVariant& s) const;
    // s quote-safe for a statement literal, blanks trimmed.
    QString aplana(const QString& s) const;
    // A number literal: the shortest decimal text, "." as decimal point whatever the locale.
    QString numero(const QVariant& C) const;
    // A currency literal (four decimals at most).
    QString cur(double C) const;
    // A double literal.
    QString dbl(double d) const;
    // A boolean literal.
    QString bol(bool b) const;
    // The engine's boolean value (a boolean or the 16-bit 1/0).
    QVariant bolv(bool b) const;
    // The engine's true value (empty for Oracle and unknown engines).
    QVariant verdad() const;
    // tabla ("table [alias]") joined to each "table [alias];column" of listaTablas.
    QString une(const QString& tabla, const QString& listaTablas) const;
    // The column campo of the first row of sql; error 3005 when there is no row.
    QVariant contenido(const QString& campo, const QString& sql);

    // ==== Schema toolkit: table builder and type mapping ====

    // The column types of the builder, 0 "Entero largo" to 12 "Decimal".
    enum TipoCampo : qint32 {
        kEnteroLargo = 0,
        kEntero,
        kFecha,
        kBooleano,
        kMoneda,
        kMemo,
        kByte,
        kTexto,
        kSimple,
        kDoble,
        kFechaPrecisa,
        kImagen,
        kDecimal
    };
    // Error numbers the builder raises.
    static constexpr qint32 kErrorTablaExiste = platform::kErrorTablaExiste;
    static constexpr qint32 kErrorTablaSinNombre = platform::kErrorTablaSinNombre;
    static constexpr qint32 kErrorTamanoTexto = platform::kErrorTamanoTexto;

    // Starts a table definition; an existing table is error 2003, or dropped when
    // eliminaSiExiste (only checked while the connection is open).
    void nuevaTabla(const QString& tabla, bool eliminaSiExiste = false);
    // Appends one column (type code, size, nulls allowed, key member, optional default; an
    // invalid or null default means none). A Texto size <= 0 on MySQL/Oracle is an error.
    void nuevoCampo(const QString& nombre, qint32 tipo, qint16 tamano, bool nulos, bool clave,
                    const QVariant& defecto = QVariant());
    // The CREATE TABLE text of the definition so far.
    QString sqlCreateTable() const;
    // Runs the CREATE TABLE text and clears the definition; an engine error keeps it.
    void creaTabla();
    // Creates tabla anew: camposClave "a,b" as Entero largo keys, campos "name letter ..."
    // items (T size [N [default]], L/I/S/M/D/F/B [N [default]]).
    void creaTablaRapida(const QString& tabla, const QString& camposClave,
                         const QString& campos = QString());
    // A fresh temporary table name ("temp" + four digits; "#temp..." on SQL Server).
    QString nuevaTablaTemporal();
    // Drops tabla when it exists (silently); an empty name is error 30020.
    void eliminaTabla(const QString& tabla);
    // The column type text of a type code on this engine; empty when there is none.
    QString tipoDato(qint32 tipo, qint16 tamano) const;
    // The display name of a type code; empty outside 0 to 12.
    static QString descTipoDato(qint32 tipo);
    // The type code of an Oracle catalogue type; 0 on the other engines.
    qint32 datoTipo(const QString& tipo, qint16 precision, qint16 escala) const;
    // The type code of a data-access field type; 0 (with a beep) when it has none.
    qint32 tipoDatoType(qint32 tipo, qint16 precision, qint16 escala) const;
    // Whether a stored Booleano value means true (null is false).
    bool bolActivo(const QVariant& valor) const;

    // ==== Schema toolkit: introspection ====

    // Whether the table / index / stored procedure / column exists.
    bool existeTabla(const QString& tabla);
    bool existeIndice(const QString& tabla, const QString& indice);
    bool existeProcedimiento(const QString& procedimiento);
    bool existeCampo(const QString& tabla, const QString& campo);
    // Lists the user tables for tabla(i); their number.
    qint32 nTablas();
    // Lists the columns of tabla for parametroCampo(i, n); their number (a 32-bit value).
    QVariant nCampos(const QString& tabla);
    // SQL Server: lists the foreign keys of tabla for parametroClaveForanea; their number.
    qint32 nClavesForaneas(const QString& tabla);
    // Declared length of a column: 0 for long text, empty for a missing SQL Server column.
    QVariant maxLength(const QString& tabla, const QString& campo);
    // Defined size of a column.
    qint16 tamañoCampo(const QString& tabla, const QString& campo);
    // The engine's own type number of a column.
    qint16 tipoDatoCampo(const QString& tabla, const QString& campo);
    // SQL Server: whether the column holds text; false elsewhere and on any error.
    bool campoTexto(const QString& tabla, const QString& campo);
    // Entry i (from 1) of the lists above; an index outside a list is error 9.
    QString tabla(qint16 i) const;
    // 0 name, 1 type, 2 size, 3 default, 4 nulls "S"/"N", 5 key "S"/"N", 6 type code.
    QString parametroCampo(qint16 i, qint32 parametro) const;
    // "campoOrigen", "campoDestino", "tablaDestino" or "claveForanea".
    QString parametroClaveForanea(qint16 i, const QString& parametro) const;

    // ==== Schema toolkit: sequences and versions ====

    // What verificaVersion needs of an application: its name and version.
    struct Aplicacion {
        QString ProductName;
        qint32 Major = 0;
        qint32 Minor = 0;
        qint32 Revision = 0;
    };

    // Makes sure tSecuencias exists and loads its rows for codsiguiente.
    void cargaTablasSecuencia();
    // The next code of campoCod in tabla: from the database routine secuencia for the tables
    // listed in tSecuencias, otherwise the largest one (among the rows of filtro) plus one.
    qint32 codsiguiente(const QString& tabla, const QString& campoCod,
                        const QString& filtro = QString());
    // The code of the row of tabla whose campoDes is valorCampo, adding the row when there is
    // none; null for a blank valorCampo.
    QVariant nuevoElemento(const QString& tabla, const QString& campoCod, const QString& campoDes,
                           const QString& valorCampo);
    // Whether a's version reaches the minimum stored for its name in tVersiones (the first
    // run stores it); versionMinima receives the stored minimum as "M.m.r", or empty.
    bool verificaVersion(const Aplicacion& a, QString& versionMinima);

    // ==== Schema toolkit: record and field utilities ====

    // Keeps the result of sql as the buffer nombre (replacing it); errors leave no buffer.
    void cargaBuffer(const QString& nombre, const QString& sql);
    // The buffer nombre, or nullptr.
    platform::RecordsetPtr Buffer(const QString& nombre) const;
    // Requeries every buffer, oldest first.
    void recargaBuffers();
    // Drops every buffer.
    void vaciaBuffers();
    // Field C of r's current row, remembered for ultimoCampoAsignado.
    QVariant campo(platform::Recordset& r, const QString& C);
    // Sets field C of r's current row, remembered for ultimoCampoAsignado.
    void setCampo(platform::Recordset& r, const QString& C, const QVariant& valor);
    // The last field touched through campo: "name en source".
    QString ultimoCampoAsignado() const { return ultimoCampo_; }
    // The field's value; on error registers it in tErrores and answers empty.
    QVariant r(platform::Recordset& rs, const QString& campo);
    // The field's value; on error tells the user and answers null.
    QVariant dato(platform::Recordset& r, const QString& campo);
    // Column campo of the first row of sql.
    QVariant valorCampo(const QString& campo, const QString& sql);
    // Null for the empty text, otherwise v.
    static QVariant valor(const QVariant& v);
    // Null for the empty text, otherwise v as currency (a double of four decimals at most).
    static QVariant valorC(const QVariant& v);
    // "name=value,..." of rs's current row ("%" written 37%, "," written 44%).
    QString contenidoRegistro(platform::Recordset& rs) const;
    // Always false: the program has no edit mode.
    bool modoEdicion() const { return false; }
    // Saves rs's current row; a failure is registered in tErrores and raised again.
    bool actualiza(platform::Recordset& rs);
    // Copies every field of rsN from the same-named field of rs.
    void duplicaRegistro(platform::Recordset& rsN, platform::Recordset& rs);
    // Copies every field of rsOrigen into the same-named field of rsDestino.
    void cargaRst(platform::Recordset& rsDestino, aConexion* conexionOrigen,
                  platform::Recordset& rsOrigen);
    // Inserts every row of tablaOrigen into tablaDestino, field by field.
    void insertaRegistrosTabla(const QString& tablaOrigen, const QString& tablaDestino,
                               const QString& campoClave);
    // UPDATE with an optional join (SQL Server: FROM query; file database: query as table);
    // nothing on MySQL and Oracle.
    void update(const QString& tabla, const QString& sets, const QString& query = QString(),
                const QString& clausulaWHERE = QString());
    // Rows of tabla (filtro appended as given, " WHERE ..."); 0 when none.
    qint32 nRegistros(const QString& tabla, const QString& filtro = QString());
    // campoCod of the row whose campoRef is valor; -1 when there is none.
    qint32 codRef(const QString& tabla, const QString& campoRef, const QString& campoCod,
                  const QString& valor);
    // Writes every tagged control of formulario into rN's current row (not saved); the first
    // failure is shown and ends the operation.
    void grabaDatos(QWidget* formulario, platform::Recordset& rN);

    // ==== Schema toolkit: schema alteration ====

    // Starts an alteration of tabla; silencioso hides the errors of modificaTabla.
    void añadeCamposTabla(const QString& tabla, bool silencioso);
    // Adds every pending column, collecting (and showing, unless silent) the failures.
    void modificaTabla();
    // Adds one column when the table exists and the column does not; a Booleano with a
    // default fills it and makes it NOT NULL.
    void añadeCampoTabla(const QString& tabla, const QString& campo, qint32 tipo, qint16 tamano,
                         bool nulos, bool clave, const QVariant& defecto = QVariant());
    // Changes a column's type and nullability, then its default.
    void modificaCampo(const QString& tabla, const QString& campo, qint32 tipo, qint16 tamano,
                       bool nulos, const QVariant& defecto = QVariant());
    // Adds a named default constraint (valor as the caller quotes it).
    void añadeDefectoCampo(const QString& tabla, const QString& campo, const QString& valor);
    // SQL Server: drops the default constraints of the column.
    void eliminaConstraints(const QString& tabla, const QString& campo);
    // Drops the column (and its default constraints).
    void eliminaColumna(const QString& tabla, const QString& campo);
    // Drops and recreates an index; refusals are ignored.
    void creaIndiceTabla(const QString& indice, const QString& tabla, const QString& campos,
                         bool modoSilencioso = false, bool valorUnico = false);
    // Adds a foreign key.
    void creaClaveForanea(const QString& tabla, const QString& campoOrigen,
                          const QString& tablaDestino, const QString& campoDestino);
    // Records a cross-database reference in tReferenciasExternas unless it is there.
    void añadeReferenciaExterna(const QString& tablaOrigen, const QString& camposOrigen,
                                const QString& tablaDestino, const QString& camposDestino);

    // ==== Control loaders and desktop helpers ====
    // Controls are reached by name through the meta-object system (Qt properties and invokable
    // methods), so any control offering the members used below will do: RowSource, RowMember,
    // BoundColumn, ListField, BoundText (combos and lists); Rows, Cols, TopRow, SelectedRows,
    // AddItem, textmatrix, RowData, SelectedRow, FindRow, IsSelected, colindex and
    // setCellForeColor (grids). A missing control is error 91, a member it lacks error 438.

    // Opens a file with the desktop's program for it; true when the desktop took it.
    using AbridorFicheros = std::function<bool(const QString& fichero)>;

    // Sets combo's RowSource to rs.
    void cargaComboRs(const platform::RecordsetPtr& rs, QObject* combo);
    // Lists the rows of Source in combo (and combo2), bound to cod and showing campo unless the
    // controls already name their columns; mostrarPrimero chooses the first row,
    // mostraPrimeroSiHayUno the only row. The number of rows.
    qint32 cargaCombo(const QString& Source, const QString& cod, const QString& campo,
                      QObject* combo, QObject* combo2 = nullptr, bool mostrarPrimero = false,
                      bool mostraPrimeroSiHayUno = false);
    // Clears lista's value (BoundText) and lists cod and des of tabla in it (criterio and orden
    // when given).
    void cargaLista(QObject* lista, const QString& tabla, const QString& cod, const QString& des,
                    const QString& criterio = QString(), const QString& orden = QString(),
                    bool mostrarPrimero = false);
    // Fills g with one row per record of sql: campo in column 1, cod (when given) as the row's
    // data, column 0 marked when marcaTodos, no title row when sinCabecera. The record count.
    qint32 cargaGrid(QObject* g, const QString& sql, const QString& cod, const QString& campo,
                     bool marcaTodos = false, bool sinCabecera = false);
    // Refills grid from sql (campo in its column, campoCod as row data) keeping the selected
    // codes and the top row; rows whose campoBaja is true are grey.
    void rellenaGrid(QObject* grid, const QString& sql, const QString& campo,
                     const QString& campoCod, const QString& campoBaja = QString());
    // Copies the clipboard's table (lines of tab-separated cells) into a new table of "cod" and
    // text columns "c0", "c1"...; its name, or empty when the clipboard holds no text.
    QString excelTemporal();
    // Imports fixed-width lines into tabla, the fields of formato ("start-end:start-end...")
    // filling its columns in order; a malformed formato is error 5 and imports nothing.
    void cargaTablaTextoFijo(const QString& tabla, const QString& formato, const QString& texto);
    // Puts the bytes of fichero in a binary column of the current row (not saved).
    void cargaImagen(platform::Field& campo, const QString& fichero);
    // The picture in a binary column, read through "resImagen" in the temporary folder; a null
    // picture for a null column.
    QPixmap obtieneImagen(platform::Field& campo);
    // The picture in a binary column, read in memory; a null picture for a null column.
    QPixmap obtieneImagenMemoria(platform::Field& campo);
    // Deletes a repository file: its blocks, then its row.
    void eliminafichero(qint32 codFichero);
    // Open fichero with the desktop's program for it; true when the desktop took it.
    bool abrirPdf(const QString& fichero);
    bool abrirFichero(const QString& fichero);
    // Replaces the desktop opener (a test's hook); an empty function restores the real one.
    static AbridorFicheros estableceAbridorFicheros(AbridorFicheros nuevo);
    // Withdraws rol from the comma-separated profiles (from every profile when empty).
    void quitaRol(const QString& rol, const QString& listaPerfiles = QString());
    // Grants rol (created when missing) to the agents of the comma-separated codes; an empty
    // list is told to the user, a code that is not a whole number is error 13.
    void añadeRolAgentes(const QString& rol, const QString& agentes);
    // Grants rol (created when missing) to the comma-separated profiles (every profile when
    // empty).
    void añadeRol(const QString& rol, const QString& perfiles);

public slots:
    // Before every statement: clears the statement flags, hourglass, debug timing.
    void con_WillExecute(const QString& source);
    // The end of an open: records its failure.
    void con_ConnectComplete(const platform::ErrorEjecucion* pError, qint32 adStatus);
    // After every statement: debug line, failure classification and registration, history.
    void con_ExecuteComplete(qint32 recordsAffected, const platform::ErrorEjecucion* pError,
                             qint32 adStatus, const QString& commandText,
                             const platform::RecordsetPtr& pRecordset);
    // An informational message of the engine: pointer back, debug line.
    void con_InfoMessage(const QString& mensaje);

private:
    // Settings.
    void normalizaAjustes();
    QString seleccionaDirectorio(QWidget* ventana, const QString& titulo);
    QString carpetaBaseDatos(QWidget* ventana, const QString& baseDatos);
    static QString carpetaPrograma();

    // Lifecycle.
    void abre();
    void falloConexion(const QString& descripcion, bool silencioso);

    // Execution and registration.
    void registraError(const platform::ErrorEjecucion& error, const QString& commandText);
    void clasificaError(const platform::ErrorEjecucion& error);
    void anotaHistorial(const QString& sql);
    QString literal(const QString& texto) const;
    // The tErrores insert for three SQL values (quoted literals or null).
    QString insercionError(const QString& error, const QString& query,
                           const QString& historial) const;
    void escribeDepuracion(const QString& linea) const;
    static QString rutaDepuracion();
    QString milisegundosEnCurso() const;

    // The whole screen's hourglass, shared by every instance as the one mouse pointer is.
    static void ponReloj();
    static void quitaReloj();

    std::unique_ptr<platform::Connection> con_;

    qint32 tipoConexion_ = codigoDe(Motor::Fichero);
    QString provider_;
    QString servidor_;
    QString baseDatos_;
    QString login_;
    QString password_;
    qint32 puerto_ = 0;
    QString sid_;
    QString driver_;
    bool servidorRemoto_ = false;
    bool conexionEncriptada_ = false;
    bool respaldo_ = false;
    bool conexionAsincrona_ = false;
    QString directorioBD_;
    QString cadenaConexion_;
    bool modoDepuracion_ = false;
    bool encriptarDepuracion_ = false;
    bool desactivaDepurador_ = false;
    bool reconectarSiRotura_ = false;
    QString ficheroBD_;

    bool conectando_ = false;
    bool errorConexion_ = false;
    QString mensajeErrorConexion_;
    bool roturaConexion_ = false;
    bool errorProtocoloTDS_ = false;
    bool errorTimeOut_ = false;
    bool relojDesactivado_ = false;
    QString lenguaje_;

    bool registrandoError_ = false;
    // ejecutaSinTimeout is retrying: its time-outs are not registered.
    bool sinRegistrarTimeOut_ = false;
    // The failure of the last statement, for the callers that learn of it only by its event.
    std::optional<platform::ErrorEjecucion> ultimoError_;
    QString descripcionAccion_;
    std::array<QString, 10> historial_;
    qint16 posHistorial_ = 0;
    QString queryEnCurso_;
    QElapsedTimer inicioQuery_;

    qint32 codConexionRemota_ = 0;
    qint32 contadorHit_ = 0;

    QDateTime ahoraCache_;
    QDate hoyCache_;
    // ==== Schema toolkit state ====

    struct CampoLeido {
        QString nombre;
        QString tipo;
        QString tamano;
        QString defecto;
        bool nulos = false;
        bool clave = false;
        qint32 codigo = 0;
    };
    struct ClaveForaneaLeida {
        QString campoOrigen;
        QString campoDestino;
        QString tablaDestino;
        QString claveForanea;
    };

    // A value as a quote-safe text for the inside of a literal on this engine.
    QString escapa(const QString& valor) const;
    // The catalogue of the file database or MySQL.
    platform::Catalog catalogo() const;
    // The first row of sql, or nullptr when it gives none.
    platform::RecordsetPtr primeraFila(const QString& sql);
    QString textoDefecto(qint32 tipo, const QVariant& defecto) const;
    void leeCamposOracle(const QString& tabla, qint32& n);
    void leeCamposCatalogo(const QString& tabla, qint32& n);
    static void avisoBeep();

    QString tablaNueva_;
    QString camposNuevos_;
    QString clavesNuevas_;
    bool alteracionSilenciosa_ = false;

    QVector<QString> tablasLeidas_;
    QVector<CampoLeido> camposLeidos_;
    QVector<ClaveForaneaLeida> clavesForaneasLeidas_;

    platform::RecordsetPtr secuencias_;

    QVector<QPair<QString, platform::RecordsetPtr>> buffers_;
    QString ultimoCampo_;

    // ==== Control loaders state ====

    // The profiles of a comma-separated list as quoted, quote-safe literals joined by ",".
    QString perfilesEntreComillas(const QString& lista) const;
    // The code of rol in tRoles, adding the role when it is missing.
    QString codigoRol(const QString& rol);

    // The recordset of the last cargaCombo, which its controls keep showing.
    platform::RecordsetPtr rsCombo_;
};
