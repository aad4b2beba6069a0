#include "orderhandler/odrhrecords.h"

#include "orderhandler/odrhcolumns.h"

#include <stdexcept>

namespace kav::orderhandler {

int TodrHSeatInfoList::Find(std::string_view seatCode) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i).seatCode == seatCode) return i;
    return -1;
}

TodrHSeatInfoList& TodrHOrderInfoRecord::GetSeats() {
    if (!seats) {
        if (!seatLoader) throw std::logic_error("order " + orderCode.str() + " has no seat loader");
        seats = seatLoader(orderCode.str());
    }
    return *seats;
}

TodrHSeatInfoList& TodrHOrderInfoRecord::RefreshSeats() {
    seats.reset();
    return GetSeats();
}

std::unique_ptr<TOrderTitleInfoRecord> MakeOrderTitleInfoRecord(int index) {
    if (index < 0 || index >= kOrderColumnCount)
        throw std::out_of_range("order list column " + std::to_string(index) + " does not exist");
    const TOrderColumn& column = OrderColumns()[static_cast<std::size_t>(index)];
    auto record = std::make_unique<TOrderTitleInfoRecord>();
    record->index = index;
    record->fieldName = column.fieldName;
    record->sortKind = column.sortKind;
    record->title = column.title;
    record->width = column.width;
    return record;
}

TOrderTitleInfoRecord* TOrderTitleInfoList::Find(std::string_view fieldName) const {
    for (const auto& record : *this)
        if (record->fieldName == fieldName) return record.get();
    return nullptr;
}

TOrderTitleInfoRecord* TOrderTitleInfoList::GetOrderTitleInfoRecord(int columnIndex) const {
    if (columnIndex < 0) return nullptr;
    for (const auto& record : *this)
        if (record->columnIndex == columnIndex) return record.get();
    return nullptr;
}

} // namespace kav::orderhandler
