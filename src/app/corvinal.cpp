#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QStringList>

#include "ClavesCompiladas.h"
#include "arranque/Salida.h"
#include "comun/Mensajeria.h"
#include "download/Eco.h"
#include "launcher/modCorvinal.h"
#include "platform/Fin.h"
#include "repository/Confianza.h"
#include "setup/fHost.h"

namespace {

// Writes every message and question to the standard output before showing it, for runs that
// nobody watches (CORVINAL_ECO).
class MensajeriaEco : public modTolvane1::Mensajeria {
public:
    explicit MensajeriaEco(modTolvane1::Mensajeria& destino) : destino_(destino) {}

    bool pregunta(const QString& texto) override {
        Eco::escribe(QStringLiteral("pregunta"), QStringLiteral("texto"), texto);
        return destino_.pregunta(texto);
    }
    void muestraMensaje(const QString& texto, const QString& titulo, const QString& tipo,
                        qint16 segundos) override {
        Eco::escribe(QStringLiteral("fMensaje"), QStringLiteral("texto"), texto);
        // Nobody is there to close it: it closes by itself.
        destino_.muestraMensaje(texto, titulo, tipo, segundos > 0 ? segundos : kSegundosEco);
    }
    void mensajeSistema(const QString& texto, QWidget* ventana, bool abandonar,
                        qint32 tiempo) override {
        Eco::escribe(QStringLiteral("fMensajeSystem"), QStringLiteral("texto"), texto);
        destino_.mensajeSistema(texto, ventana, abandonar, tiempo);
    }

private:
    static constexpr qint16 kSegundosEco = 1;
    modTolvane1::Mensajeria& destino_;
};

// The set-up window of a run that nobody watches: it opens filled, says what it holds, and
// counts as cancelled, since nobody can answer it.
class SistemaEco : public modCorvinal::Sistema {
public:
    bool configura(const QString& carpetaLanzador,
                   const std::optional<RegistroArranque>& previo) override {
        fHost host;
        host.setCarpetaLanzador(carpetaLanzador);
        if (previo) {
            host.muestraDatos(DatosHost::deRegistro(*previo));
        }
        host.show();
        const auto* tipo = host.findChild<QComboBox*>(QStringLiteral("cTipoConexion"));
        Eco::escribe(host.objectName(), tipo->objectName(), tipo->currentText());
        for (const QLineEdit* caja : host.findChildren<QLineEdit*>()) {
            if (caja->echoMode() == QLineEdit::Normal) {
                Eco::escribe(host.objectName(), caja->objectName(), caja->text());
            }
        }
        host.bCancelar_Click();
        return host.seAcepto();
    }
};

// The program's arguments joined by single blanks, as the user gave them (before Qt takes its
// own options out of them).
QString lineaOrdenes(int argc, char** argv) {
    QStringList argumentos;
    for (int i = 1; i < argc; ++i) {
        argumentos << QString::fromLocal8Bit(argv[i]);
    }
    return argumentos.join(u' ');
}

}  // namespace

int main(int argc, char** argv) {
    const QString linea = lineaOrdenes(argc, argv);
    QApplication app(argc, argv);
    // The program ends through the entry procedure or the download window, never because a
    // window happened to be the last one open.
    app.setQuitOnLastWindowClosed(false);

    // The exit status says how the run ended, for the program or script that started it.
    const platform::TerminacionInstalada terminacion(salida::saleDelProceso);

    // The publishers this build trusts; the state file keeps, beside corvinal.ini, the release
    // last accepted at each path.
    const QString carpeta = QCoreApplication::applicationDirPath();
    const Confianza confianza(clavesCompiladas::claves(), clavesCompiladas::kFirmaObligatoria,
                              QDir(carpeta).filePath(QStringLiteral("corvinal.ediciones")));
    if (!clavesCompiladas::claves().isEmpty()) {
        Confianza::instala(&confianza);
    }

    MensajeriaEco eco(modTolvane1::mensajeria());
    modCorvinal::Sistema ventanas;
    SistemaEco sinNadie;
    // Unwatched runs print what the windows would show; nullptr keeps the windows.
    const modTolvane1::MensajeriaInstalada mensajes(Eco::activo() ? &eco : nullptr);
    modCorvinal::Sistema* sistema = Eco::activo() ? &sinNadie : &ventanas;
    modCorvinal::Main(linea, carpeta, *sistema);
    return app.exec();
}
