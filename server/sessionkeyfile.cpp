#include "server/sessionkeyfile.h"

#include "platform/core/atomicfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sodium.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kav::server {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& what) {
    throw ESessionKeyFile("session key file " + path.string() + ": " + what);
}

// Writes `text` to a new file of mode 0600 and links it to `path` unless a file is there already:
// the link either publishes the whole file or fails, never leaving a half-written key to read.
void CreateExclusively(const std::filesystem::path& path, const std::string& text) {
    const std::filesystem::path temporary = TemporarySibling(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) Fail(path, std::string("cannot be created: ") + std::strerror(errno));
    const bool written =
        ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    const int writeError = errno;
    ::close(fd);
    const bool linked = written && ::link(temporary.c_str(), path.c_str()) == 0;
    const int linkError = errno;
    ::unlink(temporary.c_str());
    if (!written) Fail(path, std::string("cannot be written: ") + std::strerror(writeError));
    if (!linked && linkError != EEXIST)
        Fail(path, std::string("cannot be created: ") + std::strerror(linkError));
}

TSessionSigner::Key Read(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        Fail(path, std::string("cannot be read: ") + std::strerror(errno));
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) Fail(path, "others may read it; make it mode 600");
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    if (!in) Fail(path, "cannot be read");
    std::string hex = content.str();
    while (!hex.empty() && std::isspace(static_cast<unsigned char>(hex.back())))
        hex.pop_back();
    TSessionSigner::Key key{};
    std::size_t size = 0;
    const char* end = nullptr;
    if (sodium_hex2bin(key.data(), key.size(), hex.data(), hex.size(), nullptr, &size, &end) != 0 ||
        size != key.size() || end != hex.data() + hex.size())
        Fail(path, "does not hold a key of " + std::to_string(key.size() * 2) + " hexadecimal digits");
    return key;
}

} // namespace

TSessionSigner::Key LoadOrCreateSessionKey(const std::filesystem::path& path) {
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot be initialised");
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        TSessionSigner::Key key{};
        crypto_auth_keygen(key.data());
        std::string hex(key.size() * 2 + 1, '\0');
        sodium_bin2hex(hex.data(), hex.size(), key.data(), key.size());
        sodium_memzero(key.data(), key.size());
        hex.back() = '\n';
        CreateExclusively(path, hex);
        sodium_memzero(hex.data(), hex.size());
    }
    return Read(path);
}

} // namespace kav::server
