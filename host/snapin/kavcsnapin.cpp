#include "host/snapin/kavcsnapin.h"

namespace kav {

TKavCSnapIn::TKavCSnapIn(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("KavCSnapIn"));
}

void TKavCSnapIn::SetContext(const std::string& Text) {
    context_ = Text;
    emit ContextChanged(context_);
}

} // namespace kav
