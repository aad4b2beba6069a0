#include "platform/dataset/filternodes.h"

namespace kav::filter {

Operand Operand::Field(int index, FilterValueKind kind) {
    Operand o;
    o.field_ = index;
    o.kind_ = kind;
    return o;
}

Operand Operand::Constant(FilterValue value, std::string text) {
    Operand o;
    o.kind_ = value.kind;
    o.constant_ = value;
    o.constant_.text = {};
    o.text_ = std::move(text);
    return o;
}

Truth AndNode::Evaluate(const FilterRow& row) const {
    Truth result = Truth::True;
    for (const auto& term : terms_) {
        const Truth t = term->Evaluate(row);
        if (t == Truth::False) return Truth::False;
        if (t == Truth::Unknown) result = Truth::Unknown;
    }
    return result;
}

Truth OrNode::Evaluate(const FilterRow& row) const {
    Truth result = Truth::False;
    for (const auto& term : terms_) {
        const Truth t = term->Evaluate(row);
        if (t == Truth::True) return Truth::True;
        if (t == Truth::Unknown) result = Truth::Unknown;
    }
    return result;
}

Truth LikeNode::Evaluate(const FilterRow& row) const {
    const FilterValue v = operand_.Value(row);
    if (v.kind != FilterValueKind::String) return Truth::Unknown;
    return pattern_.Matches(v.text) != negated_ ? Truth::True : Truth::False;
}

} // namespace kav::filter
