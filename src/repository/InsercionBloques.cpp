#include "repository/InsercionBloques.h"

#include <QStringList>
#include <utility>

#include "platform/Connection.h"

namespace {

// Rows a statement carries where lists are allowed: 64 blocks are 640 KiB, inside even an old
// MySQL's 1 MiB packet limit and SQL Server's 2100 parameters, and make the statement's own cost
// small beside the data.
constexpr int kFilasPorSentencia = 64;
// Values of one row: codFichero, nBloque, datos.
constexpr qsizetype kColumnas = 3;

QString sentencia(int filas) {
    QStringList marcas;
    for (int i = 0; i < filas; ++i) {
        marcas << QStringLiteral("(?,?,?)");
    }
    return QStringLiteral("INSERT INTO tDatosFichero (codFichero,nBloque,datos) VALUES ") +
           marcas.join(u',');
}

}  // namespace

InsercionBloques::InsercionBloques(platform::Connection& c, Motor motor, qint32 codFichero)
    : con_(c),
      codFichero_(codFichero),
      valoresPorSentencia_(kColumnas * filasPorSentencia(motor)) {}

void InsercionBloques::agrega(qint32 nBloque, const QByteArray& datos) {
    valores_ << codFichero_ << nBloque << datos;
    if (valores_.size() >= valoresPorSentencia_) {
        vacia();
    }
}

void InsercionBloques::vacia() {
    if (valores_.isEmpty()) {
        return;
    }
    // Kept rows are dropped even when refused: the caller abandons the upload on that throw.
    const QVariantList valores = std::exchange(valores_, {});
    con_.executeConValores(sentencia(int(valores.size() / kColumnas)), valores);
}

int InsercionBloques::filasPorSentencia(Motor motor) {
    return motor == Motor::Oracle ? 1 : kFilasPorSentencia;
}
