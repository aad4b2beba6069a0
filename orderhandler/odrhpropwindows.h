#pragma once
// The order properties windows of this package as the order window opens them ("订单取票"): the
// single-order window, or the multi-order window on the orders of an exact search. The order
// handler's snap-in installs them with SetOrderWindows.
//
// Threading: GUI thread only.

#include "orderhandler/odrhorderwindows.h"

namespace kav::orderhandler {

TOrderWindows OrderPropertiesWindows();

} // namespace kav::orderhandler
