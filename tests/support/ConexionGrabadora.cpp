#include "support/ConexionGrabadora.h"

#include <QDateTime>

#include "platform/Connection.h"
#include "platform/ConnectionText.h"
#include "platform/TiposDatos.h"

namespace prueba {

namespace {

struct Regla {
    QString fragmento;
    std::optional<TablaGuionada> tabla;
    std::optional<platform::ErrorEjecucion> error;
    int veces = 0;  // 0 = always
};

qint32 tipoDeValor(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
            return platform::tipoAdo::kInteger;
        case QMetaType::LongLong:
            return platform::tipoAdo::kBigInt;
        case QMetaType::Short:
            return platform::tipoAdo::kSmallInt;
        case QMetaType::Double:
            return platform::tipoAdo::kDouble;
        case QMetaType::Float:
            return platform::tipoAdo::kSingle;
        case QMetaType::Bool:
            return platform::tipoAdo::kBoolean;
        case QMetaType::QByteArray:
            return platform::tipoAdo::kLongVarBinary;
        case QMetaType::QDateTime:
            return platform::tipoAdo::kDbTimeStamp;
        case QMetaType::QDate:
            return platform::tipoAdo::kDbDate;
        default:
            return platform::tipoAdo::kVarWChar;
    }
}

class CursorGuionado : public platform::ResultCursor {
public:
    explicit CursorGuionado(const TablaGuionada& tabla) : filas_(tabla.filas) {
        for (int i = 0; i < tabla.columnas.size(); ++i) {
            platform::ColumnInfo c;
            c.name = tabla.columnas[i];
            for (const QVariantList& fila : filas_) {
                if (fila.value(i).isValid() && !fila.value(i).isNull()) {
                    c.type = tipoDeValor(fila.value(i));
                    break;
                }
            }
            c.attributes = 0x60;
            columnas_.append(c);
        }
    }
    const QVector<platform::ColumnInfo>& columns() const override { return columnas_; }
    bool fetch(QVector<QVariant>& fila) override {
        if (siguiente_ >= filas_.size()) {
            return false;
        }
        const QVariantList& origen = filas_[siguiente_++];
        fila.resize(columnas_.size());
        for (int i = 0; i < columnas_.size(); ++i) {
            fila[i] = origen.value(i);
        }
        return true;
    }

private:
    QVector<platform::ColumnInfo> columnas_;
    QVector<QVariantList> filas_;
    int siguiente_ = 0;
};

}  // namespace

struct ConexionGrabadora::Estado {
    QStringList sentencias;
    QVector<QVariantList> parametros;
    QStringList textos;
    QVector<Regla> reglas;
    std::optional<platform::ErrorEjecucion> errorAlAbrir;
    qint32 afectadas = 1;
    QHash<QString, QStringList> claves;
};

namespace {

class BackendGrabador : public platform::ConnectionBackend {
public:
    BackendGrabador(std::shared_ptr<ConexionGrabadora::Estado> estado, QString texto)
        : estado_(std::move(estado)), texto_(std::move(texto)) {}

    QString motor() const override { return QStringLiteral("grabadora"); }
    void open(qint32) override {
        estado_->textos << texto_;
        if (estado_->errorAlAbrir) {
            throw *estado_->errorAlAbrir;
        }
        abierta_ = true;
    }
    void close() override { abierta_ = false; }
    platform::Resultado execute(const QString& sql, const QVariantList& parametros,
                                qint32) override {
        estado_->sentencias << sql;
        estado_->parametros << parametros;
        platform::Resultado resultado;
        for (auto it = estado_->reglas.end(); it != estado_->reglas.begin();) {
            --it;
            if (!sql.contains(it->fragmento, Qt::CaseInsensitive)) {
                continue;
            }
            const Regla regla = *it;
            if (it->veces > 0 && --it->veces == 0) {
                estado_->reglas.erase(it);
            }
            if (regla.error) {
                throw *regla.error;
            }
            resultado.cursor = std::make_unique<CursorGuionado>(*regla.tabla);
            return resultado;
        }
        if (sql.trimmed().startsWith(QStringLiteral("SELECT"), Qt::CaseInsensitive)) {
            resultado.cursor = std::make_unique<CursorGuionado>(TablaGuionada{});
            return resultado;
        }
        resultado.recordsAffected = estado_->afectadas;
        return resultado;
    }
    QVariant property(const QString& name) const override {
        if (name.compare(QStringLiteral("Data Source"), Qt::CaseInsensitive) != 0) {
            return {};
        }
        for (const auto& [k, v] : platform::paresConexion(texto_)) {
            const QString clave = k.toLower().remove(u' ');
            if (clave == u"datasource" || clave == u"server") {
                return v;
            }
        }
        return QString();
    }
    QStringList primaryKey(const QString& table) override {
        return estado_->claves.value(table.toLower());
    }
    // Strict as a SQL Server driver without MARS whatever engine it stands for, so that a
    // recorded test fails where a kept result would hold the connection.
    bool sinMars() const override { return true; }

private:
    std::shared_ptr<ConexionGrabadora::Estado> estado_;
    QString texto_;
    bool abierta_ = false;
};

}  // namespace

ConexionGrabadora::ConexionGrabadora() : estado_(std::make_shared<Estado>()) {
    std::shared_ptr<Estado> estado = estado_;
    platform::Connection::estableceFabricaBackend([estado](const QString& texto) {
        return std::make_unique<BackendGrabador>(estado, texto);
    });
}

ConexionGrabadora::~ConexionGrabadora() {
    platform::Connection::estableceFabricaBackend(nullptr);
}

QStringList ConexionGrabadora::sentencias() const {
    return estado_->sentencias;
}

QVector<QVariantList> ConexionGrabadora::parametros() const {
    return estado_->parametros;
}

QStringList ConexionGrabadora::textosConexion() const {
    return estado_->textos;
}

void ConexionGrabadora::limpia() {
    estado_->sentencias.clear();
    estado_->parametros.clear();
}

void ConexionGrabadora::responde(const QString& fragmento, const TablaGuionada& tabla, int veces) {
    estado_->reglas.append(Regla{fragmento, tabla, std::nullopt, veces});
}

void ConexionGrabadora::falla(const QString& fragmento, const platform::ErrorEjecucion& error,
                              int veces) {
    estado_->reglas.append(Regla{fragmento, std::nullopt, error, veces});
}

void ConexionGrabadora::fallaAlAbrir(std::optional<platform::ErrorEjecucion> error) {
    estado_->errorAlAbrir = std::move(error);
}

void ConexionGrabadora::filasAfectadas(qint32 n) {
    estado_->afectadas = n;
}

void ConexionGrabadora::clavePrimaria(const QString& tabla, const QStringList& columnas) {
    estado_->claves.insert(tabla.toLower(), columnas);
}

}  // namespace prueba
