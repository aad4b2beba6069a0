#include "mapseatshow/cdmapseatshow.h"

#include "host/camapseatshow.h"
#include "host/camapsectionshow.h"
#include "seatmap/pricelevels.h"

#include <algorithm>

namespace kav {

TCDMapSeatShow::TCDMapSeatShow(pelio::TPelioClient& client) : client_(client) {
    // The designer shows every seat's kind, so that kinds given from the legend can be seen.
    TFieldDef marks = MakeFieldDef("IsEntrepreneur", TFieldType::ftString, 1);
    marks.kind = TFieldKind::fkCalculated;
    seat_.FieldDefs().push_back(marks);
    seat_.SetOnCalcFields(
        [](TClientDataSet& seats) { seats.FieldByName("IsEntrepreneur").SetAsString("Y"); });
    seat_.SetIndexFieldNames("SEATCODE");
}

void TCDMapSeatShow::SetContext(const std::string& text) {
    TKavContext context;
    context.SetAsString(text);
    context_ = context;
    nodeCode_ = context_.NodeCode();
}

void TCDMapSeatShow::GetPrice() {
    price_.SetData(TCAMapSeatShow(client_).GetPrice(Context(), ProductCode).ByteArrayView());
    CompletePriceLevels(price_, true);
}

void TCDMapSeatShow::GetSection() {
    section_.SetData(TCAMapSeatShow(client_).GetSection(Context(), ProductCode, SectionCode).ByteArrayView());
}

TClientDataSet& TCDMapSeatShow::cdsFloor() {
    return section_.FieldByName("qryFloor").NestedDataSet();
}

TClientDataSet& TCDMapSeatShow::cdsRow() {
    return cdsFloor().FieldByName("qryRow").NestedDataSet();
}

void TCDMapSeatShow::GetData() {
    LoadSeats(TCAMapSeatShow(client_).GetSeat(Context(), ProductCode, MapCode, SectionCode).ByteArrayView());
}

void TCDMapSeatShow::LoadSeats(std::string_view packet) {
    seat_.SetData(packet);
    lowestCode_ = 0;
    TField& code = seat_.FieldByName("SEATCODE");
    for (seat_.First(); !seat_.Eof(); seat_.Next())
        lowestCode_ = std::min<std::int64_t>(lowestCode_, code.AsLargeInt());
    seat_.First();
}

void TCDMapSeatShow::SetData() {
    if (!seat_.Active() || seat_.ChangeCount() == 0) return;
    const pelio::Variant answer = TCAMapSeatShow(client_).SetSeat(
        Context(), ProductCode, MapCode, SectionCode, pelio::Variant::ByteArray(seat_.Delta()));
    if (!answer.IsByteArray() || answer.ByteArrayView().empty())
        throw EMapSeatSaveUnanswered("服务器没有返回保存后的座位，座位是否已保存未能确认，请刷新座位后检查");
    // The answer holds the section's seats as saved: none at all when every seat was deleted.
    LoadSeats(answer.ByteArrayView());
}

void TCDMapSeatShow::SetSection() {
    if (!section_.Active() || section_.ChangeCount() == 0) return;
    TCAMapSectionShow sections(client_);
    TClientDataSet all;
    all.SetData(sections.GetSections(Context(), MapCode).ByteArrayView());
    const std::string code = section_.FieldByName("SECTIONCODE").AsString();
    if (!all.Locate("sectioncode", {code}))
        throw EMapSectionMissing("座位图 " + MapCode + " 中没有区域 " + code + "，舞台位置没有保存");
    all.Edit();
    all.FieldByName("arenaxy").SetAsString(section_.FieldByName("ARENAXY").AsString());
    all.Post();
    sections.SetSections(Context(), MapCode, pelio::Variant::ByteArray(all.Delta()));
    section_.MergeChangeLog();
}

void TCDMapSeatShow::NewSeatRecord(TClientDataSet& seats) {
    seats.FieldByName("SEATCODE").SetAsInteger(--lowestCode_);
    seats.FieldByName("NODECODE").SetAsString(nodeCode_);
    seats.FieldByName("MAPCODE").SetAsString(MapCode);
    seats.FieldByName("SECTIONCODE").SetAsString(SectionCode);
    seats.FieldByName("STATUS").SetAsString("F");
}

} // namespace kav
