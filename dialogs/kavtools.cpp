#include "dialogs/kavtools.h"

#include <ctime>

namespace kav {

std::uint32_t GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint32_t>(std::uint64_t(now.tv_sec) * 1000u +
                                      std::uint64_t(now.tv_nsec) / 1000000u);
}

} // namespace kav
