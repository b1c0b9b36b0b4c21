// Connection texts: the pairs written with any quoting read back as written, and a provider's
// text becomes an ODBC text that carries each value whole under its own key and no other key.
//
// Input: one pair a line, "key=value"; a first character ", ' or { quotes the value with it.
#include <optional>

#include "Fuzz.h"
#include "platform/CodigosError.h"
#include "platform/ConnectionText.h"
#include "platform/ErrorEjecucion.h"

namespace {

using Pares = QVector<std::pair<QString, QString>>;

// The value of the last pair under the first of the keys present (compared without case or
// blanks).
std::optional<QString> valor(const Pares& pares, const QStringList& claves) {
    for (const QString& clave : claves) {
        for (auto it = pares.crbegin(); it != pares.crend(); ++it) {
            if (it->first.toLower().remove(u' ') == clave) {
                return it->second;
            }
        }
    }
    return std::nullopt;
}

bool esComilla(QChar c) {
    return c == u'"' || c == u'\'' || c == u'{';
}

// The value written with the quoting asked for, or braced when a bare one would be misread.
QString escrito(QChar comilla, const QString& v) {
    const bool seMalinterpreta =
        v.contains(u';') || v != v.trimmed() || (!v.isEmpty() && esComilla(v[0]));
    if (!esComilla(comilla)) {
        if (!seMalinterpreta) {
            return v;
        }
        comilla = u'{';
    }
    const QChar cierra = comilla == u'{' ? QChar(u'}') : comilla;
    return comilla + QString(v).replace(cierra, QString(2, cierra)) + cierra;
}

void traduce(const QString& texto, const Pares& entrada, const platform::ControladoresOdbc& c) {
    platform::DestinoConexion d;
    try {
        d = platform::traduceConexion(texto, c);
    } catch (const platform::ErrorEjecucion& e) {
        EXIGE(e.numero() == platform::kErrorProveedor);
        return;
    }
    if (d.motor == platform::DestinoConexion::Motor::Sqlite) {
        EXIGE(d.ficheroSqlite == valor(entrada, {"datasource"}).value_or("").trimmed());
        return;
    }
    if (!valor(entrada, {"provider"})) {
        EXIGE(d.textoOdbc == texto);
        return;
    }
    const Pares salida = platform::paresConexion(d.textoOdbc);
    QStringList claves;
    for (const auto& par : salida) {
        claves << par.first;
    }
    const bool oracle = claves.contains(QStringLiteral("DBQ"));
    EXIGE(claves.removeDuplicates() == 0);
    for (const QString& clave : claves) {
        EXIGE(QStringList({"Driver", "Server", "Port", "Database", "UID", "PWD", "Encryption",
                           "Encrypt", "DBQ"})
                  .contains(clave));
    }
    EXIGE(valor(salida, {"driver"}) == d.controlador);
    EXIGE(valor(salida, {"uid"}) == valor(entrada, {"userid", oracle ? "" : "uid"}));
    EXIGE(valor(salida, {"pwd"}) == valor(entrada, {"password", oracle ? "" : "pwd"}));
    if (oracle) {
        EXIGE(valor(salida, {"dbq"}) == valor(entrada, {"datasource"}).value_or(""));
        return;
    }
    EXIGE(valor(salida, {"database"}) == valor(entrada, {"initialcatalog", "database"}));
    if (!d.controlador.contains(QStringLiteral("FreeTDS"))) {
        EXIGE(valor(salida, {"server"}) == valor(entrada, {"datasource", "server"}).value_or(""));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    QStringList piezas;
    Pares esperados;
    for (const QString& linea : fuzz::campos(datos, n)) {
        const QChar comilla = linea.isEmpty() ? QChar() : linea[0];
        const bool marcada = esComilla(comilla);
        const qsizetype igual = linea.indexOf(u'=');
        if (igual < 0) {
            continue;
        }
        const QString clave = linea.mid(marcada ? 1 : 0, igual - (marcada ? 1 : 0)).remove(u';');
        const QString v = linea.mid(igual + 1);
        piezas << clave + u'=' + escrito(comilla, v);
        if (!clave.trimmed().isEmpty()) {
            esperados.append({clave.trimmed(), v});
        }
    }
    const QString texto = piezas.join(u';');
    EXIGE(platform::paresConexion(texto) == esperados);
    platform::ControladoresOdbc c{{}, QStringLiteral("mySQL"), {"FreeTDS", "mySQL"}};
    traduce(texto, esperados, c);
    c.sqlServer = QStringLiteral("mySQL");
    traduce(texto, esperados, c);
    return 0;
}
