#pragma once
// TRollOutGroup: a titled group whose content rolls in and out when its title is clicked (or when the
// title button has the focus and Space is pressed), so a window with many search fields can give the
// room to its results.
//
// Threading: GUI thread only.

#include <QWidget>

class QToolButton;

namespace kav {

class TRollOutGroup final : public QWidget {
    Q_OBJECT

public:
    explicit TRollOutGroup(const QString& title, QWidget* parent = nullptr);

    // The widget that holds the group's controls; give it a layout.
    QWidget* Content() const noexcept { return content_; }
    bool Expanded() const;
    void SetExpanded(bool expanded);

private:
    QToolButton* header_ = nullptr;
    QWidget* content_ = nullptr;
};

} // namespace kav
