#pragma once
// TKavCSnapIn: the context component on every snap-in window and report window. The snap-in hands it the
// session context text at each Execute; the window answers ContextChanged by loading the text into its own
// TKavContext.
//
// Threading: GUI thread only; the signal is delivered directly.

#include <QObject>
#include <string>

namespace kav {

class TKavCSnapIn final : public QObject {
    Q_OBJECT

public:
    explicit TKavCSnapIn(QObject* parent = nullptr);

    // Stores the text and emits ContextChanged, also when the text is the same: each Execute re-sends it.
    void SetContext(const std::string& Text);
    const std::string& Context() const noexcept { return context_; }

signals:
    void ContextChanged(const std::string& Text);

private:
    std::string context_;
};

} // namespace kav
