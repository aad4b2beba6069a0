#include "seatmap/seatinfopanel.h"

#include <QLabel>

namespace kav {
namespace {

constexpr int kWidth = 235;
constexpr int kHeight = 122;
constexpr int kHeightWithRemark = 145;
constexpr int kLinePitch = 17;

const char* const kCaptions[] = {"分区:", "楼层:", "排次:", "座位:", "票价:", "票价标记:", "预留备注:"};
const char* const kValueNames[] = {"SectionValue", "FloorValue",     "RowValue",   "SeatValue",
                                   "PriceValue",   "PriceMarkValue", "RemarkValue"};

} // namespace

TKavSeatInfoPanel::TKavSeatInfoPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("SeatInfoPanel"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    int top = 4;
    for (int item = 0; item < ItemCount; ++item) {
        auto* caption = new QLabel(QString::fromUtf8(kCaptions[item]), this);
        auto* value = new QLabel(this);
        value->setObjectName(QString::fromLatin1(kValueNames[item]));
        const bool mark = item == PriceMark;
        const int height = mark ? kLinePitch + 4 : kLinePitch;
        caption->setGeometry(6, top, 64, height);
        value->setGeometry(72, top, kWidth - 78, height);
        if (mark) {
            QFont font = value->font();
            font.setPointSize(12);
            value->setFont(font);
            value->setStyleSheet(QStringLiteral("color: #800000"));
        }
        captions_[static_cast<std::size_t>(item)] = caption;
        values_[static_cast<std::size_t>(item)] = value;
        top += height;
    }
    SetRemarkShown(false);
}

void TKavSeatInfoPanel::SetValue(Item item, const std::string& value) {
    values_[static_cast<std::size_t>(item)]->setText(QString::fromStdString(value));
}

std::string TKavSeatInfoPanel::Value(Item item) const {
    return values_[static_cast<std::size_t>(item)]->text().toStdString();
}

void TKavSeatInfoPanel::Clear() {
    for (QLabel* value : values_)
        value->clear();
}

void TKavSeatInfoPanel::SetRemarkShown(bool shown) {
    captions_[Remark]->setVisible(shown);
    values_[Remark]->setVisible(shown);
    resize(kWidth, shown ? kHeightWithRemark : kHeight);
}

} // namespace kav
