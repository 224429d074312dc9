#pragma once

// The system's truth value: an int, 1 (or nonzero) for true, 0 for false.
using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
