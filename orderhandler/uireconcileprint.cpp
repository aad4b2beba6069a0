#include "orderhandler/uireconcileprint.h"

#include "dialogs/kavdialog.h"
#include "orderhandler/odrhprintprogress.h"
#include "orderhandler/odrhseattree.h"
#include "orderhandler/uiactionbutton.h"
#include "platform/widgets/actionupdater.h"
#include "platform/widgets/hourglass.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/ticketface.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kav::orderhandler {

TUIReconcilePrint::TUIReconcilePrint(ISaleTicketCoreIntf& core, const std::string& context,
                                     TodrHOrderInfoRecord& order, Tpt_SeatInfoList& seats, const std::string& message,
                                     QWidget* parent)
    : TPrintingDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), core_(core), context_(context),
      order_(order), seats_(seats), face_(std::make_unique<TKavTicketFace>()) {
    setObjectName(QStringLiteral("TUIReconcilePrint"));
    setWindowTitle(QStringLiteral("纠错-打印出票"));
    message_ = new QLabel(QString::fromStdString(message), this);
    message_->setObjectName(QStringLiteral("lbMessage"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #b00000;"));
    seatList_ = MakeSeatTree(this, "vstReconcilePrintSeatInfo", false);
    progress_ = new TPrintProgress(this);

    QAction* print = MakeDialogAction(this, "act_PrintSucceed", QStringLiteral("继续打印"), Qt::Key_F5);
    connect(print, &QAction::triggered, this, &TUIReconcilePrint::PrintSucceed);
    QAction* cancel = MakeDialogAction(this, "act_CancelPrint", QStringLiteral("取消"));
    connect(cancel, &QAction::triggered, this, &TUIReconcilePrint::reject);
    Updater().AddRule(print, {});
    Updater().AddRule(cancel, [this] { return PrintingRule(); });

    QPushButton* printButton = ActionPushButton(print, this);
    printButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(printButton);
    buttons->addWidget(ActionPushButton(cancel, this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(new QLabel(QStringLiteral("以下座位未打印成功："), this));
    layout->addWidget(seatList_, 1);
    layout->addWidget(progress_);
    layout->addLayout(buttons);
    resize(460, 360);
    ShowUnprintedSeats();
    UpdateActions();
}

TUIReconcilePrint::~TUIReconcilePrint() = default;

void TUIReconcilePrint::ShowUnprintedSeats() {
    std::vector<const TodrHSeatInfoRecord*> unprinted;
    if (order_.HasSeats()) {
        const TodrHSeatInfoList& orderSeats = *order_.seats;
        for (const auto& seat : seats_) {
            if (seat->Printed) continue;
            const int index = orderSeats.Find(seat->SeatCode);
            if (index >= 0) unprinted.push_back(&orderSeats.Items(index));
        }
    }
    FillSeatTree(*seatList_, unprinted, false);
}

void TUIReconcilePrint::PrintSucceed() {
    if (Printing()) return;
    THourglass hourglass;
    SetPrinting(true);
    std::string failure;
    TPrintTicket_Result result = R_PT_UNKNOWERROR;
    try {
        TPrintEventsBinding events(core_, *progress_, seats_, true);
        const std::string product = order_.productCode.str(), section = order_.sectionCode.str();
        result = core_.ReprintTickets(context_, order_.orderCode.str(), product, section,
                                      core_.GetSectionGroupCode(context_, product, section), order_.saleClassCode.str(),
                                      seats_, *face_);
        if (result != R_PT_OK) failure = _ResultSaleTicketCoreMsg(result);
    } catch (const std::exception& e) {
        failure = e.what();
    }
    SetPrinting(false);
    if (failure.empty() && UnprintedSeats(seats_) == 0) {
        accept();
        return;
    }
    if (failure.empty()) failure = "仍有座位未打印";
    message_->setText(QString::fromStdString(failure));
    ShowErrorMessage(failure, "错误");
    ShowUnprintedSeats();
}

std::vector<std::string> TUIReconcilePrint::ListedSeats() const {
    std::vector<std::string> codes;
    for (int i = 0; i < seatList_->topLevelItemCount(); ++i)
        codes.push_back(seatList_->topLevelItem(i)->data(0, Qt::UserRole).toString().toStdString());
    return codes;
}

QString TUIReconcilePrint::Message() const {
    return message_->text();
}

bool ShowReconcilePrint(QWidget* parent, ISaleTicketCoreIntf& core, const std::string& context,
                        TodrHOrderInfoRecord& order, Tpt_SeatInfoList& seats, const std::string& message) {
    TUIReconcilePrint window(core, context, order, seats, message, parent);
    return ExecModal(window) == QDialog::Accepted;
}

} // namespace kav::orderhandler
