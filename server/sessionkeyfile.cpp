#include "server/sessionkeyfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kav::server {

namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& why) {
    throw ESessionKeyFile("session key file " + path.string() + ": " + why);
}

std::string Hex(const TSessionSigner::Key& key) {
    std::string hex(key.size() * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), key.data(), key.size());
    hex.back() = '\n';
    return hex;
}

// Writes a fresh key to a private file beside `path` and links it into place, which fails when
// another server was first; the temporary file goes either way.
void TryCreate(const std::filesystem::path& path) {
    if (sodium_init() < 0) Fail(path, "libsodium cannot be initialised");
    TSessionSigner::Key key;
    crypto_auth_keygen(key.data());
    const std::string text = Hex(key);
    sodium_memzero(key.data(), key.size());
    std::string temporary = path.string() + ".XXXXXX";
    const int fd = mkstemp(temporary.data()); // mode 0600
    if (fd < 0) Fail(path, std::string("cannot be created: ") + std::strerror(errno));
    const bool written =
        write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && fsync(fd) == 0;
    close(fd);
    const int linked = written ? link(temporary.c_str(), path.c_str()) : -1;
    const int linkError = errno;
    unlink(temporary.c_str());
    if (!written) Fail(path, "cannot be written");
    if (linked != 0 && linkError != EEXIST)
        Fail(path, std::string("cannot be created: ") + std::strerror(linkError));
}

} // namespace

TSessionSigner::Key LoadOrCreateSessionKey(const std::filesystem::path& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) Fail(path, std::strerror(errno));
        TryCreate(path);
        if (stat(path.c_str(), &info) != 0) Fail(path, std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) Fail(path, "is not a file");
    if ((info.st_mode & 077) != 0)
        Fail(path, "others may read or change it; allow its owner only (chmod 600)");

    std::ifstream file(path);
    std::string hex;
    if (!std::getline(file, hex)) Fail(path, "cannot be read");
    TSessionSigner::Key key;
    std::size_t size = 0;
    const char* end = nullptr;
    if (sodium_hex2bin(key.data(), key.size(), hex.data(), hex.size(), nullptr, &size, &end) != 0 ||
        size != key.size() || end != hex.data() + hex.size())
        Fail(path, "does not hold a key of 64 hexadecimal digits");
    sodium_memzero(hex.data(), hex.size());
    return key;
}

} // namespace kav::server
