#pragma once
// Who calls a ticket office operation, from the verified session.

#include "platform/core/contexttext.h"

#include <string>

namespace kav::server {

struct Caller {
    std::string node;
    std::string user;
    std::string group;
};

inline Caller CallerOf(const TContextText& session) {
    return {session.Value(context_names::NodeCode), session.Value(context_names::UserCode),
            session.Value(context_names::GroupCode)};
}

} // namespace kav::server
