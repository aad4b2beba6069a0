#include "dialogs/kavmsgdlg.h"

#include "dialogs/dialogfont.h"
#include "dialogs/dialogresponder.h"
#include "dialogs/kavdialog.h"
#include "dialogs/msgdlgmemory.h"
#include "platform/core/textcodec.h"

#include <QApplication>
#include <QProgressBar>
#include <QStyle>
#include <algorithm>
#include <memory>

namespace kav {
namespace {

constexpr const char* kDefaultCheckBoxCaption = "&Don't show this message again.";
constexpr int kFormFontPointSize = 10;

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

TMessageDlg::TMessageDlg(QObject* owner)
    : QObject(owner), checkBoxCaption_(kDefaultCheckBoxCaption), gaugeForeColor_(Qt::blue) {
    font_ = SongTiFont();
    font_.setPointSize(11);
    buttonFont_ = font_;
    color_ = QGuiApplication::palette().color(QPalette::Button);
    gaugeBackColor_ = QGuiApplication::palette().color(QPalette::Base);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &TMessageDlg::Tick);
}

TMessageDlg::~TMessageDlg() {
    delete form_.data();
}

void TMessageDlg::SetMsg(std::string msg) {
    msg_ = std::move(msg);
    if (form_) form_->SetMessage(ToQString(msg_));
}

void TMessageDlg::SetButtons(TMsgDlgButtons buttons) {
    buttons_ = buttons;
    FixTimeOutResult();
}

void TMessageDlg::SetCheckBoxCaption(std::string caption) {
    checkBoxCaption_ = caption.empty() ? std::string(kDefaultCheckBoxCaption) : std::move(caption);
}

void TMessageDlg::SetIniItem(std::string item) {
    if (EqualsIgnoringCase(item, "MsgDlgValue"))
        throw EMessageDlgError("MsgDlgValue is reserved for internal use by this component.\\nPlease select "
                               "another name for the IniItem property.");
    iniItem_ = std::move(item);
}

void TMessageDlg::SetTimeOut(int seconds) {
    timeOut_ = std::clamp(seconds, 0, 255);
    FixTimeOutResult();
}

void TMessageDlg::SetTimeOutResult(TTimeOutResult result) {
    timeOutResult_ = result;
    FixTimeOutResult();
}

void TMessageDlg::SetModeless(bool on) {
    modeless_ = on;
    if (on) checkBox_ = false;
}

// A time-out should end the dialog the way one of its buttons could.
void TMessageDlg::FixTimeOutResult() {
    if (timeOut_ == 0 || timeOutResult_ == TTimeOutResult::trNone) return;
    std::optional<int> first;
    for (TMsgDlgBtn b : kAllMsgDlgBtns) {
        const int result = ButtonInfo(b).modalResult;
        if (!buttons_.Contains(b) || result == mrNone) continue;
        if (result == static_cast<int>(timeOutResult_)) return;
        if (!first) first = result;
    }
    if (first) timeOutResult_ = static_cast<TTimeOutResult>(*first);
}

bool TMessageDlg::HasIniNames() const {
    return !iniFile_.empty() && !iniSection_.empty() && !iniItem_.empty();
}

void TMessageDlg::CheckIniNames() const {
    if (iniFile_.empty()) throw EMessageDlgError("IniFile property not specified");
    if (iniSection_.empty()) throw EMessageDlgError("IniSection property not specified");
    if (iniItem_.empty()) throw EMessageDlgError("IniItem property not specified");
}

QString TMessageDlg::Caption() const {
    if (dlgType_ != TMsgDlgType::mtCustom) {
        const std::string_view caption = DlgTypeCaption(dlgType_);
        return QString::fromUtf8(caption.data(), qsizetype(caption.size()));
    }
    return customCaption_.empty() ? QGuiApplication::applicationDisplayName() : ToQString(customCaption_);
}

QIcon TMessageDlg::Icon() const {
    QStyle* style = QApplication::style();
    switch (dlgType_) {
    case TMsgDlgType::mtWarning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case TMsgDlgType::mtError:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case TMsgDlgType::mtInformation:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case TMsgDlgType::mtConfirmation:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case TMsgDlgType::mtCustom:
        break;
    }
    return customIcon_;
}

DialogRecord TMessageDlg::Describe() const {
    DialogRecord record;
    record.type = std::string(DlgTypeName(dlgType_));
    record.caption = Caption().toStdString();
    record.text = msg_;
    for (TMsgDlgBtn b : kAllMsgDlgBtns) {
        if (!buttons_.Contains(b)) continue;
        const MsgDlgButtonInfo& info = ButtonInfo(b);
        record.buttons.push_back({std::string(info.name), std::string(info.caption), info.modalResult});
    }
    if (const auto b = DefaultButtonOf(buttons_)) record.defaultResult = ButtonInfo(*b).modalResult;
    if (const auto b = CancelButtonOf(buttons_)) record.escapeResult = ButtonInfo(*b).modalResult;
    if (timeOut_ > 0 && timeOutResult_ != TTimeOutResult::trNone)
        record.timeOutResult = static_cast<int>(timeOutResult_);
    record.checkBox = checkBox_;
    record.modeless = modeless_;
    return record;
}

int TMessageDlg::Execute(std::string msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
    SetMsg(std::move(msg));
    SetDlgType(type);
    SetButtons(buttons);
    SetHelpContext(helpContext);
    return Execute();
}

int TMessageDlg::Execute() {
    int result = mrOk;
    if (checkBox_) {
        if (!allowBlankIni_) CheckIniNames();
        if (HasIniNames()) {
            const RememberedAnswer remembered =
                ReadRememberedAnswer({useRegistry_, iniFile_, iniSection_, iniItem_});
            if (remembered.skip) return remembered.result;
            result = remembered.result;
        }
    }

    // A form still shown from a modeless Execute gives way to the new one.
    if (form_ && !form_->isModal()) {
        form_->done(mrCancel);
        delete form_.data();
    }

    if (const std::optional<DialogAnswer> answer = AskDialogResponder(Describe())) {
        if (modeless_) return result;
        Store(answer->modalResult, checkBox_ && answer->dontShowAgain);
        return answer->modalResult;
    }

    MessageFormOptions options;
    options.caption = Caption();
    options.text = ToQString(msg_);
    options.icon = Icon();
    options.buttons = buttons_;
    options.font = font_;
    options.font.setPointSize(kFormFontPointSize);
    options.buttonFont = buttonFont_;
    options.color = color_;
    options.checkBox = checkBox_;
    options.checkBoxCaption = ToQString(checkBoxCaption_);
    options.gaugeMax = gaugeMaxValue_;
    options.gaugeForeColor = gaugeForeColor_;
    options.gaugeBackColor = gaugeBackColor_;
    options.gaugeShowText = gaugeShowText_;
    options.countdown = timeOut_ > 0 && showCountdown_;
    options.onHelp = [context = helpContext_] { ShowHelpWindow(std::to_string(context)); };
    auto* form = new TMessageForm(options);
    form_ = form;
    if (timeOut_ > 0) {
        countdown_ = timeOut_;
        form->SetCountdown(countdown_);
        timer_.start();
    }

    if (modeless_) {
        connect(form, &QDialog::finished, this, [this, form](int answer) {
            Store(answer, false);
            form->deleteLater();
        });
        form->show();
        form->repaint();
        return result;
    }

    const std::unique_ptr<TMessageForm> owned(form);
    result = form->exec();
    const bool skip = checkBox_ && form->DontShowAgain();
    Store(result, skip);
    return result;
}

void TMessageDlg::Tick() {
    if (!form_) {
        timer_.stop();
        return;
    }
    --countdown_;
    form_->SetCountdown(countdown_);
    if (countdown_ > 0) return;
    timer_.stop();
    if (timeOutResult_ != TTimeOutResult::trNone) form_->done(static_cast<int>(timeOutResult_));
}

void TMessageDlg::Store(int result, bool skip) {
    timer_.stop();
    if (checkBox_ && HasIniNames())
        WriteRememberedAnswer({useRegistry_, iniFile_, iniSection_, iniItem_}, {skip, result});
}

void TMessageDlg::Show() {
    if (form_) form_->show();
}

void TMessageDlg::Hide() {
    if (form_) form_->hide();
}

void TMessageDlg::Close() {
    if (form_) form_->close();
}

void TMessageDlg::IncGauge(int by) {
    if (form_ && form_->Gauge() != nullptr)
        form_->Gauge()->setValue(std::min(form_->Gauge()->value() + by, form_->Gauge()->maximum()));
}

} // namespace kav
