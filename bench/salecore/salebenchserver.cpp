#include "salebenchserver.h"

#include "platform/widgets/printerchoice.h"
#include "server/seed/seed.h"
#include "services/login/tplogin.h"

namespace kav::bench {

SaleServer& SaleServer::Shared() {
    static SaleServer server;
    return server;
}

SaleServer::SaleServer() {
    const std::string root = folder.path().toStdString();
    database = server::Database::Open("sqlite:" + root + "/kav.db");
    server::SeedDatabase(*database, "bench:10");
    services.emplace(server::ServerServices{*database, sessions, 256u << 20});
    server::RegisterServices(*services);
    server.SetPort(0);
    server.SetActive(true);
    client.SetHost("127.0.0.1");
    client.SetPort(server.ListeningPort());
    context = TTPLogin(&client).Login("demo", "demo");
    core.emplace(client);
    office.emplace(&client);
    TPrinterSettings settings;
    settings.folder = root + "/printouts";
    OverridePrinterSettings(settings);
}

std::tuple<std::string, double, std::vector<std::string>> SaleServer::Book() {
    TClientDataSet rows;
    rows.SetData(office->CreateOrderAndBooking(false, context, "P0001", "S0101", kSeats, Variant::ByteArray({}))
                     .ByteArrayView());
    std::vector<std::string> seats;
    for (rows.First(); !rows.Eof(); rows.Next())
        seats.push_back(rows.FieldByName("SEATCODE").AsString());
    return {rows.FieldByName("ORDERCODE").AsString(), rows.FieldByName("RECEIVABLES").AsFloat(), seats};
}

bool SaleServer::Sell(const std::string& order, double amount, const std::vector<std::string>& seats) {
    TSaleAccountCondition condition;
    condition.OrderCode = order;
    condition.PayModeCode = "X";
    condition.CreateGroup = "OWN1";
    condition.ProductCode = "P0001";
    condition.UserRegType = "N";
    condition.OrderStatus = "B";
    condition.Amount = amount;
    TClientDataSet payment;
    payment.AddFieldDef("PayModeCode", TFieldType::ftString, 1);
    payment.AddFieldDef("PayMoney", TFieldType::ftFloat);
    payment.AddFieldDef("Remark", TFieldType::ftString, 10);
    payment.CreateDataSet();
    payment.AppendRecord({"X", amount, ""});
    if (core->SaleAccount_BL(context, condition, "OWN1", {}, Variant::ByteArray(payment.Data())) != R_SA_OK)
        return false;
    core->_Init_pt_SeatInfoList(pt_SeatInfoList(), seats, context, "P0001", "SC01", false);
    std::string handlerTime;
    return core->PrintTickets(context, "P0001", "S0101", "SG01", "SC01", pt_SeatInfoList(), face, handlerTime, "") ==
           R_PT_OK;
}

} // namespace kav::bench
