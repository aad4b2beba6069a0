#pragma once
// The LIKE patterns of filters: % matches any run of characters (also none), _ matches exactly one
// character, every other character matches itself with letter case counting. Characters are UTF-8
// code points, so _ matches one Chinese character, not one byte of it. There is no escape for % and _.

#include <string>
#include <string_view>

namespace kav::filter {

class LikePattern {
public:
    explicit LikePattern(std::string pattern);

    // No allocation; time at most proportional to pattern size times text size.
    bool Matches(std::string_view text) const noexcept;

private:
    std::string pattern_;
};

} // namespace kav::filter
