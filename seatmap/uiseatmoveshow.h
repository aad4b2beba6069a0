#pragma once
// TUISeatMoveShow: "移动座位", how far and which way to move the selected seats. The values of the
// last OK are offered again the next time, in every map of the process.
// Threading: GUI thread only.

#include "seatmap/seatediting.h"

#include <QDialog>
#include <optional>

class QSpinBox;

namespace kav {

class TKavDirectionGroup;

class TUISeatMoveShow final : public QDialog {
    Q_OBJECT

public:
    explicit TUISeatMoveShow(QWidget* parent = nullptr);

    TKavSeatMove Values() const;
    void SetValues(const TKavSeatMove& values);

    // Shows the dialog modally with the last values; the values on OK (remembered), else none.
    static std::optional<TKavSeatMove> Ask(QWidget* parent);

private:
    TKavDirectionGroup* direction_;
    QSpinBox* step_;
};

} // namespace kav
