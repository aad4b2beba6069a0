#pragma once
// Builds the expression tree of a filter text; the grammar is the one in filterexpr.h.

#include "platform/dataset/filternodes.h"

#include <string_view>

namespace kav::filter {

// Parentheses and `not` nest at most this deep, so that hostile text cannot exhaust the stack.
inline constexpr int kMaxFilterDepth = 100;

// Raises EFilterError. An empty or blank text gives a tree that matches every row.
NodePtr ParseFilter(std::string_view text, const FilterFields& fields);

} // namespace kav::filter
