#pragma once
// A field's value: null, boolean, integer, floating point or text. Values given to a dataset
// (FindKey, Locate, SetValue, AppendRecord) are converted to the field's type first, so
// FieldValue(5) finds the text "5" in a string field and FieldValue("5") the number in an
// integer field.
//
// Held in 24 bytes, texts of up to 14 bytes inline: tables keep one per field and row.

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

namespace kav {

namespace detail {
struct Table;
}

class FieldValue {
public:
    enum class Kind : std::uint8_t { Null, Boolean, Integer, Float, String, Nested };

    FieldValue() noexcept { u_.integer = 0; }
    FieldValue(bool value) noexcept : kind_(Kind::Boolean) { u_.boolean = value; }
    template <typename T, typename = std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                                      !std::is_same_v<T, char>>>
    FieldValue(T value) noexcept : kind_(Kind::Integer) {
        u_.integer = static_cast<std::int64_t>(value);
    }
    FieldValue(double value) noexcept : kind_(Kind::Float) { u_.number = value; }
    FieldValue(std::string_view value) { SetText(value); }
    FieldValue(const std::string& value) { SetText(value); }
    FieldValue(const char* value) { SetText(value); }
    explicit FieldValue(std::shared_ptr<detail::Table> nested);

    FieldValue(const FieldValue& other);
    FieldValue(FieldValue&& other) noexcept;
    FieldValue& operator=(const FieldValue& other);
    FieldValue& operator=(FieldValue&& other) noexcept;
    ~FieldValue() { Release(); }

    Kind GetKind() const noexcept { return kind_; }
    bool IsNull() const noexcept { return kind_ == Kind::Null; }
    // Accessors of the held kind; calling the wrong one is a caller's bug.
    bool Boolean() const noexcept { return u_.boolean; }
    std::int64_t Integer() const noexcept { return u_.integer; }
    double Float() const noexcept { return u_.number; }
    std::string_view String() const noexcept {
        return inline_ ? std::string_view(u_.small, size_) : std::string_view(u_.heap.data, u_.heap.size);
    }
    const std::shared_ptr<detail::Table>& Nested() const noexcept { return *NestedSlot(); }

    friend bool operator==(const FieldValue& a, const FieldValue& b) noexcept;

private:
    static constexpr std::size_t kInline = 14;
    union {
        bool boolean;
        std::int64_t integer;
        double number;
        struct {
            char* data;
            std::uint32_t size;
        } heap;
        char small[kInline];
        // A std::shared_ptr<detail::Table> lives here while the kind is Nested.
        alignas(std::shared_ptr<detail::Table>) unsigned char nested[sizeof(std::shared_ptr<detail::Table>)];
    } u_;
    Kind kind_ = Kind::Null;
    bool inline_ : 1 = false;
    std::uint8_t size_ : 7 = 0; // inline text length

    std::shared_ptr<detail::Table>* NestedSlot() noexcept {
        return std::launder(reinterpret_cast<std::shared_ptr<detail::Table>*>(u_.nested));
    }
    const std::shared_ptr<detail::Table>* NestedSlot() const noexcept {
        return std::launder(reinterpret_cast<const std::shared_ptr<detail::Table>*>(u_.nested));
    }
    // Takes over other's value, leaving other null; this holds nothing before.
    void MoveFrom(FieldValue& other) noexcept;
    void SetText(std::string_view text);
    void CopyFrom(const FieldValue& other);
    void Release() noexcept;
};

static_assert(sizeof(FieldValue) == 24);

} // namespace kav
