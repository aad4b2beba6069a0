#pragma once
// Replacing a file so that readers and crashes see either the old or the new content, never a
// mixture: the bytes go to a temporary file in the same folder, are flushed to disk, and the
// temporary is renamed over the target.

#include <filesystem>
#include <string_view>

namespace kav {

// Raises std::runtime_error naming the path (and the system's reason) when the file cannot be
// written; the previous content of the target is then untouched and no temporary is left behind.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// A temporary file name beside `target`, unique within this process and host.
std::filesystem::path TemporarySibling(const std::filesystem::path& target);

} // namespace kav
