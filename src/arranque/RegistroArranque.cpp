#include "arranque/RegistroArranque.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <limits>

#include "comun/modTolvane1.h"
#include "platform/Cp1252.h"
#include "platform/Numero.h"
#include "platform/Ruta.h"

namespace {

constexpr qint64 kPuertoMaximo = 32767;

RegistroArranque invalido(RegistroArranque registro, const QString& motivo) {
    registro.valido = false;
    registro.motivo = QStringLiteral("El registro de conexión no es válido: ") + motivo;
    return registro;
}

// Why a field that must be a number in some range is not one, in the user's words.
QString motivoNumero(const char* campo, const QString& valor, const char* intervalo) {
    return QString::fromUtf8(campo) + QStringLiteral(" «") + valor + QStringLiteral("» ") +
           (platform::esNumerico(valor) ? QString::fromUtf8(intervalo)
                                        : QStringLiteral("no es un número."));
}

// The number as the program writes it: a blank where a sign would be, and one after.
QString numeroEnmarcado(qint32 numero) {
    return (numero < 0 ? QString() : QStringLiteral(" ")) + QString::number(numero) +
           QStringLiteral(" ");
}

bool pareceHexadecimal(const QString& texto) {
    return std::all_of(texto.begin(), texto.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
    });
}

}  // namespace

RegistroArranque RegistroArranque::analiza(const QString& registro) {
    RegistroArranque r;
    const qsizetype barra = registro.indexOf(u'|');
    QString tipo = QStringLiteral("1");
    if (barra >= 0) {
        const QStringList prefijo = registro.left(barra).split(u',');
        tipo = prefijo.at(0);
        r.provider = prefijo.value(1);
        r.sid = prefijo.value(2);
    }
    r.campos = registro.mid(barra + 1).split(u',');
    if (r.campos.size() < 5) {
        return invalido(r, QStringLiteral("tiene menos de cinco campos."));
    }
    const auto numeroTipo = platform::enteroNumerico(tipo, std::numeric_limits<qint16>::min(),
                                                     std::numeric_limits<qint16>::max());
    if (!numeroTipo) {
        return invalido(r, motivoNumero("el tipo", tipo, "está fuera de los 16 bits."));
    }
    r.tipo = static_cast<qint16>(*numeroTipo);
    const QString& puerto = r.campos.at(kPuerto);
    const auto numeroPuerto = platform::enteroNumerico(puerto, 0, kPuertoMaximo);
    if (!numeroPuerto) {
        return invalido(r, motivoNumero("el puerto", puerto, "no está entre 0 y 32767."));
    }
    r.puerto = static_cast<qint32>(*numeroPuerto);
    if (r.campos.size() > kEspera) {
        r.espera = platform::valorNumerico(r.campos.at(kEspera));
        if (!r.espera) {
            return invalido(r, motivoNumero("la espera", r.campos.at(kEspera), ""));
        }
    }
    r.valido = true;
    return r;
}

QString RegistroArranque::passwordGuardada(const QString& clara) {
    const QString cruda = modTolvane1::codifica(clara);
    const bool seRompe = cruda.contains(u',') || cruda.contains(u'\r') || cruda.contains(u'\n');
    const bool seConfunde = !cruda.isEmpty() && pareceHexadecimal(cruda);
    return seRompe || seConfunde ? modTolvane1::aHexadecimal(cruda) : cruda;
}

DatosConexion RegistroArranque::datosConexion() const {
    return DatosConexion{tipo,
                         campos.at(kServidor),
                         campos.at(kBaseDatos),
                         campos.at(kLogin),
                         campos.at(kPassword),
                         puerto,
                         provider,
                         sid};
}

QString RegistroArranque::lineaArranque(qint32 tipo, const QString& provider, const QString& sid,
                                        const QString& servidor, const QString& baseDatos,
                                        const QString& login, const QString& password,
                                        const QString& puerto, const QStringList& descarga) {
    QStringList campos = {servidor, baseDatos, login, passwordGuardada(password), puerto};
    campos += descarga;
    return numeroEnmarcado(tipo) + u',' + provider + u',' + sid + u'|' + campos.join(u',');
}

QString RegistroArranque::lineaVentanaConfiguracion(qint32 tipo, const QString& provider,
                                                    const QString& sid, const QString& servidor,
                                                    const QString& baseDatos, const QString& login,
                                                    const QString& password, const QString& puerto,
                                                    const QString& aplicacion) {
    const QStringList campos = {servidor, baseDatos, login,
                                modTolvane1::aHexadecimal(modTolvane1::codifica(password)), puerto};
    QString linea = QString::number(tipo) + u',' + provider + u',' + sid + QStringLiteral(",|") +
                    campos.join(u',');
    if (!aplicacion.isEmpty()) {
        linea += QStringLiteral(",,,") + aplicacion;
    }
    return linea;
}

QString RegistroArranque::rutaFichero(const QString& carpetaLanzador) {
    return platform::uneRuta(carpetaLanzador, QStringLiteral("corvinal.ini"));
}

std::optional<QString> RegistroArranque::leeFichero(const QString& ruta) {
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray contenido = fichero.readAll();
    if (fichero.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    contenido.removeIf([](char c) { return c == '\r' || c == '\n'; });
    // A NUL byte means a binary file: no record holds one, not even an encoded password, whose
    // codes run from 1 to 255.
    if (contenido.contains('\0')) {
        return std::nullopt;
    }
    return platform::deCp1252(contenido);
}

bool RegistroArranque::escribeFichero(const QString& ruta, const QString& linea) {
    QSaveFile fichero(ruta);
    // A launcher folder the user may write files in but not create them in still gets its file.
    fichero.setDirectWriteFallback(true);
    if (!fichero.open(QIODevice::WriteOnly)) {
        return false;
    }
    fichero.write(platform::aCp1252(linea) + QByteArrayLiteral("\r\n"));
    return fichero.commit();
}
