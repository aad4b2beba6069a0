#pragma once
// The session signing key kept in a file, so that a restart keeps its users logged in and several
// servers behind one address accept each other's sessions (they share the file's content).
//
// The file holds the key as 64 hexadecimal digits on one line, and must be readable by its owner
// only (like an ssh private key).

#include "server/sessionsigner.h"

#include <filesystem>
#include <stdexcept>

namespace kav::server {

// A key file that cannot be used; the message names the file and what is wrong with it.
class ESessionKeyFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The key in `path`. When there is no such file, draws a key and writes it there first (mode 0600,
// in one step, so that servers starting together all end up with the same key). Raises
// ESessionKeyFile for a file that others may read, that is not a key, or that cannot be written.
TSessionSigner::Key LoadOrCreateSessionKey(const std::filesystem::path& path);

} // namespace kav::server
