// Decimal texts of doubles, written and read exactly.
//
// The texts are those the C library's "%.<n>f" and "%.<p>g" formats write and the
// values its wcstod reads, as MinGW's C library makes them (GCC's C++ headers bind
// swprintf and wcstod to it): a text is the double's exact value rounded to the
// digits shown, a half to the even digit; the radix character is that of the C
// runtime's locale (localeconv), "inf", "-inf" and "nan" stand for the values that
// are no numbers, and %g's exponent has at least two digits. A number text is read
// by rounding its exact value to the 64-bit significand of a long double and that
// to a double, halves to even both times. They are computed here rather than taken
// from MinGW's library because its formatted output and conversions make up some
// 40 KB of Tavrel.dll; tests/DecimalTextTests.cpp compares both over many values.
#pragma once

#include <cstddef>

namespace tavrel {

// Room for any double in "%.<kMaxFixedDecimals or fewer>f" (DBL_MAX has 309 digits)
// and in "%.<p>g".
inline constexpr size_t kNumberTextSize = 512;
inline constexpr int kMaxFixedDecimals = 17;
inline constexpr int kMaxSignificantDigits = 17;

// value as "%.<decimals>f" writes it; decimals below 0 count as 0, above
// kMaxFixedDecimals as kMaxFixedDecimals.
void WriteFixedText(double value, int decimals, wchar_t (&text)[kNumberTextSize]);

// value as "%.<precision>g" writes it; precision is limited to 1..kMaxSignificantDigits.
void WriteGeneralText(double value, int precision, wchar_t (&text)[kNumberTextSize]);

// The value of the decimal number that fills number[0, length), which must have the
// form [sign] digits [. digits] [(e|E) [sign] digits] with at least one digit before
// the exponent, as wcstod reads it: infinite when it is too large for a double. When
// the locale's radix character is not '.', the number ends before its '.', as for
// wcstod.
double ReadDecimalText(const wchar_t* number, size_t length);

}  // namespace tavrel
