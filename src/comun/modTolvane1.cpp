#include "comun/modTolvane1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "comun/Mensajeria.h"
#include "platform/Cp1252.h"
#include "platform/Producto.h"
#include "platform/SistemaFicheros.h"

namespace modTolvane1 {

namespace {

int codigo(QChar c) {
    return platform::codigoCaracter(c);
}

QChar caracter(int codigo) {
    return platform::caracterCodigo(codigo);
}

// The key letter of the 1-based position i: the second letter first, the first one every L.
int codigoClave(const QString& clave, qsizetype i) {
    return codigo(clave.at(i % clave.size()));
}

bool esCifraHexadecimalMayuscula(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

// Value of the leading hexadecimal digits of texto (0 when it has none).
int valorHexadecimal(const QString& texto) {
    int valor = 0;
    for (const QChar c : texto) {
        const int cifra = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
        if (cifra < 0) {
            break;
        }
        valor = valor * 16 + cifra;
    }
    return valor;
}

// Every carriage return not already followed by a line feed gets one; an existing CR LF stays.
QString conSaltosDeLinea(const QString& texto) {
    QString resultado;
    resultado.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        resultado += texto.at(i);
        const bool siguienteEsSalto = i + 1 < texto.size() && texto.at(i + 1) == u'\n';
        if (texto.at(i) == u'\r' && !siguienteEsSalto) {
            resultado += u'\n';
        }
    }
    return resultado;
}

}  // namespace

bool pregunta(const QString& texto) {
    return mensajeria().pregunta(texto);
}

void aviso(const QString& texto, qint16 segundos) {
    muestraMensaje(texto, platform::tituloProducto(), QStringLiteral("E"), segundos);
}

void muestraMensaje(const QString& texto, const QString& titulo, const QString& tipo,
                    qint16 segundos) {
    mensajeria().muestraMensaje(conSaltosDeLinea(texto), titulo, tipo, segundos);
}

void mensajeSistema(const QString& texto, QWidget* ventana, bool abandonar, qint32 tiempo,
                    const QVariant& /*sinUso*/) {
    mensajeria().mensajeSistema(conSaltosDeLinea(texto), ventana, abandonar, tiempo);
}

QString carpetaTemporal() {
    const QString valor = qEnvironmentVariable("temp");
    if (valor.isEmpty()) {
        return QString();
    }
    // As the platform's long-name service: a folder that does not exist has no long form.
    return QFileInfo(valor).canonicalFilePath();
}

QString carpetaTemporalSegura() {
    QString carpeta = carpetaTemporal();
    if (carpeta.isEmpty() || QDir(carpeta).isRoot()) {
        return QDir::tempPath();
    }
    return carpeta;
}

QString obtieneSemilla() {
    const QString ruta = QCoreApplication::applicationDirPath() + QStringLiteral("/semilla");
    QFile fichero(ruta);
    // Opening for appending creates the file when it is missing and never truncates it.
    if (!fichero.open(QIODevice::Append)) {
        return QString();
    }
    const quint64 identificador = platform::identificadorSistemaFicheros(fichero.handle());
    fichero.close();
    QFile::remove(ruta);
    return QString::number(identificador, 16).toUpper();
}

QString aHexadecimal(const QString& texto) {
    QString hexadecimal;
    hexadecimal.reserve(texto.size() * 2);
    for (const QChar c : texto) {
        hexadecimal += QStringLiteral("%1").arg(codigo(c), 2, 16, QChar(u'0')).toUpper();
    }
    return hexadecimal;
}

QString deHexadecimal(const QString& texto) {
    QString resultado;
    resultado.reserve(texto.size() / 2 + 1);
    for (qsizetype i = 0; i < texto.size(); i += 2) {
        resultado += caracter(valorHexadecimal(texto.mid(i, 2)));
    }
    return resultado;
}

QString permutaBloques(const QString& texto) {
    const qsizetype n = texto.size();
    const bool cruzado = n % 4 == 2 || n % 4 == 3;
    QString resultado;
    resultado.reserve(n);
    qsizetype i = 0;
    for (; i + 3 < n; i += 4) {
        if (cruzado) {
            resultado += texto.mid(i + 2, 2) + texto.mid(i, 2);
        } else {
            resultado += texto.at(i + 3);
            resultado += texto.at(i + 2);
            resultado += texto.at(i + 1);
            resultado += texto.at(i);
        }
    }
    return resultado + texto.mid(i);
}

QString sumaClave(const QString& texto, const QString& clave) {
    QString permutado = permutaBloques(texto);
    if (clave.isEmpty()) {
        return permutado;
    }
    QString resultado;
    resultado.reserve(permutado.size());
    for (qsizetype i = 1; i <= permutado.size(); ++i) {
        int suma = codigo(permutado.at(i - 1)) + codigoClave(clave, i);
        if (suma > 255) {
            suma -= 255;
        }
        resultado += caracter(suma);
    }
    return resultado;
}

QString restaClave(const QString& texto, const QString& clave) {
    if (clave.isEmpty()) {
        return permutaBloques(texto);
    }
    QString resultado;
    resultado.reserve(texto.size());
    for (qsizetype i = 1; i <= texto.size(); ++i) {
        int resta = codigo(texto.at(i - 1)) - codigoClave(clave, i);
        if (resta < 1) {
            resta += 255;
        }
        resultado += caracter(resta);
    }
    return permutaBloques(resultado);
}

QString codifica(const QString& texto) {
    return sumaClave(texto, QString::fromLatin1(kClave));
}

QString decodifica(const QString& texto) {
    const bool formaHexadecimal =
        std::all_of(texto.begin(), texto.end(), esCifraHexadecimalMayuscula);
    const QString crudo = formaHexadecimal ? deHexadecimal(texto) : texto;
    return restaClave(crudo, QString::fromLatin1(kClave));
}

}  // namespace modTolvane1
