#include "snapins/orderhandler/ciorderhandler.h"

#include "host/snapin/kavcsnapin.h"
#include "host/snapin/rootwindow.h"
#include "host/snapin/snapinregistry.h"
#include "orderhandler/odrhpropwindows.h"
#include "orderhandler/uiorderhandler.h"

namespace kav::orderhandler {

TCIOrderHandler::~TCIOrderHandler() {
    Shutdown();
}

void TCIOrderHandler::SetContext(const std::string& Text) {
    context_ = Text;
}

void TCIOrderHandler::Execute() {
    // "订单取票" opens this package's order properties windows, unless others were installed (tests).
    if (!OrderWindows().openOrder) SetOrderWindows(OrderPropertiesWindows());
    if (!UIOrderHandler) UIOrderHandler = new TUIOrderHandler;
    UIOrderHandler->SnapInContext().SetContext(context_);
    ShowFormInRootWindow(UIOrderHandler);
}

void TCIOrderHandler::Shutdown() {
    // The window clears UIOrderHandler when it goes, whoever frees it.
    delete UIOrderHandler;
}

namespace {

const TSnapInRegistration registration{"CIOrderHandler", SnapInClass<TCIOrderHandler>(), "订单处理"};

} // namespace

} // namespace kav::orderhandler
