#pragma once
// RunGuarded: runs one user action of a window or of the shell. An exception it raises is shown through
// the message dialogs ("错误信息") and the action counts as failed; the program goes on. A remote call that
// lost the connection raises the RPC library's "请检查网络，现在已和服务器断开连接!", and the shared
// connection reconnects at its next call, so the user's next action simply tries again.
//
// Threading: GUI thread only.

#include <functional>

namespace kav {

bool RunGuarded(const std::function<void()>& action);

} // namespace kav
