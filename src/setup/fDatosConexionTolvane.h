#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The small window "Solicitud de datos de conexión" that asks for the client reference, the
// installation key and the application before the central directory is searched.
class fDatosConexionTolvane : public QDialog {
    Q_OBJECT
public:
    explicit fDatosConexionTolvane(QWidget* padre = nullptr);

    // True once "Aceptar" was pressed; closing the window otherwise leaves it false.
    bool seAcepto() const { return seAcepto_; }
    // The three boxes as typed.
    QString refCliente() const;
    QString claveInstalacion() const;
    QString aplicacion() const;

    // Marks the data accepted and hides the window.
    void bAceptar_Click();

protected:
    // Every showing starts unaccepted, so closing a window shown again reports no acceptance.
    void showEvent(QShowEvent* evento) override;

private:
    QLineEdit* tRefCliente_;
    QLineEdit* tClaveInstalacion_;
    QLineEdit* tAplicacion_;
    QPushButton* bAceptar_;
    bool seAcepto_ = false;
};
