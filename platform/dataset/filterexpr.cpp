#include "platform/dataset/filterexpr.h"

#include "platform/dataset/filternodes.h"
#include "platform/dataset/filterparser.h"

namespace kav {

Filter Filter::Parse(std::string_view text, const FilterFields& fields) {
    return Filter(std::string(text), filter::ParseFilter(text, fields));
}

Filter::Filter(std::string text, std::shared_ptr<const Node> root)
    : text_(std::move(text)), root_(std::move(root)) {}

Filter::~Filter() = default;

bool Filter::Matches(const FilterRow& row) const {
    return root_->Evaluate(row) == filter::Truth::True;
}

} // namespace kav
