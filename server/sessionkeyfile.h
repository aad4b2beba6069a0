#pragma once
// The session signing key kept in a file, so that several kav-server processes over one database
// accept each other's sessions. The file holds the key as 64 hexadecimal digits and a line end;
// only its owner may read it (mode 0600).

#include "server/sessionsigner.h"

#include <filesystem>
#include <stdexcept>

namespace kav::server {

class ESessionKeyFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The key in `path`. A missing file is created with a fresh key first; when several servers start
// at once, the first to create it wins and the others read its key. Raises ESessionKeyFile, naming
// the path, for a file that others may read or write, that does not hold a key, or that cannot be
// read or created.
TSessionSigner::Key LoadOrCreateSessionKey(const std::filesystem::path& path);

} // namespace kav::server
