#pragma once
// Helpers shared by the translation tests: a temporary directory per test, a
// dBase reader written straight from the file format (independent of
// TDbfTable), table builders and a guard that makes a file immutable.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quirindo::test {

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string PathOf(const std::string& name) const { return FDir + "/" + name; }

    std::string FDir;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// A dBase III file as its bytes say, parsed without TDbfTable.
struct TRawTable {
    bool Valid = false;
    std::uint8_t Version = 0;
    std::uint32_t Count = 0;
    std::uint16_t HeaderLength = 0;
    std::uint16_t RecordLength = 0;
    std::vector<std::string> FieldNames;
    std::vector<int> FieldWidths;
    std::vector<std::string> Rows; // raw, deletion flag first

    // Cell text without trailing blanks.
    std::string Cell(std::size_t row, std::size_t field) const;
    bool Deleted(std::size_t row) const { return Rows.at(row).at(0) == '*'; }
};
TRawTable ParseRaw(const std::string& bytes);

// Writes a new translation table; each row lists its leading cells.
void WriteTranslationTable(const std::string& path,
                           const std::vector<std::vector<std::string>>& rows);

// Makes a file immutable with chattr, which even root cannot write; undone on
// destruction. Active() is false where chattr does not work.
class TImmutableFile {
public:
    explicit TImmutableFile(std::string path);
    ~TImmutableFile();
    TImmutableFile(const TImmutableFile&) = delete;
    TImmutableFile& operator=(const TImmutableFile&) = delete;
    bool Active() const { return FActive; }

private:
    std::string FPath;
    bool FActive = false;
};

// Runs the dbfread-based reader: first line "name:type:width ...", second
// "count N", then one line per live row with each value as UTF-8.
std::vector<std::vector<std::string>>
ReadWithDbfread(const std::string& path, std::string& fieldLine, std::string& countLine);

} // namespace quirindo::test
