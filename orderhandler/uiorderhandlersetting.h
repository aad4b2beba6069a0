#pragma once
// TUIOrderHandlerSetting ("设置选项"): the workstation's default create-time range of the order search and
// its shipping-list printer, kept in "CONFIGURE.CONF" (odrhsettings.h).
//
// "确定" saves a changed time range (refusing one whose start is not before its end, or whose end is
// "无限制" while its start is not) and the printer (refusing none), and closes with Accepted; a refusal
// is shown and the dialog stays open. "取消" saves nothing more.
//
// Threading: GUI thread only.

#include "orderhandler/odrhsettings.h"

#include <QDialog>
#include <filesystem>
#include <string>
#include <vector>

class QComboBox;
class QTimeEdit;

namespace kav::orderhandler {

class TUIOrderHandlerSetting final : public QDialog {
    Q_OBJECT

public:
    // `printers`: the system's printer names; `file`: the settings file.
    TUIOrderHandlerSetting(std::vector<std::string> printers, std::filesystem::path file = ConfigureFilePath(),
                           QWidget* parent = nullptr);

    // Shows the dialog modally; QDialog::Accepted when the settings were accepted.
    int ShowCustomModal();
    // What "确定" does.
    void AcceptSettings();

    // The setting the controls hold.
    TOrderHandlerSetting CollectSetting() const;

private:
    struct Bound {
        QComboBox* kind;
        QComboBox* days;
        QTimeEdit* time;
    };
    void LoadSettings();
    void SetBound(Bound bound, TOrderTimeKind kind, int days, TDateTime time);
    void OrderTimeSortChanged(int index);
    void ApplyVisibility();

    std::filesystem::path file_;
    TOrderHandlerSetting remembered_;
    QComboBox* orderTimeSort_ = nullptr;
    Bound begin_{};
    Bound end_{};
    QComboBox* printers_ = nullptr;
};

} // namespace kav::orderhandler
