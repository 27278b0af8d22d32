#pragma once
// UTF-8, the encoding of the program's own texts, to and from Windows-1252,
// the encoding of the translation table.

#include <string>
#include <string_view>

namespace quirindo {

// Converts well-formed UTF-8 whose every character has a Windows-1252 byte.
// Returns false (with `bytes` only partly filled) for anything else, so the
// caller can tell a text that the table cannot hold.
bool Cp1252FromUtf8(std::string_view utf8, std::string& bytes);
std::string Utf8FromCp1252(std::string_view bytes);

} // namespace quirindo
