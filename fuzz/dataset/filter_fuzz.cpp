// Parses arbitrary text as a filter over fields of every kind and evaluates what parses on rows
// with nulls, extreme numbers and broken UTF-8. Only EFilterError may escape the parser.

#include "platform/core/textcodec.h"
#include "platform/dataset/filterexpr.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

namespace {

using K = kav::FilterValueKind;

struct Field {
    std::string_view name;
    K kind;
};
constexpr Field kFields[] = {{"S", K::String},   {"I", K::Integer}, {"F", K::Float},
                             {"D", K::DateTime}, {"B", K::Boolean}, {"名称", K::String}};
constexpr int kFieldCount = sizeof kFields / sizeof kFields[0];

class Fields final : public kav::FilterFields {
public:
    std::optional<int> IndexOf(std::string_view name) const override {
        for (int i = 0; i < kFieldCount; ++i)
            if (kav::EqualsIgnoringCase(kFields[i].name, name)) return i;
        return std::nullopt;
    }
    K KindOf(int index) const override { return kFields[index].kind; }
};

class Row final : public kav::FilterRow {
public:
    explicit Row(int variant) : variant_(variant) {}
    kav::FilterValue Get(int index) const override {
        kav::FilterValue v;
        if (variant_ == 0) return v; // all null
        v.kind = kFields[index].kind;
        const bool extreme = variant_ == 2;
        v.integer = extreme ? std::numeric_limits<std::int64_t>::min() : 42;
        v.number = extreme ? std::numeric_limits<double>::quiet_NaN() : -1.25;
        v.boolean = extreme;
        v.text = extreme ? std::string_view("\xE6\xBC\xA0\xC3") : std::string_view("2026-12-07 19:30");
        return v;
    }

private:
    int variant_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Fields fields;
    try {
        const kav::Filter filter = kav::Filter::Parse(text, fields);
        for (int variant = 0; variant < 3; ++variant)
            (void)filter.Matches(Row(variant));
    } catch (const kav::EFilterError&) {
    }
    return 0;
}
