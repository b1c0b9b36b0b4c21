#include "setup/fDatosConexionTolvane.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

fDatosConexionTolvane::fDatosConexionTolvane(QWidget* padre)
    : QDialog(padre),
      tRefCliente_(new QLineEdit(this)),
      tClaveInstalacion_(new QLineEdit(this)),
      tAplicacion_(new QLineEdit(this)),
      bAceptar_(new QPushButton(QStringLiteral("Aceptar"), this)) {
    setObjectName(QStringLiteral("fDatosConexionTolvane"));
    setWindowTitle(QStringLiteral("Solicitud de datos de conexión"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    tRefCliente_->setObjectName(QStringLiteral("tRefCliente"));
    tClaveInstalacion_->setObjectName(QStringLiteral("tClaveInstalacion"));
    tClaveInstalacion_->setEchoMode(QLineEdit::Password);
    tAplicacion_->setObjectName(QStringLiteral("tAplicacion"));
    bAceptar_->setObjectName(QStringLiteral("bAceptar"));
    bAceptar_->setDefault(true);

    auto* formulario = new QFormLayout(this);
    formulario->addRow(QStringLiteral(" Referencia de cliente:"), tRefCliente_);
    formulario->addRow(QStringLiteral(" Clave de instalación:"), tClaveInstalacion_);
    formulario->addRow(QStringLiteral(" Aplicación:"), tAplicacion_);
    formulario->addRow(bAceptar_);

    connect(bAceptar_, &QPushButton::clicked, this, &fDatosConexionTolvane::bAceptar_Click);
}

QString fDatosConexionTolvane::refCliente() const {
    return tRefCliente_->text();
}

QString fDatosConexionTolvane::claveInstalacion() const {
    return tClaveInstalacion_->text();
}

QString fDatosConexionTolvane::aplicacion() const {
    return tAplicacion_->text();
}

void fDatosConexionTolvane::showEvent(QShowEvent* evento) {
    seAcepto_ = false;
    QDialog::showEvent(evento);
}

void fDatosConexionTolvane::bAceptar_Click() {
    seAcepto_ = true;
    accept();
}
