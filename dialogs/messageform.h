#pragma once
// The form the message dialog shows, laid out from the average character size of its font.
//
// Child object names: "Image" (the icon), "Message" (the text), one button per shown button named by the
// button table, "DontShowAgain" (the check box), "Gauge", "Countdown".
//
// Results: a button gives its modal result, Esc clicks the cancel button (and does nothing without one),
// Enter clicks the default button, closing by the frame gives 2.

#include "dialogs/msgdlgtypes.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kav {

struct MessageFormOptions {
    QString caption;
    QString text;
    QIcon icon; // null: no icon
    TMsgDlgButtons buttons;
    QFont font;
    QFont buttonFont;
    QColor color;
    bool checkBox = false;
    QString checkBoxCaption;
    int gaugeMax = 0; // 0: no gauge
    QColor gaugeForeColor;
    QColor gaugeBackColor;
    bool gaugeShowText = true;
    bool countdown = false;
    std::function<void()> onHelp; // the Help button
};

class TMessageForm final : public QDialog {
public:
    explicit TMessageForm(const MessageFormOptions& options);

    // Replaces the text and lays the form out again.
    void SetMessage(const QString& text);
    void SetCountdown(int seconds);
    bool DontShowAgain() const;
    QProgressBar* Gauge() const { return gauge_; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void LayOut();

    MessageFormOptions options_;
    QLabel* image_ = nullptr;
    QLabel* message_ = nullptr;
    std::vector<QPushButton*> buttons_;
    QPushButton* cancelButton_ = nullptr;
    QCheckBox* checkBox_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QLabel* countdown_ = nullptr;
};

} // namespace kav
