#pragma once
// THourglass: the wait cursor for the length of a scope, restored however the scope ends (an exception
// included). Scopes nest. GUI thread only.

#include <QApplication>

namespace kav {

class THourglass final {
public:
    THourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~THourglass() { QApplication::restoreOverrideCursor(); }
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;
};

} // namespace kav
