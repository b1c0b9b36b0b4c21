#pragma once

#include <QPoint>

class QWidget;

namespace prueba {

// Drags `asa` with the left button from `desde` to `hasta` (both in its own coordinates), as a
// person moving a window by its caption would.
void arrastra(QWidget* asa, QPoint desde, QPoint hasta);

}  // namespace prueba
