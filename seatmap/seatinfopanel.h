#pragma once
// TKavSeatInfoPanel: the floating panel of the composite seat map that tells about the seat under the
// mouse: section, floor, row, seat, price, price mark (larger, in dark red) and, when the screen keeps
// reservation remarks, the remark. Each value sits beside its caption; values are plain texts.
//
// GUI thread only.

#include <QFrame>
#include <array>
#include <string>

class QLabel;

namespace kav {

class TKavSeatInfoPanel : public QFrame {
    Q_OBJECT

public:
    enum Item { Section, Floor, Row, Seat, Price, PriceMark, Remark, ItemCount };

    explicit TKavSeatInfoPanel(QWidget* parent = nullptr);

    void SetValue(Item item, const std::string& value);
    std::string Value(Item item) const;
    void Clear();
    // The remark line is shown only for screens that keep remarks; the panel grows for it.
    void SetRemarkShown(bool shown);

private:
    std::array<QLabel*, ItemCount> captions_{};
    std::array<QLabel*, ItemCount> values_{};
};

} // namespace kav
