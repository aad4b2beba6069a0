#include "platform/dataset/fielddef.h"

namespace kav {

std::string_view FieldTypeName(TFieldType type) noexcept {
    switch (type) {
    case TFieldType::ftString:
        return "String";
    case TFieldType::ftSmallint:
        return "Smallint";
    case TFieldType::ftInteger:
        return "Integer";
    case TFieldType::ftLargeint:
        return "Largeint";
    case TFieldType::ftFloat:
        return "Float";
    case TFieldType::ftCurrency:
        return "Currency";
    case TFieldType::ftBCD:
        return "BCD";
    case TFieldType::ftBoolean:
        return "Boolean";
    case TFieldType::ftDateTime:
        return "DateTime";
    case TFieldType::ftTimeStamp:
        return "TimeStamp";
    case TFieldType::ftMemo:
        return "Memo";
    case TFieldType::ftBlob:
        return "Blob";
    case TFieldType::ftDataSet:
        return "DataSet";
    }
    return "Unknown";
}

bool IsKnownFieldType(std::uint8_t code) noexcept {
    return code >= static_cast<std::uint8_t>(TFieldType::ftString) &&
           code <= static_cast<std::uint8_t>(TFieldType::ftDataSet);
}

bool IsUsableFieldName(std::string_view name) noexcept {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !name.empty() && name.find(';') == std::string_view::npos && !blank(name.front()) &&
           !blank(name.back());
}

std::vector<std::string> SplitFieldNames(std::string_view names) {
    std::vector<std::string> result;
    while (!names.empty()) {
        auto end = names.find(';');
        auto part = names.substr(0, end);
        while (!part.empty() && part.front() == ' ')
            part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ')
            part.remove_suffix(1);
        if (!part.empty()) result.emplace_back(part);
        if (end == std::string_view::npos) break;
        names.remove_prefix(end + 1);
    }
    return result;
}

} // namespace kav
