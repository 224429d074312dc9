#pragma once

// veltrix-settings: the subcommands ports, find, read, check and apply. Exit codes: 0 success
// or match, 1 an instrument failed or differs, 2 a bad command line or profile.

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int Main(int argc, char** argv);

}  // namespace cli
