#pragma once
// The dialog types, buttons and modal results shared by the message dialog, the ready-made forms and
// the test responder.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace kav {

// Modal results as the windows compare them; a time-out result's ordinal is its modal result.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// In the order the buttons appear, left to right.
enum class TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};

inline constexpr std::array<TMsgDlgBtn, 11> kAllMsgDlgBtns = {
    TMsgDlgBtn::mbYes,     TMsgDlgBtn::mbNo,       TMsgDlgBtn::mbOK,     TMsgDlgBtn::mbCancel,
    TMsgDlgBtn::mbAbort,   TMsgDlgBtn::mbRetry,    TMsgDlgBtn::mbIgnore, TMsgDlgBtn::mbAll,
    TMsgDlgBtn::mbNoToAll, TMsgDlgBtn::mbYesToAll, TMsgDlgBtn::mbHelp};

class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
        for (TMsgDlgBtn b : buttons)
            bits_ |= Bit(b);
    }
    constexpr bool Contains(TMsgDlgBtn b) const { return (bits_ & Bit(b)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const TMsgDlgButtons&) const = default;

private:
    static constexpr std::uint16_t Bit(TMsgDlgBtn b) { return std::uint16_t(1u << static_cast<unsigned>(b)); }
    std::uint16_t bits_ = 0;
};

// Same ordinals as the modal results they give.
enum class TTimeOutResult {
    trNone,
    trOk,
    trCancel,
    trAbort,
    trRetry,
    trIgnore,
    trYes,
    trNo,
    trAll,
    trNoToAll,
    trYesToAll
};

struct MsgDlgButtonInfo {
    std::string_view name;    // control name
    std::string_view caption; // with "&" before the mnemonic letter
    int modalResult;          // 0: shows help and does not close
};

const MsgDlgButtonInfo& ButtonInfo(TMsgDlgBtn button);
// Enter: OK if present, else Yes, else Retry. Esc: Cancel if present, else No, else OK.
std::optional<TMsgDlgBtn> DefaultButtonOf(TMsgDlgButtons buttons);
std::optional<TMsgDlgBtn> CancelButtonOf(TMsgDlgButtons buttons);
// The caption of a dialog type other than custom.
std::string_view DlgTypeCaption(TMsgDlgType type);
// "warning", "error", "information", "confirmation" or "custom", as the test responder reports it.
std::string_view DlgTypeName(TMsgDlgType type);

} // namespace kav
