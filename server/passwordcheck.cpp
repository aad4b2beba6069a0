#include "server/passwordcheck.h"

#include <semaphore>
#include <sodium.h>

namespace kav::server {

namespace {
std::counting_semaphore<> passwordChecks(4);
} // namespace

bool PasswordMatches(const std::string& hash, const std::string& password) {
    passwordChecks.acquire();
    const bool matches = crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
    passwordChecks.release();
    return matches;
}

} // namespace kav::server
