#pragma once

#include <QPointer>
#include <QVariant>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

// A small borderless progress window: a title line, a growing bar, a progress text, an estimate
// of the time left and a cancel button. It floats at the lower right of the screen or sits
// inside a parent window, and cannot be closed until cancelled or finished.
class fProgreso : public QWidget {
    Q_OBJECT
public:
    // Designed size, in twips.
    static constexpr int kAncho = 4800;
    static constexpr int kAlto = 1620;

    explicit fProgreso(QWidget* padre = nullptr);

    // Clears cancelado and terminado and places the window: inside fPadre when given (which then
    // receives cancelaProgreso() on cancel), else at the lower right of the screen.
    void presentaBarra(QWidget* fPadre);
    // presentaBarra(fPadre); inside the program's window whose handle is wh when wh > 0; then
    // iniciaContador(titulo, maximo).
    void activaBarra(const QString& titulo, qint32 maximo, QWidget* fPadre = nullptr,
                     qint32 wh = 0);
    // Shows the window and starts counting maximo steps under titulo, the bar empty.
    void iniciaContador(const QString& titulo, qint32 maximo);
    // One step: shows texto unless it is null, grows the bar by incremento steps, updates the
    // estimate of the time left and lets pending events (a click on cancel) through once.
    void incrementaBarra(const QVariant& texto, float incremento);
    // True once the user pressed cancel or after descarga().
    bool cancelado() const { return cancelado_; }
    // True once as many steps arrived as were announced.
    bool terminado() const { return terminado_; }
    // Marks the run cancelled and closes the window.
    void descarga();

    // Seconds left, extrapolated from the seconds gone and the share of the bar filled; the
    // seconds gone themselves when there is nothing to extrapolate from.
    static qint32 segundosRestantes(qint32 transcurridos, float ancho, float paso, qint32 maximo);
    // The remaining-time label for that many seconds ("Resta: 1 h. 2m.", "Resta: 2 min. ",
    // "Resta: 6 s."; empty under six seconds).
    static QString textoTiempoRestante(qint32 segundos);

protected:
    void closeEvent(QCloseEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    void cancela();
    void colocaControles();
    // Moves the window into fPadre (or back to the screen when it is null) at the lower right.
    void coloca(QWidget* fPadre);
    void dibujaBarra();

    QLabel* eCaption_;
    QLabel* eBarraFondo_;
    QLabel* eBarra_;
    QLabel* eProgreso_;
    QLabel* eTiempoRestante_;
    QPushButton* bCancelar_;
    QFrame* borde_;
    QFrame* shape1_;

    qint32 maximo_ = 0;
    float paso_ = 0;
    float ancho_ = 0;
    qint32 contador_ = 0;
    qint64 inicioMs_ = 0;
    QPointer<QWidget> padre_;
    bool cancelado_ = false;
    bool terminado_ = false;
};
