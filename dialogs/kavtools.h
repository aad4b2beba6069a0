#pragma once
// Small helpers the windows share.

#include <cstdint>

namespace kav {

// Milliseconds since the operating system started (wraps after about 49.7 days, as callers expect of a
// 32-bit tick count).
std::uint32_t GetTickCount();

} // namespace kav
