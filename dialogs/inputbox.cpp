#include "dialogs/inputbox.h"

#include "dialogs/dialogresponder.h"

#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

namespace kav {

TUIInputBox::TUIInputBox(QWidget* parent)
    : TUIMsgForm(parent, "TUIInputBox", "请输入", "remind",
                 {{"btnOK", "确定(&O)", 1, false}, {"btnClose", "关闭", 2, true}}, QSize(402, 182)) {
    setWindowFlag(Qt::WindowStaysOnTopHint);
    txtNum = new QSpinBox(this);
    txtNum->setObjectName(QStringLiteral("txtNum"));
    txtNum->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    txtNum->setMinimumWidth(160);
    Content()->setStretch(0, 0);
    Content()->addWidget(txtNum, 0, Qt::AlignLeading);
    Content()->addStretch(1);
}

void TUIInputBox::TakeAnswer(const DialogAnswer& answer) {
    txtNum->setValue(answer.value);
}

} // namespace kav
