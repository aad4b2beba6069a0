#pragma once
// TSessionSigner: issues and checks session context texts (docs/context.md). The signature is
// libsodium's crypto_auth (HMAC-SHA-512-256) under a key held only by this server process, over
// every byte of the text before the "Signature=" line, which must be the text's last line.
//
// Threading: immutable after construction; Issue and Verify may run on any number of threads.

#include "platform/core/contexttext.h"

#include <array>
#include <string>
#include <string_view>

namespace kav::server {

// The text of the EosRemoteException raised for a context that does not verify.
inline constexpr std::string_view kInvalidSessionText = "会话无效，请重新登录!";

class TSessionSigner final {
public:
    static constexpr std::size_t kKeySize = 32;
    using Key = std::array<unsigned char, kKeySize>;

    // A fresh random key: contexts issued before a restart no longer verify.
    TSessionSigner();
    explicit TSessionSigner(const Key& key);
    ~TSessionSigner();
    TSessionSigner(const TSessionSigner&) = delete;
    TSessionSigner& operator=(const TSessionSigner&) = delete;

    // The values as text with the signature as last line; a Signature value among them is dropped.
    std::string Issue(TContextText values) const;
    // The values of a context this server issued, without the signature. Anything else (changed,
    // truncated, extended, unsigned, not a context at all) raises pelio::EosRemoteException with
    // kInvalidSessionText.
    TContextText Verify(std::string_view text) const;

private:
    Key key_;
};

} // namespace kav::server
