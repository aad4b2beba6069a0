#pragma once
// ILoginGateway: how the login dialog opens a session on a server. The real one logs in through the login
// service on the shared connection; tests put a fake in its place.

#include <stdexcept>
#include <string>

namespace kav {

// The server answered and refused the user; the message is the server's.
class ELoginRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// No answer from the server: it cannot be reached or the connection failed.
class EServerUnreachable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ILoginGateway {
public:
    virtual ~ILoginGateway() = default;
    // Returns the session context text. Raises ELoginRefused or EServerUnreachable.
    virtual std::string Login(const std::string& Host, int Port, const std::string& UserCode,
                              const std::string& Password) = 0;
};

} // namespace kav
