#pragma once
// The expression tree of a parsed filter. Nodes are immutable once built and own their children;
// evaluation allocates nothing.

#include "platform/dataset/filtercompare.h"
#include "platform/dataset/filterexpr.h"
#include "platform/dataset/filterlike.h"

#include <memory>
#include <string>
#include <vector>

namespace kav {

struct Filter::Node {
    virtual ~Node() = default;
    virtual filter::Truth Evaluate(const FilterRow& row) const = 0;
};

namespace filter {

using NodePtr = std::unique_ptr<const Filter::Node>;

// A field of the current row or a constant written in the filter.
class Operand {
public:
    static Operand Field(int index, FilterValueKind kind);
    // For a String constant, `value.text` is ignored and `text` is used instead.
    static Operand Constant(FilterValue value, std::string text = {});

    bool IsField() const { return field_ >= 0; }
    // The field's declared kind, or the constant's kind.
    FilterValueKind Kind() const { return kind_; }
    std::string_view Text() const { return text_; }

    FilterValue Value(const FilterRow& row) const {
        if (field_ >= 0) return row.Get(field_);
        FilterValue v = constant_;
        v.text = text_;
        return v;
    }

private:
    int field_ = -1;
    FilterValueKind kind_ = FilterValueKind::Null;
    FilterValue constant_;
    std::string text_;
};

// Matches every row: the filter of an empty text.
class AllRowsNode final : public Filter::Node {
public:
    Truth Evaluate(const FilterRow&) const override { return Truth::True; }
};

// The terms of a run of `and` (or of `or`) sit in one node, so long filters do not nest deeply.
class AndNode final : public Filter::Node {
public:
    explicit AndNode(std::vector<NodePtr> terms) : terms_(std::move(terms)) {}
    Truth Evaluate(const FilterRow& row) const override;

private:
    std::vector<NodePtr> terms_;
};

class OrNode final : public Filter::Node {
public:
    explicit OrNode(std::vector<NodePtr> terms) : terms_(std::move(terms)) {}
    Truth Evaluate(const FilterRow& row) const override;

private:
    std::vector<NodePtr> terms_;
};

class NotNode final : public Filter::Node {
public:
    explicit NotNode(NodePtr operand) : operand_(std::move(operand)) {}
    Truth Evaluate(const FilterRow& row) const override { return !operand_->Evaluate(row); }

private:
    NodePtr operand_;
};

class CompareNode final : public Filter::Node {
public:
    CompareNode(Operand left, CompareOp op, Operand right)
        : left_(std::move(left)), right_(std::move(right)), op_(op) {}
    Truth Evaluate(const FilterRow& row) const override {
        return Apply(op_, CompareValues(left_.Value(row), right_.Value(row)));
    }

private:
    Operand left_, right_;
    CompareOp op_;
};

// `x is null` / `x is not null`: never Unknown.
class IsNullNode final : public Filter::Node {
public:
    IsNullNode(Operand operand, bool negated) : operand_(std::move(operand)), negated_(negated) {}
    Truth Evaluate(const FilterRow& row) const override {
        const bool isNull = operand_.Value(row).kind == FilterValueKind::Null;
        return isNull != negated_ ? Truth::True : Truth::False;
    }

private:
    Operand operand_;
    bool negated_;
};

// `x like 'pattern'` / `x not like 'pattern'`: Unknown when x is null or not a string.
class LikeNode final : public Filter::Node {
public:
    LikeNode(Operand operand, LikePattern pattern, bool negated)
        : operand_(std::move(operand)), pattern_(std::move(pattern)), negated_(negated) {}
    Truth Evaluate(const FilterRow& row) const override;

private:
    Operand operand_;
    LikePattern pattern_;
    bool negated_;
};

} // namespace filter
} // namespace kav
