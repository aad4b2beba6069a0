#include "dialogs/msgdlgtypes.h"

namespace kav {

const MsgDlgButtonInfo& ButtonInfo(TMsgDlgBtn button) {
    static constexpr std::array<MsgDlgButtonInfo, 11> table = {{
        {"Yes", "是(&Y)", mrYes},
        {"No", "否(&N)", mrNo},
        {"OK", "确定", mrOk},
        {"Cancel", "取消", mrCancel},
        {"Abort", "&Abort", mrAbort},
        {"Retry", "&Retry", mrRetry},
        {"Ignore", "&Ignore", mrIgnore},
        {"All", "&All", mrAll},
        {"NoToAll", "N&o to All", mrNoToAll},
        {"YesToAll", "Yes to &All", mrYesToAll},
        {"Help", "帮助", mrNone},
    }};
    return table[static_cast<std::size_t>(button)];
}

namespace {
std::optional<TMsgDlgBtn> FirstPresent(TMsgDlgButtons buttons, std::initializer_list<TMsgDlgBtn> preference) {
    for (TMsgDlgBtn b : preference)
        if (buttons.Contains(b)) return b;
    return std::nullopt;
}
} // namespace

std::optional<TMsgDlgBtn> DefaultButtonOf(TMsgDlgButtons buttons) {
    return FirstPresent(buttons, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbYes, TMsgDlgBtn::mbRetry});
}

std::optional<TMsgDlgBtn> CancelButtonOf(TMsgDlgButtons buttons) {
    return FirstPresent(buttons, {TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbOK});
}

std::string_view DlgTypeCaption(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return "警告";
    case TMsgDlgType::mtError:
        return "错误信息";
    case TMsgDlgType::mtInformation:
        return "操作提示";
    case TMsgDlgType::mtConfirmation:
        return "请确认";
    case TMsgDlgType::mtCustom:
        break;
    }
    return {};
}

std::string_view DlgTypeName(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return "warning";
    case TMsgDlgType::mtError:
        return "error";
    case TMsgDlgType::mtInformation:
        return "information";
    case TMsgDlgType::mtConfirmation:
        return "confirmation";
    case TMsgDlgType::mtCustom:
        break;
    }
    return "custom";
}

} // namespace kav
