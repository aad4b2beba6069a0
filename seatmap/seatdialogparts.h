#pragma once
// Pieces the seat map's dialogs share: the direction choice and the "确定(&O)" / "关闭" buttons.
// Threading: GUI thread only.

#include <QGroupBox>

class QButtonGroup;
class QDialog;
class QDialogButtonBox;
class QPushButton;

namespace kav {

// Radio buttons "向左" L, "向上" T, "向右" R, "向下" B, in a row.
class TKavDirectionGroup final : public QGroupBox {
    Q_OBJECT

public:
    explicit TKavDirectionGroup(QWidget* parent = nullptr);
    char Direction() const;
    // Other letters choose "向左".
    void SetDirection(char direction);

private:
    QButtonGroup* buttons_;
};

// "确定(&O)" (object name "OK", the default button, accepts) and "关闭" ("Close", rejects).
QDialogButtonBox* MakeDialogButtons(QDialog& dialog);
QPushButton* OkButtonOf(QDialogButtonBox& buttons);

} // namespace kav
