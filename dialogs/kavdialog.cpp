#include "dialogs/kavdialog.h"

#include "dialogs/dialogfont.h"
#include "dialogs/inputbox.h"
#include "dialogs/kavmsgdlg.h"

#include <QCoreApplication>
#include <QSpinBox>
#include <cstdio>

namespace kav {

bool IsDebugging = false;

namespace {

TMessageDlg* sharedDlg = nullptr;
TUIInputBox* inputBox = nullptr;

// Run while the application object is still alive, so that fonts and widgets are torn down before it.
void FreeSharedDialogs() {
    delete sharedDlg;
    sharedDlg = nullptr;
    delete inputBox;
    inputBox = nullptr;
}

void FreeAtExitOnce() {
    static bool registered = false;
    if (!registered) {
        qAddPostRoutine(&FreeSharedDialogs);
        registered = true;
    }
}

int ShowShared(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons) {
    return SharedMessageDlg().Execute(msg, type, buttons, 0);
}

} // namespace

TMessageDlg& SharedMessageDlg() {
    if (sharedDlg == nullptr) {
        FreeAtExitOnce();
        sharedDlg = new TMessageDlg();
        QFont font = SongTiFont();
        font.setPixelSize(15);
        sharedDlg->SetFont(font);
    }
    return *sharedDlg;
}

int ShowWarningMessage(const std::string& Msg, const std::string&) {
    return ShowShared(Msg, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
}

int ShowErrorMessage(const std::string& Msg, const std::string&) {
    return ShowShared(Msg, TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
}

int ShowPromptMessage(const std::string& Msg, const std::string&) {
    return ShowShared(Msg, TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK});
}

int ShowConfirmMessage(const std::string& Msg, const std::string&) {
    return ShowShared(Msg, TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
}

int ShowYesNoCancelMessage(const std::string& Msg, const std::string&) {
    return ShowShared(Msg, TMsgDlgType::mtConfirmation,
                      {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel});
}

int ShowInputBox(const std::string& Caption, const std::string& Prompt, int, int, int Step) {
    if (inputBox == nullptr) {
        FreeAtExitOnce();
        inputBox = new TUIInputBox();
    }
    inputBox->setWindowTitle(QString::fromStdString(Caption));
    inputBox->SetPrompt(Prompt);
    inputBox->txtNum->setSingleStep(Step);
    return inputBox->Execute() == mrOk ? inputBox->txtNum->value() : 0;
}

void ShowHelpWindow(const std::string&) {}

void OutputDebugStr(const std::string& S) {
    if (!IsDebugging) return;
    std::fwrite(S.data(), 1, S.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace kav
