#pragma once
// options.dat beside the program: the interface language as one 4-byte
// little-endian int32. 0 is German, 1 English, 2 Italian; 3 to 18 pick the
// spare columns of the translation table.

#include <cstdint>
#include <string>
#include <vector>

namespace quirindo {

constexpr int kLanguageGerman = 0;
constexpr int kLanguageEnglish = 1;
constexpr int kLanguageItalian = 2;
constexpr int kLastLanguage = 18;

// The language stored in the file's bytes. A file shorter than 4 bytes or a
// number that names no column of the translation table gives English: a
// damaged file must not leave the program without a usable language.
int LanguageFromOptionsBytes(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> OptionsBytes(int language);

// Reads the file read-only, so that a write-protected options.dat (a
// language fixed by an administrator) is honoured. False when the file
// cannot be opened or read; `language` is then untouched.
bool ReadOptionsFile(const std::string& path, int& language);
// Creates or truncates the file in place and writes the 4 bytes. A
// write-protected file stays as it is (false), which keeps an
// administrator's choice; no temporary file is renamed over it for that
// reason. On failure `error` holds a German reason (Messages.h).
bool WriteOptionsFile(const std::string& path, int language, std::string& error);
bool WriteOptionsFile(const std::string& path, int language);

} // namespace quirindo
