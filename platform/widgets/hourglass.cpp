#include "platform/widgets/hourglass.h"

#include <QApplication>

namespace kav {

THourglass::THourglass() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

THourglass::~THourglass() {
    QApplication::restoreOverrideCursor();
}

} // namespace kav
