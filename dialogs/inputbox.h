#pragma once
// TUIInputBox: the "请输入" form that asks for a number (txtNum). "确定(&O)" gives 1; "关闭" and Esc close
// it with 2. Always on top. ShowInputBox keeps one for the whole process.

#include "dialogs/readymadeforms.h"

class QSpinBox;

namespace kav {

class TUIInputBox final : public TUIMsgForm {
public:
    explicit TUIInputBox(QWidget* parent = nullptr);

    QSpinBox* txtNum = nullptr;

protected:
    void TakeAnswer(const DialogAnswer& answer) override;
};

} // namespace kav
