#pragma once
// The seat map's texts name the fonts of the desk computers they were designed on: "宋体" (SimSun) for
// Chinese text and "Arial Narrow" for seat and row numbers. InstallSeatMapFontSubstitutes maps both names
// to fonts found on this system (CJK fonts first for "宋体", condensed Latin fonts with a CJK fallback
// for "Arial Narrow"), so the same names can be used in code.
//
// Idempotent; call on the GUI thread. The seat map controls call it when they are created.

namespace kav {

void InstallSeatMapFontSubstitutes();

} // namespace kav
