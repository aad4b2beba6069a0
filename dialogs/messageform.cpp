#include "dialogs/messageform.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace kav {
namespace {

constexpr int kIconSize = 32;
constexpr int kCheckBoxRise = 26; // the check box sits this far above the buttons
constexpr int kCheckBoxLeft = 12;
constexpr int kGaugeHeight = 12;
constexpr int kCountdownRight = 10;

int Scaled(int units, int size, int divisor) {
    return static_cast<int>(std::lround(double(units) * size / divisor));
}

QString WithoutMnemonic(QString caption) {
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove('&');
    caption.replace(QChar(1), QChar('&'));
    return caption;
}

QRect ScreenGeometry() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 800, 600);
}

} // namespace

TMessageForm::TMessageForm(const MessageFormOptions& options)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), options_(options) {
    setWindowTitle(options_.caption);
    setFont(options_.font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, options_.color);
    setPalette(pal);
    setAutoFillBackground(true);

    if (!options_.icon.isNull()) {
        image_ = new QLabel(this);
        image_->setObjectName(QStringLiteral("Image"));
        image_->setPixmap(options_.icon.pixmap(kIconSize, kIconSize));
    }
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("Message"));
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    message_->setText(options_.text);

    const std::optional<TMsgDlgBtn> defaultButton = DefaultButtonOf(options_.buttons);
    const std::optional<TMsgDlgBtn> cancelButton = CancelButtonOf(options_.buttons);
    for (TMsgDlgBtn b : kAllMsgDlgBtns) {
        if (!options_.buttons.Contains(b)) continue;
        const MsgDlgButtonInfo& info = ButtonInfo(b);
        auto* button =
            new QPushButton(QString::fromUtf8(info.caption.data(), qsizetype(info.caption.size())), this);
        button->setObjectName(QString::fromLatin1(info.name.data(), qsizetype(info.name.size())));
        button->setFont(options_.buttonFont);
        button->setAutoDefault(true);
        if (b == defaultButton) {
            button->setDefault(true);
            button->setFocus();
        }
        if (b == cancelButton) cancelButton_ = button;
        const int result = info.modalResult;
        if (b == TMsgDlgBtn::mbHelp) {
            connect(button, &QPushButton::clicked, this, [this] {
                if (options_.onHelp) options_.onHelp();
            });
        } else {
            connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        }
        buttons_.push_back(button);
    }
    if (options_.checkBox) {
        checkBox_ = new QCheckBox(options_.checkBoxCaption, this);
        checkBox_->setObjectName(QStringLiteral("DontShowAgain"));
    }
    if (options_.gaugeMax > 0) {
        gauge_ = new QProgressBar(this);
        gauge_->setObjectName(QStringLiteral("Gauge"));
        gauge_->setRange(0, options_.gaugeMax);
        gauge_->setValue(0);
        gauge_->setTextVisible(options_.gaugeShowText);
        QPalette gaugePalette = gauge_->palette();
        gaugePalette.setColor(QPalette::Highlight, options_.gaugeForeColor);
        gaugePalette.setColor(QPalette::Base, options_.gaugeBackColor);
        gaugePalette.setColor(QPalette::Window, options_.gaugeBackColor);
        gauge_->setPalette(gaugePalette);
    }
    if (options_.countdown) {
        countdown_ = new QLabel(this);
        countdown_->setObjectName(QStringLiteral("Countdown"));
        countdown_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    LayOut();
}

void TMessageForm::SetMessage(const QString& text) {
    options_.text = text;
    message_->setText(text);
    LayOut();
}

void TMessageForm::SetCountdown(int seconds) {
    if (countdown_ != nullptr) countdown_->setText(QString::number(seconds));
}

bool TMessageForm::DontShowAgain() const {
    return checkBox_ != nullptr && checkBox_->isChecked();
}

void TMessageForm::reject() {
    done(mrCancel);
}

void TMessageForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cancelButton_ != nullptr) cancelButton_->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMessageForm::LayOut() {
    const QFontMetrics fm(font());
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int charWidth = fm.horizontalAdvance(alphabet) / 52;
    const int charHeight = fm.height();

    const int horzMargin = Scaled(8, charWidth, 4);
    const int vertMargin = Scaled(8, charHeight, 8);
    const int horzSpacing = Scaled(10, charWidth, 4);
    int vertSpacing = Scaled(10, charHeight, 8);
    const int buttonSpacing = Scaled(4, charWidth, 4);

    const QFontMetrics buttonMetrics(options_.buttonFont);
    int buttonWidth = Scaled(50, charWidth, 4);
    for (const QPushButton* button : buttons_)
        buttonWidth =
            std::max(buttonWidth, buttonMetrics.horizontalAdvance(WithoutMnemonic(button->text())) + 8);
    const int buttonHeight = buttons_.empty() ? 0 : Scaled(14, charHeight, 8);

    const QRect textRect = fm.boundingRect(QRect(0, 0, ScreenGeometry().width() / 2, 0),
                                           Qt::TextWordWrap | Qt::AlignLeft, options_.text);
    int iconTextWidth = textRect.width();
    int iconTextHeight = textRect.height();
    if (image_ != nullptr) {
        iconTextWidth += kIconSize + horzSpacing;
        iconTextHeight = std::max(iconTextHeight, kIconSize);
    }
    if (checkBox_ != nullptr) vertSpacing += kCheckBoxRise;

    const int n = int(buttons_.size());
    const int buttonGroupWidth = n == 0 ? 0 : n * buttonWidth + (n - 1) * buttonSpacing;
    int clientWidth = std::max(iconTextWidth, buttonGroupWidth) + 2 * horzMargin;
    int checkBoxWidth = 0;
    if (checkBox_ != nullptr) {
        // Never narrower than the check box, or its caption would be cut off.
        checkBoxWidth = std::max(checkBox_->sizeHint().width(),
                                 fm.horizontalAdvance(WithoutMnemonic(checkBox_->text())) + 10);
        clientWidth = std::max(clientWidth, kCheckBoxLeft + checkBoxWidth + horzMargin);
    }
    // The gauge and the countdown get a strip of their own below the margin, so neither covers the buttons.
    const int gaugeHeight = gauge_ != nullptr ? kGaugeHeight : 0;
    const int countdownHeight = countdown_ != nullptr ? fm.height() : 0;
    const int clientHeight =
        iconTextHeight + buttonHeight + vertSpacing + 2 * vertMargin + gaugeHeight + countdownHeight;
    setFixedSize(clientWidth, clientHeight);

    int textLeft = horzMargin;
    if (image_ != nullptr) {
        image_->setGeometry(horzMargin, vertMargin, kIconSize, kIconSize);
        textLeft += kIconSize + horzSpacing;
    }
    message_->setGeometry(textLeft, vertMargin, textRect.width(), textRect.height());

    const int buttonTop = iconTextHeight + vertMargin + vertSpacing;
    int x = (clientWidth - buttonGroupWidth) / 2;
    for (QPushButton* button : buttons_) {
        button->setGeometry(x, buttonTop, buttonWidth, buttonHeight);
        x += buttonWidth + buttonSpacing;
    }
    if (checkBox_ != nullptr)
        checkBox_->setGeometry(kCheckBoxLeft, buttonTop - kCheckBoxRise, checkBoxWidth,
                               checkBox_->sizeHint().height());
    if (gauge_ != nullptr) gauge_->setGeometry(0, clientHeight - gaugeHeight, clientWidth, gaugeHeight);
    if (countdown_ != nullptr) {
        const int labelWidth = fm.horizontalAdvance(QStringLiteral("000"));
        countdown_->setGeometry(clientWidth - kCountdownRight - labelWidth,
                                clientHeight - gaugeHeight - countdownHeight, labelWidth, countdownHeight);
    }

    const QRect screen = ScreenGeometry();
    move(screen.center() - QPoint(clientWidth / 2, clientHeight / 2));
}

} // namespace kav
