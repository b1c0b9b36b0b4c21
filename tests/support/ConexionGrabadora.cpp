#include "support/ConexionGrabadora.h"

#include <QDateTime>

#include "platform/Connection.h"
#include "platform/ConnectionText.h"
#include "platform/TiposDatos.h"

namespace prueba {

namespace {

using Regla = ConexionGrabadora::Regla;

qint32 tipoDeValor(const QVariant& v) {
    using namespace platform::tipoAdo;
    static const QHash<int, qint32> tipos{{QMetaType::Int, kInteger},
                                          {QMetaType::LongLong, kBigInt},
                                          {QMetaType::Short, kSmallInt},
                                          {QMetaType::Double, kDouble},
                                          {QMetaType::Float, kSingle},
                                          {QMetaType::Bool, kBoolean},
                                          {QMetaType::QByteArray, kLongVarBinary},
                                          {QMetaType::QDateTime, kDbTimeStamp},
                                          {QMetaType::QDate, kDbDate}};
    return tipos.value(v.typeId(), kVarWChar);
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
    }
    void close() override {}
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
        resultado.recordsAffected = 1;
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
};

}  // namespace

ConexionGrabadora::ConexionGrabadora()
    : fabrica_([estado = estado_](const QString& texto) {
          return std::make_unique<BackendGrabador>(estado, texto);
      }) {
    // A SQL Server answers its language, and the sequence table is there, empty.
    responde(QStringLiteral("@@language"),
             {{QStringLiteral("lenguaje")}, {{QStringLiteral("Español")}}});
    responde(QStringLiteral("FROM tSecuencias"),
             {{QStringLiteral("tabla"), QStringLiteral("campoCod"), QStringLiteral("codigo")}, {}});
}

}  // namespace prueba
