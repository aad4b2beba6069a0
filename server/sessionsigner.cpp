#include "server/sessionsigner.h"

#include "rpc/exceptions.h"

#include <sodium.h>
#include <stdexcept>

namespace kav::server {

namespace {

constexpr std::string_view kSignaturePrefix = "Signature=";

void InitialiseSodium() {
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot be initialised");
}

std::string Mac(std::string_view body, const TSessionSigner::Key& key) {
    unsigned char mac[crypto_auth_BYTES];
    crypto_auth(mac, reinterpret_cast<const unsigned char*>(body.data()), body.size(), key.data());
    std::string hex(crypto_auth_BYTES * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), mac, sizeof mac);
    hex.pop_back();
    return hex;
}

[[noreturn]] void Refuse() {
    throw pelio::EosRemoteException(std::string(kInvalidSessionText));
}

} // namespace

TSessionSigner::TSessionSigner() {
    InitialiseSodium();
    crypto_auth_keygen(key_.data());
}

TSessionSigner::TSessionSigner(const Key& key) : key_(key) {
    InitialiseSodium();
}

TSessionSigner::~TSessionSigner() {
    sodium_memzero(key_.data(), key_.size());
}

std::string TSessionSigner::Issue(TContextText values) const {
    values.Remove(context_names::Signature);
    std::string text = values.Format();
    text += kSignaturePrefix;
    text += Mac(text.substr(0, text.size() - kSignaturePrefix.size()), key_);
    text += '\n';
    return text;
}

TContextText TSessionSigner::Verify(std::string_view text) const {
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    const std::size_t lineStart = text.rfind('\n') == std::string_view::npos ? 0 : text.rfind('\n') + 1;
    const std::string_view last = text.substr(lineStart);
    if (!last.starts_with(kSignaturePrefix)) Refuse();
    const std::string_view hex = last.substr(kSignaturePrefix.size());
    unsigned char mac[crypto_auth_BYTES];
    std::size_t macSize = 0;
    const char* hexEnd = nullptr;
    if (sodium_hex2bin(mac, sizeof mac, hex.data(), hex.size(), nullptr, &macSize, &hexEnd) != 0 ||
        macSize != sizeof mac || hexEnd != hex.data() + hex.size())
        Refuse();
    const std::string_view body = text.substr(0, lineStart);
    if (crypto_auth_verify(mac, reinterpret_cast<const unsigned char*>(body.data()), body.size(),
                           key_.data()) != 0)
        Refuse();
    // Only this server writes signed text, so it parses; a failure here would be our own fault.
    return TContextText::Parse(body);
}

} // namespace kav::server
