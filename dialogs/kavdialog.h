#pragma once
// The dialog functions every window uses for its messages. Each shows a modal dialog (or asks the test
// responder of dialogresponder.h) and returns the modal result:
//
//   ShowWarningMessage     "警告"     OK            -> 1
//   ShowErrorMessage       "错误信息" OK            -> 1
//   ShowPromptMessage      "操作提示" OK            -> 1
//   ShowConfirmMessage     "请确认"   Yes, No       -> 6 (Enter) or 7 (Esc)
//   ShowYesNoCancelMessage "请确认"   Yes, No, Cancel -> 6 (Enter), 7, or 2 (Esc)
//
// Closing a dialog by its frame gives 2. The second argument is accepted for the callers' sake and shown
// nowhere. All run on one process-wide TMessageDlg, created on first use. GUI thread only.

#include <string>

namespace kav {

class TMessageDlg;

int ShowWarningMessage(const std::string& Msg, const std::string& Caption = {});
int ShowErrorMessage(const std::string& Msg, const std::string& Caption = {});
int ShowPromptMessage(const std::string& Msg, const std::string& Caption = {});
int ShowConfirmMessage(const std::string& Msg, const std::string& Caption = {});
int ShowYesNoCancelMessage(const std::string& Msg, const std::string& Caption = {});

// Asks for a number in the "请输入" box: Caption is the box's caption, Prompt its prompt, Step the step of
// the number field; A and B are accepted and not used. Returns the number when confirmed, else 0. The box
// is created on first use and kept, so the last number stays in it.
int ShowInputBox(const std::string& Caption, const std::string& Prompt, int A, int B, int Step);

// Help topics are not shown by this client.
void ShowHelpWindow(const std::string& Topic);

// Off at start. While on, OutputDebugStr writes to standard output.
extern bool IsDebugging;
void OutputDebugStr(const std::string& S);

// The process-wide dialog behind the functions above: no check box, time-out or gauge.
TMessageDlg& SharedMessageDlg();

} // namespace kav
