#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// A borderless pop-up for messages that come from the system: its own caption bar stamped with
// the date and time, automatic acceptance, and the end of the program on acceptance when asked.
class fMensajeSystem : public QDialog {
    Q_OBJECT
public:
    // Designed width and slid-open height, in twips.
    static constexpr int kAnchoDisenado = 4500;
    static constexpr int kAltoAbierto = 2250;
    // The caption bar before any text arrives.
    static constexpr char kCaption[] = " Mensaje del Sistema: ";

    // Run when any system message window unloads (the connection's periodic check restarts
    // there); nothing by default.
    using AlDescargar = void (*)();
    static AlDescargar estableceAlDescargar(AlDescargar otro);

    explicit fMensajeSystem(QWidget* padre = nullptr);
    // Unloading restarts what the installed AlDescargar restarts.
    ~fMensajeSystem() override;

    // When true, accepting the message ends the program.
    void setAbandonar(bool abandonar) { abandonar_ = abandonar; }
    bool abandonar() const { return abandonar_; }
    // Accepts the message by itself after segundos; 0 or less means never.
    void setTiempo(qint32 segundos);
    qint32 tiempo() const { return tiempo_; }
    // Shows texto, each line break of any kind as a line break; stamps the caption bar.
    void setTexto(const QString& texto);

public slots:
    // Shrinks the window away, unloads it, and ends the program when abandonar is set.
    void acepta();
    // Escape accepts too.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void sellaCaption();
    void colocaControles();

    QFrame* marco_;
    QLabel* eCaption_;
    QLabel* iCerrar_;
    QPlainTextEdit* tMensaje_;
    QPushButton* bAceptar_;
    QTimer* timAceptaAutomaticamente_;
    bool abandonar_ = false;
    qint32 tiempo_ = 0;
    bool aceptando_ = false;
};
