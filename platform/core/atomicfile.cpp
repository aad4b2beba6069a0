#include "platform/core/atomicfile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace kav {

std::filesystem::path TemporarySibling(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path tmp = target;
    tmp += ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter++);
    return tmp;
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path tmp = TemporarySibling(path);
    auto fail = [&](const char* what) {
        std::string reason = std::strerror(errno);
        ::unlink(tmp.c_str());
        throw std::runtime_error(std::string("cannot ") + what + " " + path.string() + ": " + reason);
    };
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail("create a temporary file for");
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int saved = errno;
            ::close(fd);
            errno = saved;
            fail("write");
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) {
        int saved = errno;
        ::close(fd);
        errno = saved;
        fail("flush");
    }
    if (::close(fd) != 0) fail("close");
    if (::rename(tmp.c_str(), path.c_str()) != 0) fail("replace");
}

} // namespace kav
