#include "dialogs/dialogresponder.h"

#include <algorithm>
#include <utility>

namespace kav {
namespace {
DialogResponder* installedResponder = nullptr;
} // namespace

bool DialogRecord::Offers(int modalResult) const {
    if (modalResult == 2 || timeOutResult == modalResult) return true;
    return std::any_of(buttons.begin(), buttons.end(), [modalResult](const DialogButton& b) {
        return b.modalResult != 0 && b.modalResult == modalResult;
    });
}

std::string DialogRecord::ToString() const {
    std::string out = type + " \"" + caption + "\": \"" + text + "\" [";
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (i > 0) out += ", ";
        out += buttons[i].caption + "=" + std::to_string(buttons[i].modalResult);
    }
    out += "]";
    if (checkBox) out += " with check box";
    if (modeless) out += " modeless";
    return out;
}

DialogResponder* SetDialogResponder(DialogResponder* responder) {
    return std::exchange(installedResponder, responder);
}

std::optional<DialogAnswer> AskDialogResponder(const DialogRecord& dialog) {
    if (installedResponder == nullptr) return std::nullopt;
    return installedResponder->Respond(dialog);
}

ScriptedDialogResponder::ScriptedDialogResponder() : previous_(SetDialogResponder(this)) {}

ScriptedDialogResponder::~ScriptedDialogResponder() {
    SetDialogResponder(previous_);
}

ScriptedDialogResponder& ScriptedDialogResponder::Push(int modalResult) {
    return Push(DialogAnswer{.modalResult = modalResult});
}

ScriptedDialogResponder& ScriptedDialogResponder::Push(DialogAnswer answer) {
    script_.push_back(answer);
    return *this;
}

DialogAnswer ScriptedDialogResponder::Respond(const DialogRecord& dialog) {
    log_.push_back(dialog);
    if (dialog.modeless) return {};
    const DialogAnswer asEsc{.modalResult = dialog.escapeResult.value_or(2)};
    if (script_.empty()) {
        problems_.push_back("unscripted dialog: " + dialog.ToString());
        return asEsc;
    }
    DialogAnswer answer = script_.front();
    script_.pop_front();
    if (!dialog.Offers(answer.modalResult)) {
        problems_.push_back("answer " + std::to_string(answer.modalResult) +
                            " is not offered by: " + dialog.ToString());
        return asEsc;
    }
    return answer;
}

void ScriptedDialogResponder::Clear() {
    script_.clear();
    log_.clear();
    problems_.clear();
}

} // namespace kav
