#pragma once

#include <string>

// Writing floating-point numbers in the system's forms, independent of the process locale.
// Exponents are always written with a sign and three digits ('1e+006').
namespace support {

// The "%g" form: 6 significant digits, exponential below 1e-4 and from 1e6 on, trailing
// zeros and a trailing point removed.
std::string FormatGeneral(double value);

// digits significant digits: fixed notation while the decimal exponent e is within
// -1..digits-1, exponential otherwise; zeros at the end of the fraction are removed but the
// point stays ('5.', '5.e-002').
std::string FormatSignificant(double value, int digits);

}  // namespace support
