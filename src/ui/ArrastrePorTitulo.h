#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace ui {

// Lets the user move a borderless window (or a window placed inside another) by pressing on
// its caption bar and dragging.
class ArrastrePorTitulo : public QObject {
    Q_OBJECT
public:
    // Watches titulo; dragging it moves ventana.
    ArrastrePorTitulo(QWidget* titulo, QWidget* ventana);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QWidget* titulo_;
    QWidget* ventana_;
    bool arrastrando_ = false;
    QPoint pulsado_;
    QPoint posicionInicial_;
};

}  // namespace ui
