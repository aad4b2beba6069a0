#pragma once
// How the programs' heap treats memory that is freed: call KeepFreedHeapForReuse() once at the
// start of main, before any thread is started.
//
// The client loads search results of thousands of rows again and again (each load frees the
// previous dataset and records, then builds new ones of about the same size), and the server
// builds answers of that size per request. glibc returns a freed heap top above 128 KiB to the
// system at once, so the next load faults every page back in, which costs more than filling them.
// Keeping up to kHeapKeptFree bytes of freed heap lets the next result reuse them; the process
// then holds at most that much more memory than it uses. Elsewhere than glibc this does nothing.

#include <cstddef>

namespace kav {

inline constexpr std::size_t kHeapKeptFree = std::size_t{64} << 20;

void KeepFreedHeapForReuse() noexcept;

} // namespace kav
