#pragma once
// TUIOrderHandlerTitleSetting ("销售信息显示设置"): which of the 26 order-list columns are shown, and in
// which order. The dialog works on a copy of the column list; "确定" writes the copy back and closes with
// Accepted, "关闭" closes and leaves the list as it was.
//
// Keys: Space ticks the selected column, Alt+Up and Alt+Down move it.
// Threading: GUI thread only.

#include "orderhandler/odrhrecords.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace kav::orderhandler {

class TUIOrderHandlerTitleSetting final : public QDialog {
    Q_OBJECT

public:
    explicit TUIOrderHandlerTitleSetting(QWidget* parent = nullptr);

    // Shows the dialog on `columns`; on Accepted the list holds the user's choice (not yet numbered).
    int ShowCustomModal(TOrderTitleInfoList& columns);

    void Load(const TOrderTitleInfoList& columns);
    const TOrderTitleInfoList& Columns() const noexcept { return columns_; }
    void MoveUp();
    void MoveDown();

private:
    void Fill();
    void Swap(int row, int other);
    void UpdateButtons();

    TOrderTitleInfoList columns_;
    QListWidget* list_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
};

} // namespace kav::orderhandler
