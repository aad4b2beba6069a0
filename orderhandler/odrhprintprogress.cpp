#include "orderhandler/odrhprintprogress.h"

#include "dialogs/kavdialog.h"

#include <QLabel>
#include <algorithm>
#include <QProgressBar>
#include <QVBoxLayout>

namespace kav::orderhandler {

namespace {

constexpr const char* kPrintDone = "打印完毕!";

} // namespace

TPrintProgress::TPrintProgress(QWidget* parent) : QWidget(parent), bar_(new QProgressBar(this)), prompt_(new QLabel(this)) {
    bar_->setObjectName(QStringLiteral("pbPrint"));
    bar_->setRange(0, 1);
    bar_->setValue(0);
    bar_->setFormat(QStringLiteral("%v/%m"));
    bar_->setTextVisible(false); // until a run says how many tickets it prints
    prompt_->setObjectName(QStringLiteral("lbPrintPrompt"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_);
    layout->addWidget(prompt_);
}

void TPrintProgress::BeforeAll(int count) {
    bar_->setRange(0, std::max(count, 1));
    bar_->setValue(0);
    bar_->setTextVisible(true);
}

void TPrintProgress::BeforeOne(const std::string& ticketText) {
    prompt_->setText(QStringLiteral("正在打印：") + QString::fromStdString(ticketText));
    prompt_->repaint();
}

void TPrintProgress::AfterOne() {
    bar_->setValue(std::min(bar_->value() + 1, bar_->maximum()));
    bar_->repaint();
}

void TPrintProgress::AfterAll(bool complete, bool prompt) {
    if (!complete) {
        prompt_->setText(QStringLiteral("打印未完成：已打印 %1 张，共 %2 张").arg(bar_->value()).arg(bar_->maximum()));
        return;
    }
    prompt_->setText(QString::fromUtf8(kPrintDone));
    if (prompt) ShowPromptMessage(kPrintDone, "操作提示");
}

QString TPrintProgress::Prompt() const {
    return prompt_->text();
}

int TPrintProgress::Position() const {
    return bar_->value();
}

int TPrintProgress::Maximum() const {
    return bar_->maximum();
}

int UnprintedSeats(const Tpt_SeatInfoList& seats) {
    int count = 0;
    for (const auto& seat : seats)
        count += !seat->Printed;
    return count;
}

TPrintEventsBinding::TPrintEventsBinding(ISaleTicketCoreIntf& core, TPrintProgress& progress,
                                         const Tpt_SeatInfoList& seats, bool promptWhenDone)
    : core_(core) {
    core.SetOnBeforePrintTickets([&progress, &seats] { progress.BeforeAll(UnprintedSeats(seats)); });
    core.SetOnBeforePrintATicket([&progress](const std::string& text) { progress.BeforeOne(text); });
    core.SetOnAfterPrintATicket([&progress](const std::string&) { progress.AfterOne(); });
    core.SetOnAfterPrintTickets(
        [&progress, &seats, promptWhenDone] { progress.AfterAll(UnprintedSeats(seats) == 0, promptWhenDone); });
}

TPrintEventsBinding::~TPrintEventsBinding() {
    core_.SetOnBeforePrintTickets({});
    core_.SetOnBeforePrintATicket({});
    core_.SetOnAfterPrintATicket({});
    core_.SetOnAfterPrintTickets({});
}

} // namespace kav::orderhandler
