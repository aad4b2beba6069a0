#pragma once
// A field's value: null, boolean, integer, floating point or text. Values given to a dataset
// (FindKey, Locate, SetValue, AppendRecord) are converted to the field's type first, so
// FieldValue(5) finds the text "5" in a string field and FieldValue("5") the number in an
// integer field.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace kav {

namespace detail {
struct Table;
}

class FieldValue {
public:
    enum class Kind { Null, Boolean, Integer, Float, String, Nested };

    FieldValue() = default;
    FieldValue(bool value) : v_(value) {}
    FieldValue(int value) : v_(std::int64_t{value}) {}
    FieldValue(std::int64_t value) : v_(value) {}
    FieldValue(double value) : v_(value) {}
    FieldValue(std::string value) : v_(std::move(value)) {}
    FieldValue(std::string_view value) : v_(std::string(value)) {}
    FieldValue(const char* value) : v_(std::string(value)) {}
    explicit FieldValue(std::shared_ptr<detail::Table> nested) : v_(std::move(nested)) {}

    Kind GetKind() const noexcept { return static_cast<Kind>(v_.index()); }
    bool IsNull() const noexcept { return v_.index() == 0; }
    // Accessors of the held alternative; calling the wrong one is a caller's bug (asserted).
    bool Boolean() const { return std::get<bool>(v_); }
    std::int64_t Integer() const { return std::get<std::int64_t>(v_); }
    double Float() const { return std::get<double>(v_); }
    const std::string& String() const { return std::get<std::string>(v_); }
    const std::shared_ptr<detail::Table>& Nested() const { return std::get<5>(v_); }

    friend bool operator==(const FieldValue&, const FieldValue&) = default;

private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string, std::shared_ptr<detail::Table>> v_;
};

} // namespace kav
