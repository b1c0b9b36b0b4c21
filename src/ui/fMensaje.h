#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The program's own message box: a text, an optional picture, "Aceptar", and an optional
// automatic close.
class fMensaje : public QDialog {
    Q_OBJECT
public:
    // Designed size of the window, in twips.
    static constexpr int kAnchoDisenado = 6300;
    static constexpr int kAltoDisenado = 2700;

    explicit fMensaje(QWidget* padre = nullptr);

    // Shows texto in the message box, each line break of any kind as a line break.
    void setTexto(const QString& texto);
    // The text as shown.
    QString texto() const;
    // Shows the picture kept under clave ("exclamacion", "informacion"); any other key clears it.
    void estableceImagen(const QString& clave);
    // The key of the picture shown; empty when there is none.
    const QString& claveImagen() const { return claveImagen_; }
    // Closes the window by itself after segundos; nothing happens for segundos <= 0.
    void estableceTiempo(qint16 segundos);

    // The picture kept under clave; a null pixmap for an unknown key.
    static QPixmap imagenes(const QString& clave);

protected:
    void showEvent(QShowEvent* evento) override;

private:
    // Sizes the window for its text (doubled height from six lines on) and lays out the controls.
    void ajustaAlTexto();
    void colocaControles();

    QPlainTextEdit* mensaje_;
    QLabel* imagen_;
    QPushButton* bAceptar_;
    QTimer* tim_;
    QString claveImagen_;
    bool ampliada_ = false;
    bool subida_ = false;
};
