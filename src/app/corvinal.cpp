#include <QApplication>
#include <QStringList>

#include "download/Eco.h"
#include "launcher/Mensajeria.h"
#include "launcher/modCorvinal.h"

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
        destino_.muestraMensaje(texto, titulo, tipo, segundos);
    }
    void mensajeSistema(const QString& texto, QWidget* ventana, bool abandonar,
                        qint32 tiempo) override {
        Eco::escribe(QStringLiteral("fMensajeSystem"), QStringLiteral("texto"), texto);
        destino_.mensajeSistema(texto, ventana, abandonar, tiempo);
    }

private:
    modTolvane1::Mensajeria& destino_;
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

    MensajeriaEco eco(modTolvane1::mensajeria());
    if (Eco::activo()) {
        modTolvane1::estableceMensajeria(&eco);
    }
    modCorvinal::Sistema sistema;
    modCorvinal::Main(linea, QCoreApplication::applicationDirPath(), sistema);
    return app.exec();
}
