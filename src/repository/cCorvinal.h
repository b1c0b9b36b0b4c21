#pragma once

#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

#include "repository/TablaHuellas.h"

class CalculoHuella;
class Confianza;
class EscritorBloques;
class aConexion;
struct DatosConexion;

namespace platform {
class Compresion;
class Connection;
class Recordset;
}  // namespace platform

// The repository of the application's files inside its database (tables tCarpetas, tFicheros
// and tDatosFichero): resolves folder paths, downloads one file or mirrors a folder tree,
// uploads and deletes files, creates the tables and can open its own connection. It borrows
// the connection of an aConexion and reports through its signals.
class cCorvinal : public QObject {
    Q_OBJECT

public:
    explicit cCorvinal(QObject* parent = nullptr);
    ~cCorvinal() override;

    // ---- Connection ----

    // The connection object every statement goes through (borrowed, not owned).
    aConexion* conexion_ac() const { return conexion_; }
    void setConexion_ac(aConexion* conexion) { conexion_ = conexion; }
    // Opens the connection of conexion_ac() with datos (which it keeps), unless it is open
    // already, waiting at most its command time-out; true when open. conexion, when given,
    // receives the connection.
    bool conecta_(const DatosConexion& datos, bool encriptar,
                  platform::Connection** conexion = nullptr);
    // conecta_ with the data given one by one.
    bool conecta_(qint32 tipoConexion, const QString& servidor, qint32 puerto,
                  const QString& baseDatos, const QString& login, const QString& password,
                  bool encriptar, platform::Connection** conexion = nullptr,
                  const QString& provider = QString(), const QString& sid = QString());

    // ---- Download ----

    // Code of the folder at a path (names separated by "/" or "\", empty names ignored): 1 for
    // the root, -1 when any name of the path is unknown.
    qint32 obtieneCodCarpeta(const QString& directorio);
    // obtieneCodCarpeta(directorio) is 1 or more.
    bool existeDirectorio(const QString& directorio);
    // Code of the folder at ruta, creating each missing folder of it; throws ErrorEjecucion,
    // creating nothing, when a name of ruta is not one a publisher may store.
    qint32 creaCarpeta(const QString& ruta);
    // Downloads the file `fichero` of the repository folder `directorio` (root when empty) into
    // the local folder directorioLocal; false, with estado, when anything is missing or fails.
    bool descarga(const QString& fichero, const QString& directorio,
                  const QString& directorioLocal);
    // Downloads file codFichero into carpetaLocal, as nombreLocal or (when empty) under its
    // stored name (+ ".jzp" when stored compressed), refusing a stored name that is not one
    // path segment. Blocks are checked before the file replaces any previous one; the read has
    // ended before the closing events; true only when the file was written, or when its
    // fingerprint row shows the local file to be this very version already: then no block is
    // read, the file is left untouched and ficheroAlDia comes instead of ficheroBajado.
    bool bajaFichero(qint32 codFichero, const QString& carpetaLocal,
                     const QString& nombreLocal = QString());
    // Asks a running download to stop before its next block.
    void cancelar() { descargando_ = false; }
    // A download is running.
    bool descargando() const { return descargando_; }
    // Mirrors the repository folder origen and its whole subtree into the local folder
    // destino, fetching what is missing or newer and restoring compressed files with jzp; a
    // stored name that is not one path segment is reported through estado and skipped.
    void virtualizaDirectorio(const QString& origen, const QString& destino,
                              platform::Compresion& jzp);
    // Restores the compressed form that a download of fichero left beside it (fichero +
    // ".jzp") into fichero, then deletes it; throws ErrorEjecucion, the compressed form
    // staying, when it cannot.
    static void restauraComprimido(const QString& fichero, platform::Compresion& jzp);

    // Works out the fingerprint of stored file codFichero from its blocks (restoring a
    // compressed one) and makes it the file's row of tFicherosHuella, for files that tools
    // without the table published; false, said through estado, when the blocks cannot be read.
    bool calculaHuella(qint32 codFichero);
    // The fingerprint of stored file codFichero worked out from its blocks, stamped with its
    // fechaUm; nothing, said through estado, when they cannot be read or restored.
    std::optional<Huella> huellaGuardada(qint32 codFichero);

    // ---- Signatures ----

    // How a file's signature stands against trusted keys.
    enum class EstadoFirma {
        kValida,
        // No signature row, or one by a key that is not trusted.
        kSinFirma,
        // The signature, the fingerprint it covers or the stored content does not match.
        kInvalida,
        // Valid, but of an older release than the one accepted last at its path.
        kAnterior,
        // The database has no signature table and the trust does not demand one.
        kSinTabla,
    };
    // Downloads check every file against confianza (borrowed) before anything is put in place;
    // nullptr, the default, checks nothing.
    void setConfianza(const Confianza* confianza) { confianza_ = confianza; }
    // Uploads sign what they store with this secret key (hexadecimal); empty signs nothing.
    void setClaveFirma(const QString& secreta) { claveFirma_ = secreta; }
    // Signs stored file codFichero as a new release with the secret key `secreta`, working out
    // its fingerprint first when it has none for its version; false, said through estado, when
    // its blocks cannot be read; throws ErrorEjecucion when the tables refuse.
    bool firmaFichero(qint32 codFichero, const QString& secreta);
    // The signature state of stored file codFichero against confianza, its stored content read
    // and compared with what was signed.
    EstadoFirma verificaFirma(qint32 codFichero, const Confianza& confianza);
    // The path of folder codCarpeta from the root ("a/b"; empty for the root); nothing when
    // the folder tree is broken on the way up.
    std::optional<QString> rutaDeCarpeta(qint32 codCarpeta);

    // ---- Upload and delete ----

    // Stores the local file `fichero` as `nombre` in folder codCarpeta (asking before
    // replacing a file of that name); comprimido marks it as already compressed. true when a
    // one-call upload finished; false when refused, failed, or started porPasos (then call
    // pasoSubirFichero until it returns false).
    bool subeFichero(qint32 codCarpeta, const QString& fichero, const QString& nombre,
                     bool comprimido, bool porPasos = false);
    // Stores the next block of a stepwise upload; false once the upload is finished or failed.
    bool pasoSubirFichero();
    // Deletes a stored file, its blocks and its fingerprint row.
    void eliminafichero(qint32 codFichero);
    // Code of the file row of the last upload (of the existing file after a refused
    // replacement).
    qint32 codFicheroSubido() const { return codFicheroSubido_; }

    // ---- Tables ----

    // Creates whichever repository tables are missing (with the root folder when it creates
    // tCarpetas), and the fingerprint table, and adds fechaUm to a tFicheros that lacks it.
    void creaTablas();

signals:
    // Share done (0 to 1), remaining milliseconds and bytes per second of a transfer.
    void progreso(float fraccion, qint32 restante, qint32 velocidad);
    // A status line; error marks a failure.
    void estado(const QString& mensaje, bool error);
    // A download was written to disk (the path never carries ".jzp").
    void ficheroBajado(const QString& fichero, bool comprimido);
    // A download or a mirror left a local file as it was, being as new as the repository's or
    // the very same file.
    void ficheroAlDia(const QString& fichero);
    // An upload finished (also raised after a successful download).
    void ficheroSubido();
    // A download was refused on its signature; nothing was put in place.
    void firmaRechazada(cCorvinal::EstadoFirma estado);

private:
    struct Subida;
    struct ArbolCarpetas;
    struct Lectura;

    // The open connection of conexion_ac(); throws when there is none.
    platform::Connection& con() const;
    // Code of the child folder nombre of padre, when there is one.
    std::optional<qint32> carpetaHija(qint32 padre, const QString& nombre) const;
    // Runs a query straight on the connection; never null.
    std::shared_ptr<platform::Recordset> consulta(const QString& sql) const;
    // valor as a quote-safe text literal of the connection's engine.
    QString texto(const QString& valor) const;
    // Opens a transaction, where the engine has one, in which several reads see one state or
    // several writes take one disk flush; the statement that ends it, or empty (also when the
    // connection's owner already has one open, which is then used and left open).
    QString empiezaTransaccion();
    void terminaTransaccion(const QString& fin);
    // Runs trabajo inside one write transaction where the engine has one, rolled back when
    // trabajo throws.
    void enTransaccion(const std::function<void()>& trabajo);

    // The file row and its blocks read inside one read transaction, ended before it returns.
    Lectura leeEnTransaccion(qint32 codFichero, const QString& carpetaLocal,
                             const QString& nombreLocal, qint64 inicioMs);
    // The stored name, block count (as stored, checked later), compression, version stamp and
    // folder of a file row.
    struct FilaFichero {
        QString nombre;
        QVariant nBloques;
        bool comprimido = false;
        QDateTime fechaUm;
        qint32 codCarpeta = 0;
    };
    // What compruebaFirma found: the state and, for a valid signature, the fingerprint and
    // release it covers and the file's repository path.
    struct Comprobacion {
        EstadoFirma estado = EstadoFirma::kSinFirma;
        Huella huella;
        qint64 edicion = 0;
        QString ruta;
        // What a launcher shows for a refusal.
        QString texto() const;
    };
    // The signature of the file row against confianza, without its content.
    Comprobacion compruebaFirma(qint32 codFichero, const FilaFichero& fila,
                                const Confianza& confianza);
    // Signs the fingerprint h of the file `nombre` of folder codCarpeta, stamped fechaUm, as
    // the next release at its path.
    void escribeFirma(qint32 codFichero, qint32 codCarpeta, const QString& nombre, const Huella& h,
                      const QString& secreta);
    std::optional<FilaFichero> leeFilaFichero(qint32 codFichero);
    Lectura leeFichero(qint32 codFichero, const QString& carpetaLocal, const QString& nombreLocal,
                       qint64 inicioMs);
    // The file at `local` is the version of codFichero stamped fechaUm, by the fingerprint
    // row; false on any doubt (no row, another version, no table, a failed read, a cancel).
    bool estaAlDia(qint32 codFichero, const QDateTime& fechaUm, const QString& local);
    // Reads the blocks into destino, put in place only when they match what firmado covers
    // (when given); false, said in l, when cancelled or refused.
    bool leeVerificado(qint32 codFichero, const QVariant& bloques, const QString& destino,
                       const std::optional<Comprobacion>& firmado, qint64 inicioMs, Lectura& l);
    // The file at `local` has the length and SHA-256 of h.
    bool coincideLocal(const QString& local, const Huella& h);
    // The blocks in ordered ranges into escritor (and into calculo, when given); false when
    // cancelled.
    bool leeBloques(qint32 codFichero, EscritorBloques& escritor, qint32 nBloques, qint64 inicioMs,
                    CalculoHuella* calculo = nullptr);
    static qint64 ahoraMs();
    // Bytes per second of `bloques` blocks in `ms` milliseconds, rounded half to even.
    static qint32 velocidad(qint64 bloques, qint64 ms);
    // The closing progreso of a transfer of `bloques` blocks begun at inicioMs; none when it
    // took no measurable time.
    void informaFin(qint32 bloques, qint64 inicioMs);
    // progreso after `hechos` of `total` blocks in e milliseconds; the speed is kept in
    // velocidad, and only updated when e is not 0.
    void informaProgreso(qint32 hechos, qint32 total, qint64 e, qint32& velocidad);
    void reflejaCarpeta(qint32 codCarpeta, const QString& destino, platform::Compresion& jzp,
                        const ArbolCarpetas& arbol);
    // Steps of subeFichero. Whether the upload may go on: no file of that name, or the user
    // agreed to replace it (a ".new" row left by an earlier upload is then removed).
    bool aceptaSustitucion(qint32 codCarpeta, const QString& nombre);
    // Opens the local file; throws, dropping the upload, when it cannot be read.
    void abreFicheroLocal(const QString& fichero);
    // The file row under its ".new" name, which no reader looks for.
    void insertaFilaPendiente(qint32 codCarpeta, const QString& nombre, bool comprimido);
    // Where the blocks of the upload are stored through.
    void abreBloques();
    // Stores every block and renames the row; false, said through estado, when it fails.
    bool guardaTodo(const QString& fichero);
    // Reads the next block and hands it to the store; enLotes gathers blocks into transactions
    // of a bounded size.
    void guardaBloque(bool enLotes);
    // Stores the blocks handed over so far and commits the open batch, if any; throws when
    // either fails.
    void cierraLote();
    void terminaSubida(const QString& quien);
    void fallaSubida(const QString& descripcion);
    qint32 codigoSiguienteFichero();

    aConexion* conexion_ = nullptr;
    const Confianza* confianza_ = nullptr;
    QString claveFirma_;
    bool descargando_ = false;
    qint32 codFicheroSubido_ = 0;
    std::unique_ptr<Subida> subida_;
};
