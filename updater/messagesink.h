#pragma once
// The one place through which the updater shows its messages, so that tests can record them instead
// of blocking on a modal box.

#include <string>

class QWidget;

namespace kav {

class TMessageSink {
public:
    virtual ~TMessageSink() = default;
    // Shows `text` (UTF-8) and returns once the user has read it.
    virtual void ShowMessage(QWidget* parent, const std::string& text) = 0;
};

// Shows each message in a modal information box titled with the application name.
class TMessageBoxSink final : public TMessageSink {
public:
    void ShowMessage(QWidget* parent, const std::string& text) override;
};

} // namespace kav
