#pragma once
// A sale core for the order window's tests that answers the window's questions from the test's script
// and records what it was asked: may a product's orders be collected or cancelled, and cancel this
// booking. The window uses nothing else of the core.

#include "salecore/usaleticketcoreintf.h"

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace kav::orderhandler::test {

class FakeSaleCore final : public ISaleTicketCoreIntf {
public:
    std::set<std::string> refusedToExecute; // product codes
    std::set<std::string> refusedToCancel;
    TCancelForeBook_Result cancelResult = R_CF_OK;
    std::vector<std::string> cancelled;
    std::vector<std::string> asked; // product codes of the rights questions, in order

    bool CanExecuteOrder(const std::string&, const std::string& code) override {
        asked.push_back(code);
        return !refusedToExecute.contains(code);
    }
    bool CanCancelOrder(const std::string&, const std::string& code) override {
        return !refusedToCancel.contains(code);
    }
    TCancelForeBook_Result CancelForeBook(const std::string&, const std::string& orderCode) override {
        cancelled.push_back(orderCode);
        return cancelResult;
    }

    // Never called by the order window.
    Variant SelectOrder(const std::string&, const TSearchOrderCondition&) override { return Unused(); }
    bool ForeBookAccount(const std::string&, Tpt_OrderInfoList&, const std::string&) override { return Unused(); }
    Variant GetBookSeatInfo(const std::string&, const std::string&) override { return Unused(); }
    bool CancelOrder(const std::string&, const std::string&) override { return Unused(); }
    Variant GetForeBookSeat(const std::string&, const std::string&) override { return Unused(); }
    Variant GetSectionData(const std::string&, const std::string&) override { return Unused(); }
    Variant GetIDTypeBriefData(const std::string&) override { return Unused(); }
    bool UpdateClientInfo(const std::string&, const Variant&) override { return Unused(); }
    std::string GetSectionGroupCode(const std::string&, const std::string&, const std::string&) override {
        return Unused();
    }
    TSaleAccount_Result SaleAccount_CNOH(const std::string&, const TSaleAccountCondition&, const std::string&,
                                         const std::vector<std::string>&) override {
        return Unused();
    }
    TSaleAccount_Result SaleAccount_BL(const std::string&, const TSaleAccountCondition&, const std::string&,
                                       const std::vector<std::string>&, const Variant&) override {
        return Unused();
    }
    TPrintTicket_Result PrintTickets(const std::string&, const std::string&, const std::string&, const std::string&,
                                     const std::string&, Tpt_SeatInfoList&, TKavTicketFace&, std::string&,
                                     const std::string&) override {
        return Unused();
    }
    TPrintTicket_Result ReprintTickets(const std::string&, const std::string&, const std::string&, const std::string&,
                                       const std::string&, const std::string&, Tpt_SeatInfoList&,
                                       TKavTicketFace&) override {
        return Unused();
    }
    void _Init_pt_SeatInfoList(Tpt_SeatInfoList&, const std::vector<std::string>&, const std::string&,
                               const std::string&, const std::string&, bool) override {
        Unused();
    }
    TPrintATicketNotify GetOnAfterPrintATicket() const override { return {}; }
    TNotifyEvent GetOnAfterPrintTickets() const override { return {}; }
    TPrintATicketNotify GetOnBeforePrintATicket() const override { return {}; }
    TNotifyEvent GetOnBeforePrintTickets() const override { return {}; }
    int GetAccountState() const override { return 0; }
    void SetAccountState(int) override {}
    void SetOnAfterPrintATicket(TPrintATicketNotify) override {}
    void SetOnAfterPrintTickets(TNotifyEvent) override {}
    void SetOnBeforePrintATicket(TPrintATicketNotify) override {}
    void SetOnBeforePrintTickets(TNotifyEvent) override {}

private:
    struct Anything {
        template <class T> operator T() const { throw std::logic_error("the order window does not use this"); }
    };
    static Anything Unused() { return {}; }
};

} // namespace kav::orderhandler::test
