#pragma once
// TUISeatCopyShow: "复制座位", which way, how far apart and how often to copy the selected seats, and
// whether seat or row numbers count on from copy to copy. The values of the last OK are offered again
// the next time, in every map of the process.
// Threading: GUI thread only.

#include "seatmap/seatediting.h"

#include <QDialog>
#include <optional>

class QButtonGroup;
class QSpinBox;

namespace kav {

class TKavDirectionGroup;

class TUISeatCopyShow final : public QDialog {
    Q_OBJECT

public:
    explicit TUISeatCopyShow(QWidget* parent = nullptr);

    TKavSeatCopy Values() const;
    void SetValues(const TKavSeatCopy& values);

    // Shows the dialog modally with the last values; the values on OK (remembered), else none.
    static std::optional<TKavSeatCopy> Ask(QWidget* parent);

private:
    TKavDirectionGroup* direction_;
    QSpinBox* step_;
    QButtonGroup* entity_;
    QSpinBox* increment_;
    QSpinBox* times_;
};

} // namespace kav
