#pragma once
// TPrintingDialog: a dialog of the order handler that prints tickets. While it prints it cannot be
// closed (Esc, its frame, reject()), and its actions, run by its action updater, are told so through
// PrintingRule.
//
// Threading: GUI thread only.

#include <QDialog>

namespace kav {
class TActionUpdater;
}

namespace kav::orderhandler {

class TPrintingDialog : public QDialog {
    Q_OBJECT

public:
    TPrintingDialog(QWidget* parent, Qt::WindowFlags flags = {});

    bool Printing() const noexcept { return printing_; }
    // Runs every action's rule now.
    void UpdateActions();
    void reject() override;

protected:
    TActionUpdater& Updater() const noexcept { return *updater_; }
    void SetPrinting(bool printing);
    // "正在打印，请稍候" while printing, else empty: the rule of the actions that must wait for the print.
    QString PrintingRule() const;
    void closeEvent(QCloseEvent* event) override;

private:
    TActionUpdater* updater_;
    bool printing_ = false;
};

} // namespace kav::orderhandler
