#include "orderhandler/odrhorderwindows.h"

#include <utility>

namespace kav::orderhandler {

namespace {

TOrderWindows& Installed() {
    static TOrderWindows windows;
    return windows;
}

} // namespace

const TOrderWindows& OrderWindows() {
    return Installed();
}

TOrderWindows SetOrderWindows(TOrderWindows windows) {
    return std::exchange(Installed(), std::move(windows));
}

} // namespace kav::orderhandler
