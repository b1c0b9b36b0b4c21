#include "setup/fHost.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

#include "arranque/RegistroArranque.h"
#include "comun/modTolvane1.h"
#include "platform/Producto.h"
#include "setup/DirectorioCentral.h"

fHost::fHost(QWidget* padre)
    : QDialog(padre),
      cTipoConexion_(new QComboBox(this)),
      oServidorLocal_(new QRadioButton(QStringLiteral("Local:"), this)),
      tServidorLocal_(cajaTexto("tServidorLocal")),
      oServidorRemoto_(new QRadioButton(QStringLiteral("Remoto:"), this)),
      tServidorRemoto_(cajaTexto("tServidorRemoto")),
      tBaseDatos_(cajaTexto("tBaseDatos")),
      tLogin_(cajaTexto("tLogin")),
      tPassword_(cajaTexto("tPassword")),
      tPassword2_(cajaTexto("tPassword2")),
      fPuerto_(new QFrame(this)),
      tPuerto_(cajaTexto("tPuerto", QStringLiteral("1433"))),
      fOracle_(new QFrame(this)),
      tSid_(cajaTexto("tSid")),
      tProvider_(cajaTexto("tProvider")),
      tAplicacion_(cajaTexto("tAplicacion", QStringLiteral("fob7.exe"))),
      bObtenerInformacionTolvane_(
          new QPushButton(QStringLiteral("Obtener información de acceso"), this)),
      bAceptar_(new QPushButton(QStringLiteral("Aceptar"), this)),
      bCancelar_(new QPushButton(QStringLiteral("Cancelar"), this)),
      eInforme_(new QLabel(this)),
      carpetaLanzador_(QCoreApplication::applicationDirPath()) {
    setObjectName(QStringLiteral("fHost"));
    setWindowTitle(QStringLiteral("Datos de Conexión"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    cTipoConexion_->setObjectName(QStringLiteral("cTipoConexion"));
    cTipoConexion_->addItems({QStringLiteral("MS Access"), QStringLiteral("SQL Server"),
                              QStringLiteral("MySQL"), QStringLiteral("ORACLE")});
    cTipoConexion_->setCurrentIndex(-1);
    oServidorLocal_->setObjectName(QStringLiteral("oServidorLocal"));
    oServidorRemoto_->setObjectName(QStringLiteral("oServidorRemoto"));
    oServidorLocal_->setChecked(true);
    activaCaja(tServidorRemoto_, false);
    tPassword_->setEchoMode(QLineEdit::Password);
    tPassword2_->setEchoMode(QLineEdit::Password);
    fPuerto_->setObjectName(QStringLiteral("fPuerto"));
    fOracle_->setObjectName(QStringLiteral("fOracle"));
    fOracle_->setVisible(false);
    bObtenerInformacionTolvane_->setObjectName(QStringLiteral("bObtenerInformacionTolvane"));
    bAceptar_->setObjectName(QStringLiteral("bAceptar"));
    bCancelar_->setObjectName(QStringLiteral("bCancelar"));
    bAceptar_->setDefault(true);
    eInforme_->setObjectName(QStringLiteral("eInforme"));
    QPalette rojo = eInforme_->palette();
    rojo.setColor(QPalette::WindowText, QColor(255, 0, 0));
    eInforme_->setPalette(rojo);

    colocaControles();

    connect(cTipoConexion_, &QComboBox::currentIndexChanged, this, &fHost::cTipoConexion_Click);
    connect(oServidorLocal_, &QRadioButton::toggled, this, &fHost::oServidor_Click);
    connect(bAceptar_, &QPushButton::clicked, this, &fHost::bAceptar_Click);
    connect(bCancelar_, &QPushButton::clicked, this, &fHost::bCancelar_Click);
    connect(bObtenerInformacionTolvane_, &QPushButton::clicked, this,
            &fHost::bObtenerInformacionTolvane_Click);
}

QLineEdit* fHost::cajaTexto(const char* nombre, const QString& texto) {
    auto* caja = new QLineEdit(texto, this);
    caja->setObjectName(QString::fromLatin1(nombre));
    return caja;
}

void fHost::colocaControles() {
    const auto etiqueta = [this](const char* texto) {
        return new QLabel(QString::fromUtf8(texto), this);
    };
    auto* puerto = new QHBoxLayout(fPuerto_);
    puerto->setContentsMargins(0, 0, 0, 0);
    puerto->addWidget(new QLabel(QStringLiteral("Puerto"), fPuerto_));
    puerto->addWidget(tPuerto_);
    tPuerto_->setParent(fPuerto_);
    auto* oracle = new QHBoxLayout(fOracle_);
    oracle->setContentsMargins(0, 0, 0, 0);
    oracle->addWidget(new QLabel(QStringLiteral("SID:"), fOracle_));
    oracle->addWidget(tSid_);
    tSid_->setParent(fOracle_);

    auto* rejilla = new QGridLayout(this);
    int fila = 0;
    rejilla->addWidget(etiqueta("Conexion:"), fila, 0);
    rejilla->addWidget(cTipoConexion_, fila++, 1, 1, 2);
    rejilla->addWidget(etiqueta("Servidor"), fila++, 0);
    rejilla->addWidget(oServidorLocal_, fila, 0);
    rejilla->addWidget(tServidorLocal_, fila++, 1, 1, 2);
    rejilla->addWidget(oServidorRemoto_, fila, 0);
    rejilla->addWidget(tServidorRemoto_, fila++, 1, 1, 2);
    rejilla->addWidget(etiqueta("Base de Datos"), fila, 0);
    rejilla->addWidget(tBaseDatos_, fila++, 1, 1, 2);
    rejilla->addWidget(etiqueta("Login"), fila, 0);
    rejilla->addWidget(tLogin_, fila++, 1, 1, 2);
    rejilla->addWidget(etiqueta("Password"), fila, 0);
    rejilla->addWidget(tPassword_, fila++, 1, 1, 2);
    rejilla->addWidget(etiqueta("Repita Password"), fila, 0);
    rejilla->addWidget(tPassword2_, fila++, 1, 1, 2);
    rejilla->addWidget(fPuerto_, fila, 1);
    rejilla->addWidget(fOracle_, fila++, 2);
    rejilla->addWidget(etiqueta("Proveedor:"), fila, 0);
    rejilla->addWidget(tProvider_, fila++, 1, 1, 2);
    rejilla->addWidget(etiqueta("Aplicación:"), fila, 0);
    rejilla->addWidget(tAplicacion_, fila++, 1, 1, 2);
    rejilla->addWidget(bObtenerInformacionTolvane_, fila++, 0, 1, 3);
    rejilla->addWidget(eInforme_, fila++, 0, 1, 3);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(bAceptar_);
    botones->addWidget(bCancelar_);
    rejilla->addLayout(botones, fila, 0, 1, 3);
}

void fHost::activaCaja(QLineEdit* caja, bool activa) {
    caja->setEnabled(activa);
    QPalette paleta = caja->palette();
    paleta.setColor(QPalette::Base, activa ? QColor(Qt::white) : paleta.color(QPalette::Button));
    caja->setPalette(paleta);
}

DatosHost fHost::datos() const {
    DatosHost d;
    d.tipo = cTipoConexion_->currentIndex();
    d.servidorLocal = oServidorLocal_->isChecked();
    d.tServidorLocal = tServidorLocal_->text();
    d.tServidorRemoto = tServidorRemoto_->text();
    d.baseDatos = tBaseDatos_->text();
    d.login = tLogin_->text();
    d.password = tPassword_->text();
    d.password2 = tPassword2_->text();
    d.puerto = tPuerto_->text();
    d.provider = tProvider_->text();
    d.sid = tSid_->text();
    d.aplicacion = tAplicacion_->text();
    return d;
}

void fHost::cTipoConexion_Click() {
    const int tipo = cTipoConexion_->currentIndex();
    if (tipo < DatosHost::kMsAccess || tipo > DatosHost::kOracle) {
        return;
    }
    const DatosHost::AjustesTipo ajustes = DatosHost::ajustesTipo(tipo);
    tPuerto_->setText(ajustes.puerto);
    fPuerto_->setVisible(ajustes.puertoVisible);
    fOracle_->setVisible(ajustes.oracleVisible);
    tProvider_->setText(ajustes.provider);
}

void fHost::oServidor_Click() {
    const bool local = oServidorLocal_->isChecked();
    activaCaja(tServidorLocal_, local);
    activaCaja(tServidorRemoto_, !local);
}

void fHost::bAceptar_Click() {
    const DatosHost d = datos();
    const QString informe = d.informe();
    eInforme_->setText(QString(informe).replace(u'\r', u'\n').trimmed());
    if (!informe.isEmpty()) {
        modTolvane1::muestraMensaje(informe, platform::nombreProducto());
        return;
    }
    // A file that cannot be written is found missing by the caller, which says so.
    RegistroArranque::escribeFichero(RegistroArranque::rutaFichero(carpetaLanzador_),
                                     d.lineaFichero());
    seAcepto_ = true;
    accept();
}

void fHost::bCancelar_Click() {
    seAcepto_ = false;
    reject();
}

void fHost::estableceTipo(int tipo) {
    const bool mismo = cTipoConexion_->currentIndex() == tipo;
    cTipoConexion_->setCurrentIndex(tipo);
    // Choosing the entry already chosen applies its settings all the same.
    if (mismo) {
        cTipoConexion_Click();
    }
}

void fHost::rellena(const DirectorioCentral::Fila& fila) {
    const auto texto = [](const QVariant& valor) {
        return valor.isNull() ? QString() : valor.toString();
    };
    bool esNumero = false;
    const int tipo = fila.tipoConexion.toInt(&esNumero);
    estableceTipo(esNumero ? tipo : DatosHost::kNinguno);
    tProvider_->setText(texto(fila.provider));
    tSid_->setText(texto(fila.sid));
    tServidorRemoto_->setText(texto(fila.servidor));
    tServidorLocal_->setText(texto(fila.servidorLocal));
    tBaseDatos_->setText(texto(fila.baseDatos));
    tLogin_->setText(texto(fila.login));
    tPassword_->setText(texto(fila.Password));
    tPassword2_->setText(texto(fila.Password));
    tPuerto_->setText(texto(fila.puerto));
    if (!fila.ejecutable.isNull()) {
        tAplicacion_->setText(fila.ejecutable.toString());
    }
}

void fHost::muestraDatos(const DatosHost& datos) {
    estableceTipo(datos.tipo);
    oServidorLocal_->setChecked(datos.servidorLocal);
    oServidorRemoto_->setChecked(!datos.servidorLocal);
    tServidorLocal_->setText(datos.tServidorLocal);
    tServidorRemoto_->setText(datos.tServidorRemoto);
    tBaseDatos_->setText(datos.baseDatos);
    tLogin_->setText(datos.login);
    tPassword_->setText(datos.password);
    tPassword2_->setText(datos.password2);
    tPuerto_->setText(datos.puerto);
    tProvider_->setText(datos.provider);
    tSid_->setText(datos.sid);
    tAplicacion_->setText(datos.aplicacion);
}

void fHost::bObtenerInformacionTolvane_Click() {
    DirectorioCentral::obtieneDatos(*this);
}
