#pragma once
// The one seam through which tests answer dialogs.
//
// Every dialog of this library (the message dialog and the functions built on it, the ready-made forms,
// the input box, the message editor) describes itself as a DialogRecord and asks the installed responder
// before it shows anything. With a responder installed nothing is shown: the responder's answer is taken
// as what the user did. Without one the dialog is real and modal.
//
// Typical test use (GoogleTest or Qt Test alike):
//
//     kav::ScriptedDialogResponder dialogs;      // installed until the end of the scope
//     dialogs.Push(kav::mrYes);                  // answer to the first dialog
//     window.DeleteOrder();                      // shows "请确认", gets 6
//     ASSERT_EQ(dialogs.Log().size(), 1u);
//     EXPECT_EQ(dialogs.Log()[0].caption, "请确认");
//     EXPECT_TRUE(dialogs.Problems().empty());   // no dialog beyond the script, no impossible answer
//
// Threading: dialogs run on the GUI thread only, and so does the responder.

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kav {

struct DialogButton {
    std::string name;    // control name ("Yes", "OK", ...)
    std::string caption; // as shown, with "&" before the mnemonic letter
    int modalResult = 0; // 0: does not close the dialog
};

struct DialogRecord {
    // "warning", "error", "information", "confirmation", "custom" for the message dialog; the class name
    // ("TUIConfirmMsg", "TUIInputBox", ...) for the ready-made forms.
    std::string type;
    std::string caption;
    std::string text;                  // message or prompt, UTF-8
    std::vector<DialogButton> buttons; // left to right
    std::optional<int> defaultResult;  // what Enter gives
    std::optional<int> escapeResult;   // what Esc gives; none when Esc does nothing
    std::optional<int> timeOutResult;  // set when the dialog closes itself after a time
    bool checkBox = false;             // the don't-show-again box is shown
    bool modeless = false;             // shown without waiting; its answer is not asked for

    // Whether a user could end the dialog with this result: a closing button, the frame (2), the time-out.
    bool Offers(int modalResult) const;
    // One line for failure messages: type, caption, text and buttons.
    std::string ToString() const;
};

struct DialogAnswer {
    int modalResult = 2;        // as if the user had pressed this button (2 also: closed by the frame)
    bool dontShowAgain = false; // ticks the don't-show-again box, when the dialog has one
    int value = 0;              // typed into the input box
};

class DialogResponder {
public:
    virtual ~DialogResponder() = default;
    // Called instead of showing the dialog. For a modeless dialog the answer is ignored.
    virtual DialogAnswer Respond(const DialogRecord& dialog) = 0;
};

// Installs a responder (nullptr: dialogs are real again) and returns the one it replaces. The caller keeps
// ownership and must uninstall it before destroying it.
DialogResponder* SetDialogResponder(DialogResponder* responder);
// The installed responder's answer, or nullopt when dialogs are real.
std::optional<DialogAnswer> AskDialogResponder(const DialogRecord& dialog);

// Records every dialog and answers the modal ones from a queue, in order. Installs itself on construction
// and puts the previous responder back on destruction (scopes nest).
//
// A dialog beyond the script, or an answer the dialog cannot give (6 to an OK-only box), is noted in
// Problems() and answered as Esc would (or 2 when Esc does nothing), so a test never blocks.
class ScriptedDialogResponder final : public DialogResponder {
public:
    ScriptedDialogResponder();
    ~ScriptedDialogResponder() override;
    ScriptedDialogResponder(const ScriptedDialogResponder&) = delete;
    ScriptedDialogResponder& operator=(const ScriptedDialogResponder&) = delete;

    ScriptedDialogResponder& Push(int modalResult);
    ScriptedDialogResponder& Push(DialogAnswer answer);

    DialogAnswer Respond(const DialogRecord& dialog) override;

    const std::vector<DialogRecord>& Log() const { return log_; }
    std::vector<std::string> Problems() const { return problems_; }
    std::size_t PendingAnswers() const { return script_.size(); }
    void Clear();

private:
    DialogResponder* previous_ = nullptr;
    std::deque<DialogAnswer> script_;
    std::vector<DialogRecord> log_;
    std::vector<std::string> problems_;
};

} // namespace kav
