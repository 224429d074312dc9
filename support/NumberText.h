#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reading numbers out of text by the C library's rules, with int and long fixed at 32 bits and
// independent of the process locale.
namespace support {

// Space, \t, \n, \v, \f and \r.
bool IsWhiteSpace(char c);

// atol: white space, one optional sign, decimal digits; accumulated in 32 bits that wrap.
std::int32_t ParseWrappedDecimal(std::string_view text);

// strtoul with base 10: white space, optional sign ('-' negates in unsigned arithmetic),
// digits; a magnitude beyond 4294967295 gives 4294967295.
std::uint32_t ParseUnsignedDecimal(std::string_view text);

// scanf "%lx": white space, optional sign, optional 0x or 0X, hexadecimal digits; the low
// 32 bits of the value. No digits give 0.
std::int32_t ParseHex(std::string_view text);

// strtod in the "C" locale; a text that does not begin with a number gives 0.0. The text ends
// at its first zero byte.
double ParseDouble(const std::string& text);

}  // namespace support
