#pragma once
// TKavContext: the session context of a window or data module. It is loaded from the text the
// server issued at login (SetAsString) and hands that text back unchanged (GetAsString) as the
// first argument of remote calls; the server checks its signature, so the text is never rebuilt.
//
// Threading: none; a context belongs to the window or data module that holds it.

#include "platform/core/contexttext.h"
#include "rpc/databuffer.h"

#include <string>
#include <string_view>

namespace kav {

inline constexpr pelio::TGUID IID_IKavOwner{
    0xE88D5B2A, 0xDDEB, 0x4A93, {0x9E, 0xF6, 0x1D, 0x3B, 0xBD, 0x0F, 0x9D, 0xFA}};

// The owner of the session: the centre that owns the user's sales group.
class IKavOwner {
public:
    virtual ~IKavOwner() = default;
    virtual std::string GetOwnerCode() const = 0;
};

class TKavContext final : private IKavOwner {
public:
    // Raises ContextTextError for text that is not a context; the context is then unchanged.
    void SetAsString(std::string_view text);
    const std::string& GetAsString() const noexcept { return text_; }

    // Empty when the context does not carry the value.
    std::string Value(std::string_view name) const { return values_.Value(name); }
    std::string NodeCode() const { return Value(context_names::NodeCode); }
    std::string UserCode() const { return Value(context_names::UserCode); }
    std::string UserName() const { return Value(context_names::UserName); }
    std::string GroupCode() const { return Value(context_names::GroupCode); }
    std::string GroupType() const { return Value(context_names::GroupType); }
    std::string SiteCode() const { return Value(context_names::SiteCode); }
    std::string SiteName() const { return Value(context_names::SiteName); }

    // Valid as long as the context.
    const IKavOwner& Owner() const noexcept { return *this; }

private:
    std::string GetOwnerCode() const override { return Value(context_names::OwnerCode); }

    std::string text_;
    TContextText values_;
};

} // namespace kav
