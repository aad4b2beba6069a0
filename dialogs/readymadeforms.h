#pragma once
// The ready-made message forms: a prompt label, an image and fixed buttons.
//
//   TUIPromptMsg      "提示"       remind  确定(&O) -> 1
//   TUIWarningMsg     "警告！！！" notice  确定(&O) -> 1
//   TUIErrorMsg       "出错了！！！" error   确定(&O) -> 1
//   TUIConfirmMsg     "请确认"     ok      是(&Y) -> 6, 否(&N) -> 7 (Esc)
//   TUIYesNoCancelMsg "是否确认"   which   是(&Y) -> 6, 否(&N) -> 7, 取消 -> 2 (Esc)
//
// Enter presses the first button; Esc presses the cancel button and does nothing in a form without one;
// closing by the frame gives 2. Show them with Execute, which goes through the test seam.

#include <QDialog>
#include <initializer_list>
#include <string>
#include <vector>

class QKeyEvent;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace kav {

struct DialogAnswer;

struct FormButton {
    const char* name;
    const char* caption; // UTF-8
    int modalResult;
    bool cancel; // pressed by Esc
};

class TUIMsgForm : public QDialog {
public:
    QLabel* lblPrompt = nullptr;
    QLabel* imgIcon = nullptr;

    void SetPrompt(const std::string& prompt);
    // Shows the form modally (or asks the test responder) and returns the modal result.
    int Execute();

    void reject() override;

protected:
    TUIMsgForm(QWidget* parent, std::string className, const char* caption, const char* imageName,
               std::initializer_list<FormButton> buttons, QSize size);

    // The column under the prompt, for forms that ask for more than a button.
    QVBoxLayout* Content() const { return content_; }
    // Applies what the test responder answered beyond the button (the input box takes the number).
    virtual void TakeAnswer(const DialogAnswer&) {}

    void keyPressEvent(QKeyEvent* event) override;

private:
    std::string className_;
    QSize size_;
    QVBoxLayout* content_ = nullptr;
    std::vector<std::pair<QPushButton*, int>> buttons_;
    QPushButton* cancel_ = nullptr;
};

class TUIPromptMsg final : public TUIMsgForm {
public:
    explicit TUIPromptMsg(QWidget* parent = nullptr);
};

class TUIWarningMsg final : public TUIMsgForm {
public:
    explicit TUIWarningMsg(QWidget* parent = nullptr);
};

class TUIErrorMsg final : public TUIMsgForm {
public:
    explicit TUIErrorMsg(QWidget* parent = nullptr);
};

class TUIConfirmMsg final : public TUIMsgForm {
public:
    explicit TUIConfirmMsg(QWidget* parent = nullptr);
};

class TUIYesNoCancelMsg final : public TUIMsgForm {
public:
    explicit TUIYesNoCancelMsg(QWidget* parent = nullptr);
};

} // namespace kav
