#include "orderhandler/cdorderhandlerchangeseat.h"

#include "dialogs/guardedcall.h"
#include "dialogs/kavdialog.h"
#include "dialogs/msgdlgtypes.h"
#include "host/cabackgroundreclaim.h"
#include "host/cadbpipe.h"
#include "host/camapseatshow.h"
#include "host/sqltext.h"
#include "platform/core/money.h"
#include "platform/widgets/actionupdater.h"
#include "platform/widgets/hourglass.h"
#include "rpc/exceptions.h"
#include "seatmap/pricelevels.h"
#include "seatmap/seatmapcomposite.h"
#include "seatmap/seatmapconfig.h"

#include <QAction>
#include <QElapsedTimer>
#include <cmath>

namespace kav::orderhandler {

namespace {

void Load(TClientDataSet& dataSet, const pelio::Variant& packet) {
    dataSet.DisableControls();
    try {
        dataSet.SetData(packet.ByteArrayView());
    } catch (...) {
        dataSet.EnableControls();
        throw;
    }
    dataSet.EnableControls();
}

// A value rounded to two places in the text form numbers take in the packets.
std::string TwoPlaces(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", MoneyOf(Cents(value)));
    return text;
}

std::string TextOf(TClientDataSet& dataSet, std::string_view field) {
    const TField* found = dataSet.FindField(field);
    return found ? found->AsString() : std::string();
}

} // namespace

std::string SplitReloadOrderSQL(const std::string& nodeCode, const std::string& orderCode,
                                const std::string& productCode) {
    return SqlFormat(
        "select * from KAV_ORDER_SHOW where NODECODE='%s' and ORDERSTATUS='B' and ORDERCODE='%s' and "
        "PRODUCTCODE='%s'",
        {nodeCode, orderCode, productCode});
}

std::string SplitSuiteValuesSQL(const std::string& productCode, const std::string& saleClassCode) {
    return SqlFormat(
        " Select s.SaleClassCode,l.PriceLevel,s.TicketNum,l.TotalPrices,l.Discount,l.GiftNum from "
        "KAV_SALECLASS s  left join KAV_SALECLASSLEVEL l on s.ProductCode=l.ProductCode and "
        "s.SALECLASSCODE=l.SaleClassCode  where s.ProductCode = '%s' and s.SaleClassCode = '%s'",
        {productCode, saleClassCode});
}

std::string SplitOrderDiscountSQL(const std::string& orderCode) {
    return SqlFormat(" Select PriceLevel,TotalPrice,TicketPrice,Price,Discount,OrderCode  from "
                     "KAV_ORDER_DISCOUNT_SHOW where OrderCode = '%s'",
                     {orderCode});
}

std::string SplitProductSQL(const std::string& nodeCode, const std::string& productCode) {
    return SqlFormat("select PLACECODE,MAPCODE,DOMAINCODE,CNAME,HAPPENTIME from KAV_PRODUCT where "
                     "NODECODE='%s' and PRODUCTCODE='%s'",
                     {nodeCode, productCode});
}

std::string SplitPlaceSQL(const std::string& nodeCode, const std::string& placeCode) {
    return SqlFormat("select CNAME from KAV_PLACE where NODECODE='%s' and PLACECODE='%s'",
                     {nodeCode, placeCode});
}

TCDOrderHandlerChangeSeat::TCDOrderHandlerChangeSeat(pelio::TPelioClient& client, QObject* parent)
    : QObject(parent), client_(client), refresh_(new QAction(QStringLiteral("刷新座位"), this)),
      clear_(new QAction(QStringLiteral("取消选定"), this)),
      execute_(new QAction(QStringLiteral("执行！"), this)), updater_(new TActionUpdater(this)) {
    refresh_->setObjectName(QStringLiteral("actRefreshSeat"));
    clear_->setObjectName(QStringLiteral("actClearSelected"));
    execute_->setObjectName(QStringLiteral("actExecute"));
    refresh_->setShortcut(QKeySequence::Refresh);
    connect(refresh_, &QAction::triggered, this, [this] { RunGuarded([this] { RefreshSeat(); }); });
    connect(clear_, &QAction::triggered, this, &TCDOrderHandlerChangeSeat::ClearSelected);
    connect(execute_, &QAction::triggered, this, &TCDOrderHandlerChangeSeat::ExecuteAction);
    updater_->Add(execute_, [this] {
        return !order_.sectionCode.empty() && map_ != nullptr && map_->SelectedCellCount() > 0;
    });
}

TCDOrderHandlerChangeSeat::~TCDOrderHandlerChangeSeat() = default;

void TCDOrderHandlerChangeSeat::SetContext(const std::string& text) {
    context_.SetAsString(text);
}

void TCDOrderHandlerChangeSeat::SetOrderRow(const TClientDataSet& orderRow) {
    orderRow_.CopyFrom(orderRow);
    orderRow_.First();
    TClientDataSet& row = orderRow_;
    order_.productCode = TextOf(row, "PRODUCTCODE");
    order_.isSuite = TextOf(row, "ISSUITE");
    order_.orderCode = TextOf(row, "ORDERCODE");
    order_.createGroup = TextOf(row, "CreateGroup");
    order_.createUser = TextOf(row, "CreateUser");
    order_.createTime = row.FieldByName("CreateTime").AsDateTime();
    order_.sectionCode = TextOf(row, "SECTIONCODE");
    order_.saleClassCode = TextOf(row, "SaleClassCode");
    order_.payModeCode = TextOf(row, "PayModeCode");
    order_.orderFrom = TextOf(row, "OrderFrom");
    order_.seatCount = row.FieldByName("SEATCOUNT").AsInteger();
}

void TCDOrderHandlerChangeSeat::InitializationChangeSeat(TKavSeatMapCompositeShow& map) {
    map_ = &map;
    map.SetWorkState("C");
    const std::string node = context_.NodeCode();
    TCADBPipe2 pipe(client_);
    Load(product_, pipe.GetData(Context(), SplitProductSQL(node, order_.productCode)));
    placeCode_ = TextOf(product_, "PLACECODE");
    Load(place_, pipe.GetData(Context(), SplitPlaceSQL(node, placeCode_)));
    productText_ = TextOf(place_, "CNAME") + " " +
                   (product_.IsEmpty()
                        ? std::string()
                        : FormatDateTimeIso(product_.FieldByName("HAPPENTIME").AsDateTime()).substr(0, 16)) +
                   " " + TextOf(product_, "CNAME");
    LoadPrices();
    LoadKinds();
    Load(section_, TCAMapSeatShow(client_).GetSection(Context(), order_.productCode, order_.sectionCode));
    if (order_.isSuite == "Y" || order_.payModeCode == "M")
        Load(orderSeats_,
             TCABackGroundReclaim(client_).GetOrderSeatsByOrderCode(Context(), order_.orderCode));
    if (order_.isSuite == "Y") LoadSuite();

    TClientDataSet& floors = section_.FieldByName("qryFloor").NestedDataSet();
    map.SetSectionSource(&section_);
    map.SetFloorSource(&floors);
    map.SetRowSource(&floors.FieldByName("qryRow").NestedDataSet());
    map.SetSeatSource(&seat_);
    map.SetPriceSource(&price_);
    map.SetFilter("");
    map.SetFilter(" OrderCode= '" + SqlEscape(order_.orderCode) + "'" + " and Status = 'B'");

    QElapsedTimer timer;
    timer.start();
    map.UpdateSection();
    RefreshSeat();
    ShowElapsed(timer.elapsed());
}

// The product's price levels, and the map-only levels every map knows.
void TCDOrderHandlerChangeSeat::LoadPrices() {
    Load(price_, TCAMapSeatShow(client_).GetPrice(Context(), order_.productCode));
    CompletePriceLevels(price_, false);
}

// "普通票" and every kind of the seat map configuration with its name.
void TCDOrderHandlerChangeSeat::LoadKinds() {
    kind_.Close();
    kind_.FieldDefs().clear();
    kind_.AddFieldDef("KIND", TFieldType::ftString, 1);
    kind_.AddFieldDef("NAME", TFieldType::ftString, 32);
    kind_.CreateDataSet();
    kind_.AppendRecord({"N", "普通票"});
    const TKavSeatMapConfig& config = map_->Map().Config();
    for (int kind = 0; kind < static_cast<int>(TKavSeatMapConfig::KindCodes.size()); ++kind)
        kind_.AppendRecord({config.GetKindCode(kind), config.GetKindName(kind)});
    kind_.MergeChangeLog();
}

void TCDOrderHandlerChangeSeat::LoadSuite() {
    Load(suiteTable_, TCADBPipe(client_).GetData(
                          Context(), SplitSuiteValuesSQL(order_.productCode, order_.saleClassCode)));
    suite_ = ReadSuiteTerms(suiteTable_);
    suiteCount_ = suite_.ticketsPerSuite > 0 ? orderSeats_.RecordCount() / suite_.ticketsPerSuite : 0;
}

void TCDOrderHandlerChangeSeat::RefreshSeat() {
    THourglass hourglass;
    QElapsedTimer timer;
    timer.start();
    map_->ClearSelection();
    Load(seat_, TCAFreeSaleShow(client_).GetSeat(Context(), order_.sectionCode, order_.productCode));
    map_->UpdateSeat();
    ShowElapsed(timer.elapsed());
}

void TCDOrderHandlerChangeSeat::ShowElapsed(std::int64_t milliseconds) {
    map_->SetPrompt("共计耗时 " + QString::number(static_cast<double>(milliseconds) / 1000).toStdString() +
                    "秒.");
}

void TCDOrderHandlerChangeSeat::ClearSelected() {
    map_->ClearSelection();
}

// The split with the action off and the hourglass on. A refusal of the server may come from seats
// that changed since they were read, so the seats are read again after it.
void TCDOrderHandlerChangeSeat::ExecuteAction() {
    execute_->setEnabled(false);
    std::optional<std::string> made;
    bool refused = false;
    RunGuarded([&] {
        THourglass hourglass;
        try {
            made = Execute();
        } catch (const pelio::EosRemoteException&) {
            refused = true;
            throw;
        }
    });
    if (refused) RunGuarded([this] { RefreshSeat(); });
    updater_->UpdateActions();
    if (made) emit Split(QString::fromStdString(*made));
}

std::optional<std::string> TCDOrderHandlerChangeSeat::Execute() {
    map_->GatherSelectedSeat();
    FillSeatNames();
    TCABackGroundReclaim reclaim(client_);
    Load(seatInfo_, reclaim.GetReclaimSeatInfo(Context(), order_.orderCode));
    Load(orderDiscount_, TCADBPipe(client_).GetData(Context(), SplitOrderDiscountSQL(order_.orderCode)));
    if (!CanReclaim()) return std::nullopt;
    GetReclaimSeatData();
    if (order_.seatCount == reclaimSeatData_.RecordCount()) {
        ShowWarningMessage("不能将该订单所有座位拆分成一个新订单，请重新选择！", "警告");
        ClearSelected();
        return std::nullopt;
    }
    GetReclaimCountAndMoney();
    const std::string answer =
        reclaim.OrderHandlerSplit(Context(), seatCodeList_, pelio::Variant::ByteArray(orderRow_.Data()),
                                  pelio::Variant::ByteArray(reclaimSeatData_.Data()),
                                  pelio::Variant::ByteArray(reclaimCountAndMoney_.Data()));
    if (answer == "N") {
        ShowPromptMessage("该拆分订单时出现异常，请检查！", "操作提示");
        return std::nullopt;
    }
    // Anything but "N" or an order code is no answer the seller may take for a split.
    if (!IsOrderCode(answer)) {
        ShowErrorMessage("拆分订单没有得到新订单号，请刷新后检查订单：" + answer, "错误信息");
        return std::nullopt;
    }
    ShowPromptMessage("订单拆分成功，生成新订单：" + answer, "操作提示");
    return answer;
}

void TCDOrderHandlerChangeSeat::FillSeatNames() {
    const bool picked =
        (order_.isSuite != "Y" || (suiteCount_ > 1 && order_.orderFrom != "3")) && order_.payModeCode != "M";
    TClientDataSet& from = picked ? seat_ : orderSeats_;
    seatName_.Close();
    seatName_.FieldDefs().clear();
    for (const char* name : {"NODECODE", "ORDERCODE", "STATUS", "KIND", "PRICELEVEL", "ISADDITION",
                             "Description", "SECTIONNAME", "FLOORNAME", "ROWNAME", "KindName"})
        seatName_.AddFieldDef(name, TFieldType::ftString, 64);
    for (const char* name : {"SEATCODE", "FLOORNO", "ROWNO", "SEATNO"})
        seatName_.AddFieldDef(name, TFieldType::ftInteger);
    seatName_.SetIndexFieldNames("PRICELEVEL;SEATCODE");
    seatName_.CreateDataSet();

    TClientDataSet& floors = section_.FieldByName("qryFloor").NestedDataSet();
    TClientDataSet& rows = floors.FieldByName("qryRow").NestedDataSet();
    const std::string sectionName = section_.IsEmpty() ? std::string() : TextOf(section_, "CNAME");
    const TBookmark at = from.GetBookmark();
    for (from.First(); !from.Eof(); from.Next()) {
        if (picked && (TextOf(from, "SELECTED") != "Y" || TextOf(from, "STATUS") != "B" ||
                       TextOf(from, "ORDERCODE") != order_.orderCode))
            continue;
        const int floorNo = from.FieldByName("FLOORNO").AsInteger(),
                  rowNo = from.FieldByName("ROWNO").AsInteger();
        const std::string floorName =
            floors.Locate("FLOORNO", {floorNo}) ? TextOf(floors, "NAME") : std::string();
        const std::string rowName = rows.Locate("ROWNO", {rowNo}) ? TextOf(rows, "NAME") : std::string();
        const std::string kind = TextOf(from, "KIND");
        const std::string kindName = kind_.Locate("KIND", {kind}) ? TextOf(kind_, "NAME") : std::string();
        seatName_.AppendRecord({TextOf(from, "NODECODE"), TextOf(from, "ORDERCODE"), TextOf(from, "STATUS"),
                                kind, TextOf(from, "PRICELEVEL"), TextOf(from, "ISADDITION"),
                                TextOf(from, "Description"), sectionName, floorName, rowName, kindName,
                                from.FieldByName("SEATCODE").AsInteger(), floorNo, rowNo,
                                from.FieldByName("SEATNO").AsInteger()});
    }
    if (at != 0 && from.BookmarkValid(at)) from.GotoBookmark(at);
}

bool TCDOrderHandlerChangeSeat::CanReclaim() {
    if (order_.isSuite != "Y") return true;
    if (suite_.ticketsPerSuite <= 0) {
        ShowWarningMessage(kSuiteTermsMissingText, "警告");
        return false;
    }
    if (suiteCount_ > 1) {
        std::vector<TSplitSeat> seats;
        for (seatName_.First(); !seatName_.Eof(); seatName_.Next())
            seats.push_back({TextOf(seatName_, "PRICELEVEL"), TextOf(seatName_, "STATUS")});
        const std::string refusal = ValidSuitTicket(seats, suite_);
        if (refusal.empty()) return true;
        ShowWarningMessage(refusal, "警告");
        RefreshSeat();
        return false;
    }
    return ShowConfirmMessage("该座位属于套票,拆分时整套票将会全部拆分出来,您确认要拆分这些座位吗?",
                              "请确认") == mrYes;
}

void TCDOrderHandlerChangeSeat::GetReclaimSeatData() {
    reclaimSeatData_.Close();
    reclaimSeatData_.FieldDefs().clear();
    reclaimSeatData_.AddFieldDef("NODECODE", TFieldType::ftString, 2, true);
    for (const char* name : {"PRODUCTCODE", "PLACECODE"})
        reclaimSeatData_.AddFieldDef(name, TFieldType::ftString, 8);
    reclaimSeatData_.AddFieldDef("SEATCODE", TFieldType::ftInteger);
    reclaimSeatData_.AddFieldDef("ORDERCODE", TFieldType::ftString, 20);
    reclaimSeatData_.AddFieldDef("PRICELEVEL", TFieldType::ftString, 1);
    reclaimSeatData_.AddFieldDef("PRICE", TFieldType::ftFloat);
    for (const char* prefix : {"SALE", "RETURN"}) {
        reclaimSeatData_.AddFieldDef(std::string(prefix) + "GROUP", TFieldType::ftString, 8);
        reclaimSeatData_.AddFieldDef(std::string(prefix) + "USER", TFieldType::ftString, 8);
        reclaimSeatData_.AddFieldDef(std::string(prefix) + "TIME", TFieldType::ftDateTime);
    }
    reclaimSeatData_.AddFieldDef("SEATSTATUS", TFieldType::ftString, 1);
    for (const char* name : {"SECTIONNAME", "FLOORNAME", "ROWNAME", "SEATNAME", "KINDNAME"})
        reclaimSeatData_.AddFieldDef(name, TFieldType::ftString, 32);
    reclaimSeatData_.AddFieldDef("TICKETPRICE", TFieldType::ftFloat);
    reclaimSeatData_.AddFieldDef("DISCOUNT", TFieldType::ftString, 16);
    reclaimSeatData_.CreateDataSet();

    seatCodeList_.clear();
    const TDateTime now = Now();
    for (seatName_.First(); !seatName_.Eof(); seatName_.Next()) {
        if (seatName_.FieldByName("SEATCODE").IsNull()) continue;
        const std::string level = TextOf(seatName_, "PRICELEVEL");
        const std::string seatCode = TextOf(seatName_, "SEATCODE");
        FieldValue price;
        if (price_.Locate("PRICELEVEL", {level}) && !price_.FieldByName("PRICE").IsNull())
            price = price_.FieldByName("PRICE").AsFloat();
        FieldValue ticketPrice, discount;
        if (orderDiscount_.Locate("PriceLevel", {level})) {
            ticketPrice = TwoPlaces(orderDiscount_.FieldByName("TicketPrice").AsFloat());
            discount = TwoPlaces(orderDiscount_.FieldByName("Discount").AsFloat());
        }
        reclaimSeatData_.AppendRecord({context_.NodeCode(),
                                       order_.productCode,
                                       placeCode_,
                                       seatCode,
                                       TextOf(seatName_, "ORDERCODE"),
                                       level,
                                       price,
                                       order_.createGroup,
                                       order_.createUser,
                                       order_.createTime,
                                       context_.GroupCode(),
                                       context_.UserCode(),
                                       now,
                                       TextOf(seatName_, "STATUS"),
                                       TextOf(seatName_, "SECTIONNAME"),
                                       TextOf(seatName_, "FLOORNAME"),
                                       TextOf(seatName_, "ROWNAME"),
                                       TextOf(seatName_, "SEATNO"),
                                       TextOf(seatName_, "KindName"),
                                       ticketPrice,
                                       discount});
        seatCodeList_ += "'" + seatCode + "',";
    }
    if (!seatCodeList_.empty()) seatCodeList_.pop_back();
    price_.First();
}

void TCDOrderHandlerChangeSeat::GetReclaimCountAndMoney() {
    std::vector<TReclaimSeat> seats;
    for (reclaimSeatData_.First(); !reclaimSeatData_.Eof(); reclaimSeatData_.Next()) {
        TField& price = reclaimSeatData_.FieldByName("PRICE");
        seats.push_back({TextOf(reclaimSeatData_, "PRICELEVEL"),
                         price.IsNull() ? std::optional<double>() : price.AsFloat()});
    }
    std::vector<TOrderDiscountLine> lines;
    for (orderDiscount_.First(); !orderDiscount_.Eof(); orderDiscount_.Next())
        lines.push_back({TextOf(orderDiscount_, "PriceLevel"), orderDiscount_.FieldByName("Price").AsFloat(),
                         orderDiscount_.FieldByName("Discount").AsFloat(),
                         orderDiscount_.FieldByName("TicketPrice").AsFloat(),
                         orderDiscount_.FieldByName("TotalPrice").AsFloat()});

    reclaimCountAndMoney_.Close();
    reclaimCountAndMoney_.FieldDefs().clear();
    reclaimCountAndMoney_.AddFieldDef("PriceLevel", TFieldType::ftString, 1);
    reclaimCountAndMoney_.AddFieldDef("Price", TFieldType::ftString, 16);
    reclaimCountAndMoney_.AddFieldDef("Discount", TFieldType::ftFloat);
    reclaimCountAndMoney_.AddFieldDef("ReclaimCount", TFieldType::ftInteger);
    reclaimCountAndMoney_.AddFieldDef("ReclaimMoney", TFieldType::ftFloat);
    reclaimCountAndMoney_.CreateDataSet();
    for (const TReclaimLine& line : orderhandler::GetReclaimCountAndMoney(
             seats, lines, order_.isSuite == "Y" ? &suite_ : nullptr, order_.orderFrom))
        reclaimCountAndMoney_.AppendRecord(
            {line.priceLevel, line.price, line.discount, line.count, MoneyOf(line.cents)});
}

} // namespace kav::orderhandler
