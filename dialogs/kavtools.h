#pragma once
// Small helpers the windows share.

#include <cstdint>

namespace kav {

class TClientDataSet;

// Walks the fields of the current row in order; at the first required field whose value reads as empty
// text it shows the prompt "‘<display name>’不能为空!" and returns false. True when every required field
// has a value.
bool CheckRequiredData(TClientDataSet& DataSet);

// Milliseconds since the operating system started (wraps after about 49.7 days, as callers expect of a
// 32-bit tick count).
std::uint32_t GetTickCount();

} // namespace kav
