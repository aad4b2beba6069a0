#pragma once
// Names of update packs and where they are fetched from.
//
// A pack name is a prefix and a decimal number ("ctcom12" a system pack, "pack3" a user pack); the file on
// the update server and in the "patch" folder is the name with ".zip" appended.

#include <stdexcept>
#include <string>
#include <string_view>

namespace kav {

inline constexpr std::string_view kSystemPackPrefix = "ctcom";
inline constexpr std::string_view kUserPackPrefix = "pack";
inline constexpr std::string_view kPackExtension = ".zip";

// Raised for a pack name whose number cannot be read, naming the pack.
class PackNameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file to ask for, given the current pack `name` and its `state`:
//   "0"  the same pack again:   name + ".zip"
//   "1"  the pack after it:     prefix + (the number after the first prefix-length characters + 1) + ".zip"
//   else                        name unchanged (no ".zip")
// Raises PackNameError when state is "1" and the characters after the prefix length are not a number.
std::string PackFileToFetch(std::string_view name, std::string_view state, std::string_view prefix);

// The pack name of a file: `file` without a trailing ".zip".
std::string PackNameOfFile(std::string_view file);

// The address of `file` under `baseUrl`, joined with "/".
std::string PackUrl(std::string_view baseUrl, std::string_view file);

} // namespace kav
