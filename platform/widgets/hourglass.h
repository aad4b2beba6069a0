#pragma once
// THourglass: the hourglass (wait) cursor for as long as the object lives, for work that keeps the GUI
// thread busy. Scopes nest. GUI thread only.

namespace kav {

class THourglass final {
public:
    THourglass();
    ~THourglass();
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;
};

} // namespace kav
