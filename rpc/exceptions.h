#pragma once
// The library's exception classes. Network and framing failures reach the caller of a remote call
// as EosException; a connection that cannot be opened as EosConnectionError; an error reported by
// the peer (or a message it sent that cannot be used) as EosRemoteException.

#include <stdexcept>
#include <string>

namespace pelio {

class EosException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EosConnectionError : public EosException {
public:
    using EosException::EosException;
};

class EosRemoteException : public EosException {
public:
    using EosException::EosException;
};

// A programming error of a caller (a missing connection, a proxy without client). The message
// names the source unit, as the assertion texts of the library always have.
class EosAssertion : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

inline void PelioAssert(bool condition, const char* unit, const char* what) {
    if (!condition) throw EosAssertion(std::string("Assertion failed: ") + what + " (" + unit + ")");
}

} // namespace pelio
