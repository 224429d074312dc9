#pragma once

namespace support {

// strtod in the "C" locale, whatever locale the program runs in: the decimal point is always
// ".". Each platform has its own locale objects; the build picks the file.
double StrtodInCLocale(const char* text);

}  // namespace support
