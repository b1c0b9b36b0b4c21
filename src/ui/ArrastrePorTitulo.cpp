#include "ui/ArrastrePorTitulo.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace ui {

ArrastrePorTitulo::ArrastrePorTitulo(QWidget* titulo, QWidget* ventana)
    : QObject(titulo), titulo_(titulo), ventana_(ventana) {
    titulo_->installEventFilter(this);
}

bool ArrastrePorTitulo::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto != titulo_) {
        return false;
    }
    switch (evento->type()) {
        case QEvent::MouseButtonPress: {
            auto* raton = static_cast<QMouseEvent*>(evento);
            if (raton->button() != Qt::LeftButton) {
                return false;
            }
            // The window system moves a window itself where it can; elsewhere, and for a
            // window placed inside another, we follow the mouse.
            QWindow* nativa = ventana_->isWindow() ? ventana_->windowHandle() : nullptr;
            if (nativa && nativa->startSystemMove()) {
                return true;
            }
            arrastrando_ = true;
            pulsado_ = raton->globalPosition().toPoint();
            posicionInicial_ = ventana_->pos();
            return true;
        }
        case QEvent::MouseMove: {
            if (!arrastrando_) {
                return false;
            }
            auto* raton = static_cast<QMouseEvent*>(evento);
            ventana_->move(posicionInicial_ + raton->globalPosition().toPoint() - pulsado_);
            return true;
        }
        case QEvent::MouseButtonRelease:
            arrastrando_ = false;
            return false;
        default:
            return false;
    }
}

}  // namespace ui
