#pragma once
// Windows-1252, the 8-bit code page of font names in drawing files and of the
// translation table, so that files move between this program and Windows.

#include <string>
#include <string_view>

namespace quirindo {

std::u16string Utf16FromCp1252(std::string_view bytes);
// The Windows-1252 byte of one UTF-16 unit, or -1 when the code page lacks it.
int Cp1252Byte(char16_t c);
// Characters without a Windows-1252 byte become '?'.
std::string Cp1252FromUtf16(std::u16string_view text);

} // namespace quirindo
