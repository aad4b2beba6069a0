#pragma once
// TMessageDlg: the configurable message dialog behind the dialog functions.
//
// Set the properties, then Execute. A modal Execute returns the button's modal result (2 when closed by the
// frame, TimeOutResult when the time ran out). With CheckBox and the three ini names set, a user who ticked
// "don't show again" gets the remembered answer from then on without seeing the dialog.
//
// A modeless Execute shows the form and returns 1 at once; Show, Hide, Close, IncGauge and Msg then act on
// the shown form until a button closes it.
//
// Throws EMessageDlgError for a missing ini name and for the reserved IniItem name; std::runtime_error
// when the memory file cannot be read or written. GUI thread only. Dialogs go through the test seam of
// dialogresponder.h.

#include "dialogs/messageform.h"
#include "dialogs/msgdlgtypes.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <stdexcept>
#include <string>

namespace kav {

struct DialogRecord;

class EMessageDlgError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TMessageDlg final : public QObject {
public:
    explicit TMessageDlg(QObject* owner = nullptr);
    ~TMessageDlg() override;

    const std::string& Msg() const { return msg_; }
    void SetMsg(std::string msg);
    TMsgDlgType DlgType() const { return dlgType_; }
    void SetDlgType(TMsgDlgType type) { dlgType_ = type; }
    TMsgDlgButtons Buttons() const { return buttons_; }
    void SetButtons(TMsgDlgButtons buttons);
    const std::string& CustomCaption() const { return customCaption_; }
    void SetCustomCaption(std::string caption) { customCaption_ = std::move(caption); }
    const QIcon& CustomIcon() const { return customIcon_; }
    void SetCustomIcon(QIcon icon) { customIcon_ = std::move(icon); }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }
    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(std::string file) { helpFile_ = std::move(file); }
    const QFont& Font() const { return font_; }
    void SetFont(QFont font) { font_ = std::move(font); }
    const QFont& ButtonFont() const { return buttonFont_; }
    void SetButtonFont(QFont font) { buttonFont_ = std::move(font); }
    const QColor& Color() const { return color_; }
    void SetColor(QColor color) { color_ = color; }

    bool CheckBox() const { return checkBox_; }
    // Stays false while Modeless.
    void SetCheckBox(bool on) { checkBox_ = on && !modeless_; }
    const std::string& CheckBoxCaption() const { return checkBoxCaption_; }
    // An empty caption restores "&Don't show this message again.".
    void SetCheckBoxCaption(std::string caption);
    const std::string& IniFile() const { return iniFile_; }
    void SetIniFile(std::string file) { iniFile_ = std::move(file); }
    const std::string& IniSection() const { return iniSection_; }
    void SetIniSection(std::string section) { iniSection_ = std::move(section); }
    const std::string& IniItem() const { return iniItem_; }
    // "MsgDlgValue" in any letter case is refused with EMessageDlgError; the old name stays.
    void SetIniItem(std::string item);
    bool UseRegistry() const { return useRegistry_; }
    void SetUseRegistry(bool on) { useRegistry_ = on; }
    bool AllowBlankINI() const { return allowBlankIni_; }
    void SetAllowBlankINI(bool on) { allowBlankIni_ = on; }

    int TimeOut() const { return timeOut_; }
    // Seconds, clamped to 0..255; 0: no time-out.
    void SetTimeOut(int seconds);
    TTimeOutResult TimeOutResult() const { return timeOutResult_; }
    // With a time-out set, a result that no shown button gives is replaced by the first shown button's.
    void SetTimeOutResult(TTimeOutResult result);
    bool ShowCountdown() const { return showCountdown_; }
    void SetShowCountdown(bool on) { showCountdown_ = on; }

    int GaugeMaxValue() const { return gaugeMaxValue_; }
    void SetGaugeMaxValue(int max) { gaugeMaxValue_ = max; }
    const QColor& GaugeForeColor() const { return gaugeForeColor_; }
    void SetGaugeForeColor(QColor color) { gaugeForeColor_ = color; }
    const QColor& GaugeBackColor() const { return gaugeBackColor_; }
    void SetGaugeBackColor(QColor color) { gaugeBackColor_ = color; }
    bool GaugeShowText() const { return gaugeShowText_; }
    void SetGaugeShowText(bool on) { gaugeShowText_ = on; }

    bool Modeless() const { return modeless_; }
    // Turning it on turns CheckBox off.
    void SetModeless(bool on);

    std::string Version() const { return "1.3"; }
    void SetVersion(const std::string&) {}

    int Execute();
    int Execute(std::string msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);

    // On the shown form; nothing when none is shown.
    void Show();
    void Hide();
    void Close();
    void IncGauge(int by = 1);

    // The form while one is shown (tests reach its controls through it); null otherwise.
    TMessageForm* ShownForm() const { return form_; }

private:
    bool HasIniNames() const;
    void CheckIniNames() const;
    QString Caption() const;
    QIcon Icon() const;
    DialogRecord Describe() const;
    void StartTimer();
    void Tick();
    void Store(int result, bool skip);
    void FixTimeOutResult();

    std::string msg_;
    TMsgDlgType dlgType_ = TMsgDlgType::mtWarning;
    TMsgDlgButtons buttons_{TMsgDlgBtn::mbOK};
    std::string customCaption_;
    QIcon customIcon_;
    int helpContext_ = 0;
    std::string helpFile_;
    QFont font_;
    QFont buttonFont_;
    QColor color_;
    bool checkBox_ = false;
    std::string checkBoxCaption_;
    std::string iniFile_;
    std::string iniSection_;
    std::string iniItem_;
    bool useRegistry_ = false;
    bool allowBlankIni_ = false;
    int timeOut_ = 0;
    TTimeOutResult timeOutResult_ = TTimeOutResult::trCancel;
    bool showCountdown_ = false;
    int gaugeMaxValue_ = 0;
    QColor gaugeForeColor_;
    QColor gaugeBackColor_;
    bool gaugeShowText_ = true;
    bool modeless_ = false;

    QPointer<TMessageForm> form_;
    QTimer timer_;
    int countdown_ = 0;
};

} // namespace kav
