#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

namespace prueba {

// Drags `asa` with the left button from `desde` to `hasta` (both in its own coordinates), as a
// person moving a window by its caption would.
inline void arrastra(QWidget* asa, QPoint desde, QPoint hasta) {
    QTest::mousePress(asa, Qt::LeftButton, {}, desde);
    // QTest's own move carries no pressed button, which a drag needs.
    QMouseEvent mover(QEvent::MouseMove, QPointF(hasta), asa->mapToGlobal(QPointF(hasta)),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(asa, &mover);
    QTest::mouseRelease(asa, Qt::LeftButton, {}, hasta);
}

}  // namespace prueba
