// A window package for the shell's tests: one snap-in whose window shows the context it was given.

#include "host/snapin/formsnapin.h"
#include "host/snapin/snapinregistry.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

class TUITestWindow final : public QWidget {
public:
    TUITestWindow() {
        setObjectName(QStringLiteral("UITestWindow"));
        setWindowTitle(QStringLiteral("测试窗口"));
        auto* context = new QLabel(this);
        context->setObjectName(QStringLiteral("ContextLabel"));
        context->setWordWrap(true);
        context->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("会话上下文:"), this));
        layout->addWidget(context, 1);
        auto* component = new kav::TKavCSnapIn(this);
        connect(component, &kav::TKavCSnapIn::ContextChanged, context,
                [context](const std::string& text) { context->setText(QString::fromStdString(text)); });
    }
};

class TCITestWindow final : public kav::TKavFormSnapIn<TUITestWindow> {};

const kav::TSnapInRegistration registration{"CITestWindow", kav::SnapInClass<TCITestWindow>(), "测试窗口"};

} // namespace
