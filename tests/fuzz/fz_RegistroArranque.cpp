// A launch record read from the command line or from corvinal.ini, and the lines the launcher
// and the set-up window write: what a writer puts in the file reads back as the same fields.
//
// Input: "F" and the bytes of a corvinal.ini; "E" or "V" and, one a line, the fields the entry
// procedure or the set-up window write (tipo, provider, sid, servidor, baseDatos, login,
// password, puerto, then the download fields or the application); otherwise a record.
#include <QFile>
#include <QTemporaryDir>

#include "Fuzz.h"
#include "arranque/RegistroArranque.h"
#include "comun/modTolvane1.h"
#include "platform/Cp1252.h"
#include "platform/Numero.h"

namespace {

// A text as the file keeps it.
QString enFichero(const QString& t) {
    return platform::deCp1252(platform::aCp1252(t));
}

// A password as the codec keeps it: every unit by its code.
QString enCodec(const QString& t) {
    QString r;
    for (const QChar c : t) {
        r += platform::caracterCodigo(platform::codigoCaracter(c));
    }
    return r;
}

RegistroArranque analiza(const QString& linea) {
    const RegistroArranque r = RegistroArranque::analiza(linea);
    EXIGE(r.valido == r.motivo.isEmpty());
    EXIGE(r.campos.join(u',') == linea.mid(linea.indexOf(u'|') + 1));
    if (r.valido) {
        EXIGE(r.campos.size() >= 5 && r.puerto >= 0 && r.puerto <= 32767);
        EXIGE(r.espera.has_value() == (r.campos.size() > RegistroArranque::kEspera));
        EXIGE(r.datosConexion().password == r.campos.at(RegistroArranque::kPassword));
    }
    return r;
}

// The record the file holds after linea was written to it.
RegistroArranque porElFichero(const QString& ruta, const QString& linea) {
    EXIGE(RegistroArranque::escribeFichero(ruta, linea));
    const std::optional<QString> leido = RegistroArranque::leeFichero(ruta);
    EXIGE(leido == enFichero(linea));
    return analiza(*leido);
}

void escritores(const QString& ruta, QStringList c, bool ventana) {
    if (c.size() < 8 || c.size() > (ventana ? 9 : 11)) {
        return;
    }
    for (int i = 0; i < c.size(); ++i) {
        const bool prefijo = i < 3 && c[i].contains(u'|');
        const bool rompe = i != 6 && (c[i].contains(u',') || c[i].contains(u'\r'));
        if (prefijo || rompe || c[i].contains(QChar(0))) {
            return;
        }
    }
    const qint32 tipo = c[0].toInt();
    const QString clara = c[6];
    const QString aplicacion = ventana ? c.value(8) : QString();
    const RegistroArranque r = porElFichero(
        ruta, ventana ? RegistroArranque::lineaVentanaConfiguracion(tipo, c[1], c[2], c[3], c[4],
                                                                    c[5], clara, c[7], aplicacion)
                      : RegistroArranque::lineaArranque(tipo, c[1], c[2], c[3], c[4], c[5], clara,
                                                        c[7], c.mid(8)));
    const auto puerto = platform::enteroNumerico(enFichero(c[7]), 0, 32767);
    EXIGE(r.valido == (tipo == qint16(tipo) && puerto.has_value()));
    if (!r.valido) {
        return;
    }
    EXIGE(r.tipo == tipo && r.puerto == *puerto);
    EXIGE(r.provider == enFichero(c[1]) && r.sid == enFichero(c[2]));
    QStringList campos = c.mid(3, 5);
    campos += ventana ? (aplicacion.isEmpty() ? QStringList() : QStringList{{}, {}, aplicacion})
                      : c.mid(8);
    for (QString& campo : campos) {
        campo = enFichero(campo);
    }
    const QString guardada = r.campos.value(RegistroArranque::kPassword);
    campos[RegistroArranque::kPassword] = guardada;
    EXIGE(r.campos == campos);
    EXIGE(modTolvane1::decodifica(guardada) == enCodec(clara));
    EXIGE(guardada == (ventana ? modTolvane1::aHexadecimal(modTolvane1::codifica(clara))
                               : RegistroArranque::passwordGuardada(clara)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    static const QTemporaryDir carpeta;
    const QString ruta = RegistroArranque::rutaFichero(carpeta.path());
    const char modo = n > 0 ? char(datos[0]) : '\0';
    if (modo == 'F') {
        const QByteArray bytes(reinterpret_cast<const char*>(datos) + 1, qsizetype(n) - 1);
        QFile fichero(ruta);
        EXIGE(fichero.open(QIODevice::WriteOnly) && fichero.write(bytes) == bytes.size());
        fichero.close();
        const std::optional<QString> leido = RegistroArranque::leeFichero(ruta);
        EXIGE(leido.has_value() == !bytes.contains('\0'));
        if (leido) {
            EXIGE(*leido ==
                  platform::deCp1252(QByteArray(bytes).replace('\r', "").replace('\n', "")));
            const RegistroArranque antes = analiza(*leido);
            // Written back, the record reads as it was.
            EXIGE(porElFichero(ruta, *leido).campos == antes.campos);
        }
    } else if (modo == 'E' || modo == 'V') {
        escritores(ruta, fuzz::campos(datos + 1, n - 1), modo == 'V');
    } else {
        analiza(fuzz::utf8(datos, n));
    }
    return 0;
}
