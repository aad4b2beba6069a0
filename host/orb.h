#pragma once
// ORB: the process-wide shared connection to kav-server. Created at the first call and configured
// from the connection settings file beside the program (platform/core/connectionsettings.h); it
// connects lazily at its first remote call. Raises ConnectionSettingsError when that file holds
// unusable values.
//
// Threading: like every TPelioClient, the shared connection serves one thread (the GUI thread).
// Another thread opens its own client with ORB().GetHost() and ORB().GetPort().

#include "rpc/pelioclient.h"

namespace kav {

pelio::TPelioClient& ORB();

} // namespace kav
