#include "platform/dataset/fieldvalue.h"

#include <cstring>
#include <stdexcept>

namespace kav {

FieldValue::FieldValue(std::shared_ptr<detail::Table> nested) : kind_(Kind::Nested) {
    new (u_.nested) std::shared_ptr<detail::Table>(std::move(nested));
}

void FieldValue::SetText(std::string_view text) {
    kind_ = Kind::String;
    if (text.size() <= kInline) {
        inline_ = true;
        size_ = static_cast<std::uint8_t>(text.size());
        std::memcpy(u_.small, text.data(), text.size());
    } else {
        if (text.size() > UINT32_MAX) throw std::length_error("A field value is limited to 4 GiB");
        inline_ = false;
        u_.heap.data = new char[text.size()];
        u_.heap.size = static_cast<std::uint32_t>(text.size());
        std::memcpy(u_.heap.data, text.data(), text.size());
    }
}

void FieldValue::CopyFrom(const FieldValue& other) {
    if (other.kind_ == Kind::String) {
        SetText(other.String());
    } else if (other.kind_ == Kind::Nested) {
        new (u_.nested) std::shared_ptr<detail::Table>(other.Nested());
        kind_ = Kind::Nested;
    } else {
        kind_ = other.kind_;
        u_ = other.u_;
    }
}

void FieldValue::Release() noexcept {
    if (kind_ == Kind::String && !inline_) delete[] u_.heap.data;
    if (kind_ == Kind::Nested) std::destroy_at(NestedSlot());
    kind_ = Kind::Null;
    inline_ = false;
    size_ = 0;
}

FieldValue::FieldValue(const FieldValue& other) {
    CopyFrom(other);
}

void FieldValue::MoveFrom(FieldValue& other) noexcept {
    if (other.kind_ == Kind::Nested) {
        new (u_.nested) std::shared_ptr<detail::Table>(std::move(*other.NestedSlot()));
        std::destroy_at(other.NestedSlot());
    } else {
        u_ = other.u_; // the heap block of a long text, if any, now belongs here
    }
    kind_ = other.kind_;
    inline_ = other.inline_;
    size_ = other.size_;
    other.kind_ = Kind::Null;
    other.inline_ = false;
    other.size_ = 0;
}

FieldValue::FieldValue(FieldValue&& other) noexcept {
    MoveFrom(other);
}

FieldValue& FieldValue::operator=(const FieldValue& other) {
    if (this != &other) {
        FieldValue copy(other); // copy first: a throwing copy leaves this value intact
        *this = std::move(copy);
    }
    return *this;
}

FieldValue& FieldValue::operator=(FieldValue&& other) noexcept {
    if (this != &other) {
        Release();
        MoveFrom(other);
    }
    return *this;
}

bool operator==(const FieldValue& a, const FieldValue& b) noexcept {
    if (a.kind_ != b.kind_) return false;
    switch (a.kind_) {
    case FieldValue::Kind::Null:
        return true;
    case FieldValue::Kind::Boolean:
        return a.u_.boolean == b.u_.boolean;
    case FieldValue::Kind::Integer:
        return a.u_.integer == b.u_.integer;
    case FieldValue::Kind::Float:
        return a.u_.number == b.u_.number;
    case FieldValue::Kind::String:
        return a.String() == b.String();
    case FieldValue::Kind::Nested:
        return a.Nested() == b.Nested();
    }
    return false;
}

} // namespace kav
