#pragma once
// Our texts are UTF-8 std::string; Qt's are QString. Q() carries one into the other for captions,
// cells and messages.

#include <QString>
#include <string_view>

namespace kav {

inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace kav
