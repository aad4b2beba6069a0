#pragma once
// Checking a password against a libsodium crypto_pwhash_str hash (user logins, member cards).
// Each check takes tens of megabytes for a moment, so at most a few run at once; a burst of checks
// waits for a free slot instead of taking the server's memory. Thread-safe.

#include <string>

namespace kav::server {

bool PasswordMatches(const std::string& hash, const std::string& password);

} // namespace kav::server
