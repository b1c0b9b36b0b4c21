#pragma once

#include <QDialog>
#include <QString>

#include "setup/DatosHost.h"
#include "setup/DirectorioCentral.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The set-up window "Datos de Conexión": the user types the connection data (or fetches it from
// the central directory) and, when it is valid, the window stores it in corvinal.ini.
class fHost : public QDialog {
    Q_OBJECT
public:
    explicit fHost(QWidget* padre = nullptr);

    // True when the window was last closed by a successful "Aceptar".
    bool seAcepto() const { return seAcepto_; }
    // The folder whose corvinal.ini "Aceptar" writes (the program's folder by default).
    void setCarpetaLanzador(const QString& carpeta) { carpetaLanzador_ = carpeta; }
    // The data as the boxes hold it now.
    DatosHost datos() const;

    // Applies the settings of the type chosen in cTipoConexion.
    void cTipoConexion_Click();
    // Enables the server box of the chosen kind and disables the other.
    void oServidor_Click();
    // Checks the data (showing the report when it fails), stores it and closes the window.
    void bAceptar_Click();
    // Closes the window without storing anything.
    void bCancelar_Click();
    // Chooses a type (-1 for none) and applies its settings, even when it was chosen already.
    void estableceTipo(int tipo);
    // Fills the boxes from a directory row: the type first (with its default port and
    // provider), then provider, sid, servers, database, login, both passwords, port and, when
    // not null, the application; null values become empty text.
    void rellena(const DirectorioCentral::Fila& fila);
    // Puts datos in the boxes (the type first, with its settings), the local server chosen.
    void muestraDatos(const DatosHost& datos);
    // Fills the boxes from the central directory.
    void bObtenerInformacionTolvane_Click();

private:
    QLineEdit* cajaTexto(const char* nombre, const QString& texto = QString());
    void colocaControles();
    static void activaCaja(QLineEdit* caja, bool activa);

    QComboBox* cTipoConexion_;
    QRadioButton* oServidorLocal_;
    QLineEdit* tServidorLocal_;
    QRadioButton* oServidorRemoto_;
    QLineEdit* tServidorRemoto_;
    QLineEdit* tBaseDatos_;
    QLineEdit* tLogin_;
    QLineEdit* tPassword_;
    QLineEdit* tPassword2_;
    QFrame* fPuerto_;
    QLineEdit* tPuerto_;
    QFrame* fOracle_;
    QLineEdit* tSid_;
    QLineEdit* tProvider_;
    QLineEdit* tAplicacion_;
    QPushButton* bObtenerInformacionTolvane_;
    QPushButton* bAceptar_;
    QPushButton* bCancelar_;
    QLabel* eInforme_;
    QString carpetaLanzador_;
    bool seAcepto_ = false;
};
