#pragma once
// The dataset layer's exception: bad use of a dataset by data (unknown field, value that does not
// convert, required field empty, malformed packet or filter). The message names what was wrong.

#include <stdexcept>

namespace kav {

class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace kav
