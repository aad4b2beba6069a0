#include "dialogs/readymadeforms.h"

#include "dialogs/dialogfont.h"
#include "dialogs/dialogimages.h"
#include "dialogs/dialogresponder.h"
#include "dialogs/msgdlgtypes.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kav {

TUIMsgForm::TUIMsgForm(QWidget* parent, std::string className, const char* caption, const char* imageName,
                       std::initializer_list<FormButton> buttons, QSize size)
    : QDialog(parent), className_(std::move(className)), size_(size) {
    setWindowTitle(QString::fromUtf8(caption));
    QFont font = SongTiFont();
    font.setPixelSize(12);
    setFont(font);

    imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(KavDialogImage(QString::fromLatin1(imageName)));
    imgIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    lblPrompt = new QLabel(this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setTextFormat(Qt::PlainText);
    lblPrompt->setWordWrap(true);
    lblPrompt->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);

    content_ = new QVBoxLayout;
    content_->addWidget(lblPrompt, 1);
    auto* body = new QHBoxLayout;
    body->setSpacing(12);
    body->addWidget(imgIcon, 0, Qt::AlignTop);
    body->addLayout(content_, 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    bool first = true;
    for (const FormButton& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setAutoDefault(true);
        if (first) {
            button->setDefault(true);
            button->setFocus();
            first = false;
        }
        if (b.cancel) cancel_ = button;
        const int result = b.modalResult;
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        buttons_.emplace_back(button, result);
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch(1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 16, 16, 12);
    outer->addLayout(body, 1);
    outer->addLayout(buttonRow);
    resize(size_);
}

void TUIMsgForm::SetPrompt(const std::string& prompt) {
    lblPrompt->setText(QString::fromStdString(prompt));
    // Grow downwards when a long prompt needs more lines than the form's usual height.
    resize(size_.width(), std::max(size_.height(), layout()->totalHeightForWidth(size_.width())));
}

int TUIMsgForm::Execute() {
    DialogRecord record;
    record.type = className_;
    record.caption = windowTitle().toStdString();
    record.text = lblPrompt->text().toStdString();
    for (const auto& [button, result] : buttons_) {
        record.buttons.push_back({button->objectName().toStdString(), button->text().toStdString(), result});
        if (button->isDefault()) record.defaultResult = result;
        if (button == cancel_) record.escapeResult = result;
    }
    if (const std::optional<DialogAnswer> answer = AskDialogResponder(record)) {
        if (answer->modalResult == mrOk) TakeAnswer(*answer);
        return answer->modalResult;
    }
    return exec();
}

void TUIMsgForm::reject() {
    done(2);
}

void TUIMsgForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cancel_ != nullptr) cancel_->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

namespace {
constexpr QSize kMsgFormSize(295, 153);
} // namespace

TUIPromptMsg::TUIPromptMsg(QWidget* parent)
    : TUIMsgForm(parent, "TUIPromptMsg", "提示", "remind", {{"btnOK", "确定(&O)", 1, false}}, kMsgFormSize) {}

TUIWarningMsg::TUIWarningMsg(QWidget* parent)
    : TUIMsgForm(parent, "TUIWarningMsg", "警告！！！", "notice", {{"btnOK", "确定(&O)", 1, false}},
                 kMsgFormSize) {}

TUIErrorMsg::TUIErrorMsg(QWidget* parent)
    : TUIMsgForm(parent, "TUIErrorMsg", "出错了！！！", "error", {{"btnOK", "确定(&O)", 1, false}},
                 kMsgFormSize) {}

TUIConfirmMsg::TUIConfirmMsg(QWidget* parent)
    : TUIMsgForm(parent, "TUIConfirmMsg", "请确认", "ok",
                 {{"btnYes", "是(&Y)", 6, false}, {"btnNo", "否(&N)", 7, true}}, kMsgFormSize) {}

TUIYesNoCancelMsg::TUIYesNoCancelMsg(QWidget* parent)
    : TUIMsgForm(
          parent, "TUIYesNoCancelMsg", "是否确认", "which",
          {{"btnYes", "是(&Y)", 6, false}, {"btnNo", "否(&N)", 7, false}, {"btnCancel", "取消", 2, true}},
          kMsgFormSize) {}

} // namespace kav
