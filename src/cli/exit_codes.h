#pragma once

namespace tornavo::cli {

// The exit statuses of every command, as the help texts and the manual page name them.
inline constexpr int kExitOk = 0;
// Wrong use (an unknown command or option, missing arguments) and bad input (a file that
// cannot be read or has the wrong format or size, a value out of range) share one status.
inline constexpr int kExitUsage = 2;
inline constexpr int kExitBadInput = 2;
// The receiver did not answer in time.
inline constexpr int kExitNoReply = 3;
// The receiver or target refused a request, or the operation on it failed.
inline constexpr int kExitFailed = 4;
// A port this user may not open.
inline constexpr int kExitPortRefused = 5;

}  // namespace tornavo::cli
