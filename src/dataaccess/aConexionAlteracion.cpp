#include "comun/modTolvane1.h"
#include "dataaccess/aConexion.h"
#include "platform/CodigosError.h"
#include "platform/ErrorEjecucion.h"
#include "platform/FechaTexto.h"
#include "platform/Recordset.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool hayValor(const QVariant& v) {
    return v.isValid() && !v.isNull();
}

}  // namespace

void aConexion::añadeCamposTabla(const QString& tabla, bool silencioso) {
    tablaNueva_ = tabla;
    camposNuevos_.clear();
    alteracionSilenciosa_ = silencioso;
}

void aConexion::modificaTabla() {
    if (camposNuevos_.isEmpty() || tablaNueva_.isEmpty()) {
        tablaNueva_.clear();
        camposNuevos_.clear();
        alteracionSilenciosa_ = false;
        return;
    }
    QString mensaje;
    for (const QString& definicion : camposNuevos_.split(u';')) {
        try {
            executeNR(u"ALTER TABLE "_s + tablaNueva_ + u" ADD "_s + definicion);
        } catch (const platform::ErrorEjecucion& e) {
            mensaje += e.descripcion() + u'\r';
        }
    }
    tablaNueva_.clear();
    camposNuevos_.clear();
    if (!mensaje.isEmpty() && !alteracionSilenciosa_) {
        modTolvane1::aviso(mensaje);
    }
    alteracionSilenciosa_ = false;
}

void aConexion::añadeCampoTabla(const QString& tabla, const QString& campo, qint32 tipo,
                                qint16 tamano, bool /*nulos*/, bool clave,
                                const QVariant& defecto) {
    if (!existeTabla(tabla) || existeCampo(tabla, campo)) {
        return;
    }
    añadeCamposTabla(tabla, false);
    nuevoCampo(campo, tipo, tamano, true, clave, defecto);
    modificaTabla();
    // A null default has nothing to fill the new column with.
    if (!hayValor(defecto) || tipo != kBooleano) {
        return;
    }
    executeNR(u"UPDATE "_s + tabla + u" SET "_s + campo + u'=' + defecto.toString());
    const QString tipoBooleano = tipoDato(kBooleano, 0);
    if (motor() == Motor::Oracle) {
        executeNR(u"ALTER TABLE "_s + tabla + u" MODIFY ( "_s + campo + u' ' + tipoBooleano + u')');
    } else if (motor() == Motor::MySql) {
        // MySQL changes a column only by restating it whole, default included.
        executeNR(u"ALTER TABLE "_s + tabla + u" MODIFY "_s + campo + u' ' + tipoBooleano +
                  u" NOT NULL  DEFAULT (0) "_s);
    } else if (motor() != Motor::Fichero) {
        executeNR(u"ALTER TABLE "_s + tabla + u" ALTER COLUMN "_s + campo + u' ' + tipoBooleano +
                  u" NOT NULL "_s);
    }
    // The file database cannot change a column's nullability; the column keeps its default
    // and every row is filled.
}

void aConexion::modificaCampo(const QString& tabla, const QString& campo, qint32 tipo,
                              qint16 tamano, bool nulos, const QVariant& defecto) {
    if (motor() == Motor::SqlServer) {
        eliminaConstraints(tabla, campo);
    }
    executeNR(u"ALTER TABLE "_s + tabla + u" ALTER COLUMN "_s + campo + u' ' +
              tipoDato(tipo, tamano) + u' ' + (nulos ? QString() : u" NOT NULL"_s));
    if (!hayValor(defecto)) {
        return;
    }
    QString d;
    if (tipo == kTexto || tipo == kMemo) {
        d = u'\'' + defecto.toString().replace(u'\'', u"''"_s) + u'\'';
    } else if (tipo == kFecha || tipo == kFechaPrecisa) {
        const std::optional<QDateTime> leida = platform::leeFecha(defecto);
        if (!leida) {
            throw platform::ErrorEjecucion(platform::kErrorTipos,
                                           u"No coinciden los tipos: "_s + defecto.toString(),
                                           u"aConexion"_s);
        }
        d = fecha(leida->date());
    } else {
        d = defecto.toString();
    }
    if (d.isEmpty()) {
        return;
    }
    if (motor() == Motor::SqlServer) {
        eliminaConstraints(tabla, campo);
        executeNR(u"ALTER TABLE "_s + tabla + u" ADD CONSTRAINT "_s + tabla + u'_' + campo +
                  u"_def_"_s + d + u" DEFAULT "_s + d + u" FOR "_s + campo);
    } else if (motor() == Motor::Fichero) {
        executeNR(u"ALTER TABLE "_s + tabla + u" ALTER COLUMN "_s + campo + u" SET DEFAULT "_s + d);
    }
}

void aConexion::añadeDefectoCampo(const QString& tabla, const QString& campo,
                                  const QString& valor) {
    executeNR(u"ALTER TABLE "_s + tabla + u" ADD CONSTRAINT "_s + tabla + u'_' + campo +
              u"_def_"_s + valor + u" DEFAULT "_s + valor + u" FOR "_s + campo);
}

void aConexion::eliminaConstraints(const QString& tabla, const QString& campo) {
    if (motor() != Motor::SqlServer) {
        return;
    }
    QStringList nombres;
    const platform::RecordsetPtr r = con_->execute(
        u"SELECT name FROM sysobjects WHERE "_s + u" (id IN (SELECT cDefault from syscolumns "_s +
        u" WHERE id=(SELECT id FROM sysobjects WHERE name='"_s + escapa(tabla) +
        u"' AND xtype='U') AND (name = '"_s + escapa(campo) + u"')))"_s);
    for (; r != nullptr && !r->eof(); r->moveNext()) {
        nombres.append(r->field(u"name"_s).value().toString());
    }
    for (const QString& nombre : nombres) {
        executeNR(u"ALTER TABLE "_s + tabla + u" DROP CONSTRAINT "_s + nombre);
    }
}

void aConexion::eliminaColumna(const QString& tabla, const QString& campo) {
    eliminaConstraints(tabla, campo);
    executeNR(u"ALTER TABLE "_s + tabla + u" DROP COLUMN "_s + campo);
}

void aConexion::creaIndiceTabla(const QString& indice, const QString& tabla, const QString& campos,
                                bool /*modoSilencioso*/, bool valorUnico) {
    if (campos.isEmpty()) {
        modTolvane1::aviso(u"No se seleccionaron campos para el índice"_s);
        return;
    }
    if (!existeTabla(tabla)) {
        modTolvane1::aviso(u"La tabla: "_s + tabla + u" no existe."_s);
        return;
    }
    // The file database, Oracle and MySQL refuse the qualified form, which would leave an
    // existing index unchanged without a word; each gets the form it accepts.
    QString borra = u"DROP INDEX "_s + tabla + u'.' + indice + u" ON "_s + tabla;
    if (motor() == Motor::Fichero || motor() == Motor::Oracle) {
        borra = u"DROP INDEX "_s + indice;
    } else if (motor() == Motor::MySql) {
        borra = u"DROP INDEX "_s + indice + u" ON "_s + tabla;
    }
    if (existeIndice(tabla, indice) || motor() == Motor::SqlServer || motor() == Motor::Oracle) {
        try {
            executeNR(borra);
        } catch (const platform::ErrorEjecucion&) {
            // The index may not exist yet.
        }
    }
    try {
        executeNR(u"CREATE "_s + (valorUnico ? u" UNIQUE "_s : QString()) + u" INDEX "_s + indice +
                  u" ON "_s + tabla + u'(' + campos + u')');
    } catch (const platform::ErrorEjecucion&) {
        // An index the engine refuses is left out, as it always has been.
    }
}

void aConexion::creaClaveForanea(const QString& tabla, const QString& campoOrigen,
                                 const QString& tablaDestino, const QString& campoDestino) {
    executeNR(u" ALTER TABLE "_s + tabla + u" ADD FOREIGN KEY ("_s + campoOrigen +
              u" ) REFERENCES "_s + tablaDestino + u'(' + campoDestino + u')');
}

void aConexion::añadeReferenciaExterna(const QString& tablaOrigen, const QString& camposOrigen,
                                       const QString& tablaDestino, const QString& camposDestino) {
    const QString to = tablaOrigen.trimmed();
    const QString co = camposOrigen.trimmed();
    const QString td = tablaDestino.trimmed();
    const QString cd = camposDestino.trimmed();
    auto r = std::make_shared<platform::Recordset>();
    r->open(u"SELECT * FROM tReferenciasExternas WHERE tablaOrigen='"_s + escapa(to) +
                u"' AND camposOrigen='"_s + escapa(co) + u"' AND tablaDestino='"_s + escapa(td) +
                u"' AND camposDestino='"_s + escapa(cd) + u'\'',
            con_.get(), 0, platform::Recordset::kOptimista);
    if (r->eof()) {
        r->addNew();
        r->field(u"tablaOrigen"_s).setValue(to);
        r->field(u"camposOrigen"_s).setValue(co);
        r->field(u"tablaDestino"_s).setValue(td);
        r->field(u"camposDestino"_s).setValue(cd);
        actualiza(*r);
    }
    r->close();
}
