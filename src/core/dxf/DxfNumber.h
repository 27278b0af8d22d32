#pragma once
// Numbers as DXF readers expect them: plain decimal text with a full stop,
// never touched by the user's locale.

#include <string>

namespace quirindo {

// The shortest general form with at most 15 significant digits and no
// trailing zeros: plain from 0.0001 up to below 1E15 ("210", "0.5", "0"),
// otherwise scientific without plus sign or leading exponent zeros ("1E-5",
// "-2.5E20"). The choice is made on the value after rounding to 15 digits.
// Callers pass finite values; NaN and infinity have no DXF spelling and are
// written as "0" so that a slip can never corrupt a file.
[[nodiscard]] std::string FormatDxfNumber(double value);

// The same, appended to `out` without a temporary string.
void AppendDxfNumber(std::string& out, double value);

// Room for the longest text a number can take ("-1.23456789012346E-308"
// and the like) and for the fixed-size copies made while writing it.
inline constexpr int kMaxDxfNumberChars = 40;

// The same, written at `out`, which must have kMaxDxfNumberChars bytes of
// room; returns the end of the text.
char* WriteDxfNumber(char* out, double value);

} // namespace quirindo
