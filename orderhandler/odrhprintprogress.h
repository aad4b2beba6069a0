#pragma once
// The print progress of the order windows (progress bar pbPrint and prompt label lbPrintPrompt), fed
// by the sale core's print events while a run of tickets prints.
//
// TPrintEventsBinding hands the core's four print events to a progress display for as long as it
// lives and takes them back when it goes, so that no event ever reaches a window that has closed.
// "打印完毕!" is said (and, when asked for, prompted) only when every seat of the list was printed; a run
// that stopped short says how far it got.
//
// Threading: GUI thread only.

#include "salecore/usaleticketcoreintf.h"

#include <QWidget>
#include <string>

class QLabel;
class QProgressBar;

namespace kav::orderhandler {

class TPrintProgress final : public QWidget {
    Q_OBJECT

public:
    explicit TPrintProgress(QWidget* parent = nullptr);

    void BeforeAll(int count);
    void BeforeOne(const std::string& ticketText);
    void AfterOne();
    // `complete`: every seat is printed. `prompt`: then also tell the seller in a message box.
    void AfterAll(bool complete, bool prompt);

    QString Prompt() const;
    int Position() const;
    int Maximum() const;

private:
    QProgressBar* bar_;
    QLabel* prompt_;
};

class TPrintEventsBinding final {
public:
    // `seats` is the list the run prints; the core, the display and the list must outlive the binding.
    TPrintEventsBinding(ISaleTicketCoreIntf& core, TPrintProgress& progress, const Tpt_SeatInfoList& seats,
                        bool promptWhenDone);
    ~TPrintEventsBinding();
    TPrintEventsBinding(const TPrintEventsBinding&) = delete;
    TPrintEventsBinding& operator=(const TPrintEventsBinding&) = delete;

private:
    ISaleTicketCoreIntf& core_;
};

// The seats of the list not printed yet.
int UnprintedSeats(const Tpt_SeatInfoList& seats);

} // namespace kav::orderhandler
