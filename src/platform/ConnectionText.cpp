#include "platform/ConnectionText.h"

#include <QProcessEnvironment>

#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"
#include "platform/OdbcBackend.h"

namespace platform {

namespace {

const QString kOrigen = QStringLiteral("Connection");

// Keys compare without case or blanks: "Data Source", "datasource" and "DATA SOURCE" agree.
QString clave(const QString& k) {
    QString c = k.toLower();
    c.remove(u' ');
    return c;
}

QString valor(const QVector<std::pair<QString, QString>>& pares, const QString& k,
              bool* presente = nullptr) {
    for (auto it = pares.crbegin(); it != pares.crend(); ++it) {
        if (clave(it->first) == k) {
            if (presente) {
                *presente = true;
            }
            return it->second;
        }
    }
    if (presente) {
        *presente = false;
    }
    return {};
}

// A value as an ODBC text writes it: braced when it could be misread, also by a reader that
// takes a leading quote for quoting.
QString valorOdbc(const QString& v) {
    const bool riesgo = v.contains(u';') || v.contains(u'{') || v.contains(u'}') ||
                        v.contains(u'=') || v != v.trimmed() || v.startsWith(u'"') ||
                        v.startsWith(u'\'');
    if (!riesgo) {
        return v;
    }
    QString dentro = v;
    dentro.replace(u'}', QStringLiteral("}}"));
    return u'{' + dentro + u'}';
}

QString sinLlaves(QString nombre) {
    nombre = nombre.trimmed();
    if (nombre.startsWith(u'{') && nombre.endsWith(u'}')) {
        nombre = nombre.mid(1, nombre.size() - 2);
    }
    return nombre;
}

ErrorEjecucion errorProveedor(const QString& descripcion) {
    return ErrorEjecucion(kErrorProveedor, descripcion, kOrigen);
}

// The installed name of `nombre` (a path to a driver library passes as it is).
QString compruebaInstalado(const QString& nombre, const ControladoresOdbc& c) {
    if (nombre.contains(u'/')) {
        return nombre;
    }
    for (const QString& instalado : c.instalados) {
        if (instalado.compare(nombre, Qt::CaseInsensitive) == 0) {
            return instalado;
        }
    }
    throw errorProveedor(
        QStringLiteral("El controlador ODBC \"%1\" no está instalado en este sistema.")
            .arg(nombre));
}

bool esProveedorSqlServer(const QString& p) {
    return p == u"sqloledb" || p.startsWith(u"sqloledb.") || p.startsWith(u"sqlncli") ||
           p.startsWith(u"msoledbsql");
}

bool esProveedorJet(const QString& p) {
    return p.startsWith(u"microsoft.jet.oledb") || p.startsWith(u"microsoft.ace.oledb");
}

QString controladorSqlServer(const ControladoresOdbc& c) {
    if (!c.sqlServer.trimmed().isEmpty()) {
        return sinLlaves(c.sqlServer);
    }
    for (const QString& instalado : c.instalados) {
        if (instalado.contains(QStringLiteral("freetds"), Qt::CaseInsensitive)) {
            return instalado;
        }
    }
    return QStringLiteral("FreeTDS");
}

DestinoConexion aSqlServer(const QVector<std::pair<QString, QString>>& pares,
                           const ControladoresOdbc& c) {
    DestinoConexion d;
    d.motor = DestinoConexion::Motor::Odbc;
    d.controlador = compruebaInstalado(controladorSqlServer(c), c);
    bool hayServidor = false;
    QString servidor = valor(pares, QStringLiteral("datasource"), &hayServidor);
    if (!hayServidor) {
        servidor = valor(pares, QStringLiteral("server"));
    }
    QString puerto = valor(pares, QStringLiteral("port"));
    const bool freeTds = d.controlador.contains(QStringLiteral("freetds"), Qt::CaseInsensitive);
    const int coma = servidor.lastIndexOf(u',');
    if (freeTds && coma >= 0) {
        puerto = servidor.mid(coma + 1).trimmed();
        servidor = servidor.left(coma).trimmed();
    }
    QStringList partes{QStringLiteral("Driver={%1}").arg(d.controlador),
                       QStringLiteral("Server=") + valorOdbc(servidor)};
    if (!puerto.isEmpty()) {
        partes << QStringLiteral("Port=") + valorOdbc(puerto);
    }
    bool presente = false;
    QString base = valor(pares, QStringLiteral("initialcatalog"), &presente);
    if (!presente) {
        base = valor(pares, QStringLiteral("database"), &presente);
    }
    if (presente) {
        partes << QStringLiteral("Database=") + valorOdbc(base);
    }
    QString usuario = valor(pares, QStringLiteral("userid"), &presente);
    if (!presente) {
        usuario = valor(pares, QStringLiteral("uid"), &presente);
    }
    if (presente) {
        partes << QStringLiteral("UID=") + valorOdbc(usuario);
    }
    QString clave = valor(pares, QStringLiteral("password"), &presente);
    if (!presente) {
        clave = valor(pares, QStringLiteral("pwd"), &presente);
    }
    if (presente) {
        partes << QStringLiteral("PWD=") + valorOdbc(clave);
    }
    if (valor(pares, QStringLiteral("encrypt"))
            .compare(QStringLiteral("yes"), Qt::CaseInsensitive) == 0) {
        partes << (freeTds ? QStringLiteral("Encryption=require") : QStringLiteral("Encrypt=yes"));
    }
    d.textoOdbc = partes.join(u';');
    return d;
}

DestinoConexion aOracle(const QVector<std::pair<QString, QString>>& pares,
                        const ControladoresOdbc& c) {
    if (c.oracle.trimmed().isEmpty()) {
        throw errorProveedor(QStringLiteral(
            "No hay controlador ODBC para el proveedor OraOLEDB.Oracle: indique su nombre en "
            "la variable de entorno CORVINAL_ODBC_ORACLE."));
    }
    DestinoConexion d;
    d.motor = DestinoConexion::Motor::Odbc;
    d.controlador = compruebaInstalado(sinLlaves(c.oracle), c);
    QStringList partes{
        QStringLiteral("Driver={%1}").arg(d.controlador),
        QStringLiteral("DBQ=") + valorOdbc(valor(pares, QStringLiteral("datasource")))};
    bool presente = false;
    const QString usuario = valor(pares, QStringLiteral("userid"), &presente);
    if (presente) {
        partes << QStringLiteral("UID=") + valorOdbc(usuario);
    }
    const QString clave = valor(pares, QStringLiteral("password"), &presente);
    if (presente) {
        partes << QStringLiteral("PWD=") + valorOdbc(clave);
    }
    d.textoOdbc = partes.join(u';');
    return d;
}

}  // namespace

QVector<std::pair<QString, QString>> paresConexion(const QString& texto) {
    QVector<std::pair<QString, QString>> pares;
    qsizetype i = 0;
    const qsizetype n = texto.size();
    while (i < n) {
        const qsizetype igual = texto.indexOf(u'=', i);
        const qsizetype puntoYComa = texto.indexOf(u';', i);
        if (igual < 0 || (puntoYComa >= 0 && puntoYComa < igual)) {
            // A piece without "=" carries no setting.
            i = puntoYComa < 0 ? n : puntoYComa + 1;
            continue;
        }
        const QString k = texto.mid(i, igual - i).trimmed();
        qsizetype j = igual + 1;
        while (j < n && texto[j] == u' ') {
            ++j;
        }
        QString v;
        const QChar abre = j < n ? texto[j] : QChar();
        if (abre == u'"' || abre == u'\'' || abre == u'{') {
            const QChar cierra = abre == u'{' ? QChar(u'}') : abre;
            ++j;
            while (j < n) {
                if (texto[j] == cierra && j + 1 < n && texto[j + 1] == cierra) {
                    v += cierra;
                    j += 2;
                } else if (texto[j] == cierra) {
                    ++j;
                    break;
                } else {
                    v += texto[j++];
                }
            }
            const qsizetype fin = texto.indexOf(u';', j);
            j = fin < 0 ? n : fin;
        } else {
            const qsizetype fin = texto.indexOf(u';', j);
            v = texto.mid(j, (fin < 0 ? n : fin) - j).trimmed();
            j = fin < 0 ? n : fin;
        }
        if (!k.isEmpty()) {
            pares.append({k, v});
        }
        i = j + 1;
    }
    return pares;
}

DestinoConexion traduceConexion(const QString& texto, const ControladoresOdbc& controladores) {
    const QVector<std::pair<QString, QString>> pares = paresConexion(texto);
    bool hayProveedor = false;
    const QString proveedor = valor(pares, QStringLiteral("provider"), &hayProveedor).trimmed();
    bool hayDriver = false;
    const QString driver = valor(pares, QStringLiteral("driver"), &hayDriver);
    const bool hayDsn = !valor(pares, QStringLiteral("dsn")).isEmpty();
    if (!hayProveedor && (hayDriver || hayDsn)) {
        DestinoConexion d;
        d.motor = DestinoConexion::Motor::Odbc;
        d.textoOdbc = texto;
        if (hayDriver) {
            d.controlador = compruebaInstalado(sinLlaves(driver), controladores);
        }
        return d;
    }
    const QString p = proveedor.toLower();
    if (esProveedorJet(p)) {
        DestinoConexion d;
        d.ficheroSqlite = valor(pares, QStringLiteral("datasource")).trimmed();
        if (d.ficheroSqlite.isEmpty()) {
            throw errorProveedor(QStringLiteral(
                "El texto de conexión no indica el fichero de la base de datos (Data Source)."));
        }
        return d;
    }
    if (esProveedorSqlServer(p)) {
        return aSqlServer(pares, controladores);
    }
    if (p == u"oraoledb.oracle" || p.startsWith(u"oraoledb.oracle.")) {
        return aOracle(pares, controladores);
    }
    if (!hayProveedor) {
        throw errorProveedor(
            QStringLiteral("El texto de conexión no indica proveedor ni controlador: %1")
                .arg(texto));
    }
    throw errorProveedor(QStringLiteral("No se encuentra el proveedor \"%1\": no está "
                                        "disponible en este sistema.")
                             .arg(proveedor));
}

ControladoresOdbc controladoresDelSistema() {
    const QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    ControladoresOdbc c;
    c.sqlServer = entorno.value(QStringLiteral("CORVINAL_ODBC_SQLSERVER"));
    c.oracle = entorno.value(QStringLiteral("CORVINAL_ODBC_ORACLE"));
    c.instalados = controladoresOdbcInstalados();
    return c;
}

}  // namespace platform
