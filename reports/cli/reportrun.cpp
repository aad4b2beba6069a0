#include "reports/cli/reportrun.h"

#include "platform/widgets/excelexport.h"
#include "platform/widgets/reportoutput.h"
#include "reports/group/cdgroupcollectreport.h"
#include "reports/perform/cdperformcollectreport.h"
#include "reports/shift/cdshiftclosereport.h"
#include "reports/user/cdusercollectreport.h"
#include "rpc/exceptions.h"
#include "services/login/tplogin.h"

#include <set>

namespace kav::reports {

namespace {

// A code the command names that the node does not have.
class EUnknownCode : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

TReportCondition ConditionOf(const TReportCommand& command) {
    TReportCondition condition;
    condition.period.from = command.from;
    condition.period.to = command.to;
    condition.sortOption = command.sortOption;
    return condition;
}

TProductSelection Products(ITPDBPipe& pipe, const TKavContext& context, const TReportCommand& command,
                           TClientDataSet& products, TClientDataSet& brief) {
    // Only the named performances: the command needs no other, and a node keeps every one it ever had.
    LoadProducts(pipe, context, command.products, products);
    std::vector<std::string> unknown;
    TProductSelection selection = SelectProducts(products, command.products, brief, &unknown);
    if (!unknown.empty()) throw EUnknownCode("没有演出 " + unknown.front());
    return selection;
}

template <class Row>
void CheckCodes(const std::vector<std::string>& codes, const std::vector<Row>& known, const char* what) {
    std::set<std::string> have;
    for (const Row& row : known)
        have.insert(row.code);
    for (const std::string& code : codes)
        if (!have.count(code)) throw EUnknownCode(std::string("没有") + what + " " + code);
}

template <class Module> void Write(Module& module, const TReportCommand& command, std::ostream& out) {
    if (!command.pdf.empty()) {
        WriteReportPdf(module.BuildReport(command.layout), command.pdf);
        out << "已写入 " << command.pdf << "\n";
    }
    if (!command.xlsx.empty()) {
        TExcelExport().ExportDataSet(module.cdsReport(), command.xlsx);
        out << "已写入 " << command.xlsx << "\n";
    }
}

TSellerSelection Sellers(const std::vector<std::string>& codes, const TReportCommand& command) {
    return {codes, static_cast<TSaleType>(command.type), static_cast<TSaleSide>(command.side)};
}

void Run(pelio::TPelioClient& client, const std::string& context, const TReportCommand& command,
         std::ostream& out) {
    TClientDataSet products, brief;
    switch (command.kind) {
    case TReportKind::Perform: {
        TCDPerformCollectReport module(client);
        module.SetContext(context);
        module.StatisticByPeriod = command.byPeriod;
        module.SaleSource = command.source;
        module.Generate(Products(module.Pipe(), module.Context(), command, products, brief),
                        ConditionOf(command));
        Write(module, command, out);
        return;
    }
    case TReportKind::User: {
        TCDUserCollectReport module(client);
        module.SetContext(context);
        CheckCodes(command.users, LoadUsers(module.Core().Pipe(), module.Context()), "售票员");
        module.Generate(Sellers(command.users, command),
                        Products(module.Core().Pipe(), module.Context(), command, products, brief),
                        ConditionOf(command));
        Write(module, command, out);
        return;
    }
    case TReportKind::Group: {
        TCDGroupCollectReport module(client);
        module.SetContext(context);
        module.GroupBy = command.groupByProduct ? kGroupByProduct : kGroupByGroup;
        CheckCodes(command.groups, LoadGroups(module.Core().Pipe(), module.Context()), "销售点");
        module.Generate(Sellers(command.groups, command),
                        Products(module.Core().Pipe(), module.Context(), command, products, brief),
                        ConditionOf(command));
        Write(module, command, out);
        return;
    }
    case TReportKind::Shift: {
        TCDShiftCloseReport module(client);
        module.SetContext(context);
        module.Generate(command.seller, command.from, command.to);
        Write(module, command, out);
        return;
    }
    }
}

} // namespace

int RunReportCommand(const TReportCommand& command, std::ostream& out, std::ostream& errors) {
    pelio::TPelioClient client;
    client.SetHost(command.host);
    client.SetPort(command.port);
    try {
        const std::string context = TTPLogin(&client).Login(command.user, command.password);
        Run(client, context, command, out);
        return kExitWritten;
    } catch (const EReportCondition& e) {
        errors << "kav-report: " << e.what() << "\n";
        return kExitNothing;
    } catch (const std::exception& e) {
        errors << "kav-report: " << e.what() << "\n";
        return kExitFailed;
    }
}

} // namespace kav::reports
