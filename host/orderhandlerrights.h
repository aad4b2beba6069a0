#pragma once
// The order handler's rights: which order sources a user may see, what the Excel export may
// carry, how far searches reach beyond the user's group, what a detail search must contain, and
// the five sale rights the order windows use. Rights belong to a rights module ("2" order
// handling, "3" selling) and are stored per user or per group; a user's own row wins over the
// row of the user's group, and without either the user has no right.
//
// ISPOrderHandler is the seam the order handler depends on; TSPOrderHandler reads the rights from
// the server through the data pipe. Threading: none; an object belongs to one thread.

#include "services/dbpipe/tpdbpipe_int.h"

#include <array>
#include <string>

namespace kav {

// One module's rights of one user; the default is "no right" everywhere.
struct TOrderHandlerRights {
    bool canViewCallCentreOrders = false; // order source 2
    bool canViewOnlineOrders = false;     // order source 3
    bool canToExcel = false;
    // Export columns 1 name, 2 cell phone, 3 identity number, 4 telephone.
    std::array<bool, 4> canCustomerToExcel{};
    // 0 own group only; negative: every group of the user's owner; positive: every group.
    int groupScope = 0;
    bool canEditOtherUserOrdersInfo = false;
    bool mustHaveNameInSearch = false;
    bool mustHavePhoneOrCellPhoneInSearch = false;
    bool mustHaveIDNumberInSearch = false;
    bool canSaleNB = false;
    bool canSaleHW = false;
    bool canTempInfo = false;
    bool canChangeReceivables = false;
    bool canChangeSeat = false;
};

class ISPOrderHandler {
public:
    virtual ~ISPOrderHandler() = default;

    // Loads the rights of the context's user for `module`; all questions below answer from them
    // until the next call. Raises what the data pipe raises; the object then grants nothing.
    virtual void InitialGetPrivileges(const std::string& context, const std::string& module) = 0;

    virtual bool CanViewOrders(int source) const = 0;
    virtual bool CanToExcel() const = 0;
    // `column` 1 to 4 as in TOrderHandlerRights::canCustomerToExcel; any other number is refused.
    virtual bool CanCustomerToExcel(int column) const = 0;
    virtual int CanSeachOtherGroupOrders() const = 0;
    virtual bool CanEditOtherUserOrdersInfo() const = 0;
    virtual bool MustHaveNameInSearch() const = 0;
    virtual bool MustHavePhoneOrCellPhoneInSearch() const = 0;
    virtual bool MustHaveIDNumberInSearch() const = 0;
    virtual bool CanSaleNB() const = 0;
    virtual bool CanSaleHW() const = 0;
    virtual bool CanTempInfo() const = 0;
    virtual bool CanChangeReceivables() const = 0;
    virtual bool CanChangeSeat() const = 0;
};

// Answers every question from a rights record; the base of the real object and of test fakes.
class TOrderHandlerRightsAnswers : public ISPOrderHandler {
public:
    bool CanViewOrders(int source) const override;
    bool CanToExcel() const override { return rights_.canToExcel; }
    bool CanCustomerToExcel(int column) const override;
    int CanSeachOtherGroupOrders() const override { return rights_.groupScope; }
    bool CanEditOtherUserOrdersInfo() const override { return rights_.canEditOtherUserOrdersInfo; }
    bool MustHaveNameInSearch() const override { return rights_.mustHaveNameInSearch; }
    bool MustHavePhoneOrCellPhoneInSearch() const override {
        return rights_.mustHavePhoneOrCellPhoneInSearch;
    }
    bool MustHaveIDNumberInSearch() const override { return rights_.mustHaveIDNumberInSearch; }
    bool CanSaleNB() const override { return rights_.canSaleNB; }
    bool CanSaleHW() const override { return rights_.canSaleHW; }
    bool CanTempInfo() const override { return rights_.canTempInfo; }
    bool CanChangeReceivables() const override { return rights_.canChangeReceivables; }
    bool CanChangeSeat() const override { return rights_.canChangeSeat; }

    const TOrderHandlerRights& Rights() const noexcept { return rights_; }

protected:
    TOrderHandlerRights rights_;
};

// The rights as the server stores them. The pipe must outlive the object.
class TSPOrderHandler final : public TOrderHandlerRightsAnswers {
public:
    explicit TSPOrderHandler(ITPDBPipe& pipe) : pipe_(pipe) {}

    void InitialGetPrivileges(const std::string& context, const std::string& module) override;

    // The statement that reads the user's and the group's rows of one module.
    static std::string RightsSQL(const std::string& nodeCode, const std::string& userCode,
                                 const std::string& groupCode, const std::string& module);

private:
    ITPDBPipe& pipe_;
};

} // namespace kav
