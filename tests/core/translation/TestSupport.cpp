#include "TestSupport.h"

#include "DbfTable.h"
#include "Translation.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace quirindo::test {

void TempDirTest::SetUp() {
    char pattern[] = "/tmp/quirindo-translation-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    FDir = pattern;
}

void TempDirTest::TearDown() {
    std::error_code ec;
    std::filesystem::remove_all(FDir, ec);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TRawTable::Cell(std::size_t row, std::size_t field) const {
    std::size_t offset = 1;
    for (std::size_t i = 0; i < field; ++i)
        offset += static_cast<std::size_t>(FieldWidths[i]);
    std::string cell = Rows.at(row).substr(offset, static_cast<std::size_t>(FieldWidths[field]));
    while (!cell.empty() && cell.back() == ' ')
        cell.pop_back();
    return cell;
}

TRawTable ParseRaw(const std::string& bytes) {
    TRawTable t;
    if (bytes.size() < 32) return t;
    auto u8 = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    t.Version = u8(0);
    t.Count = u8(4) | u8(5) << 8 | u8(6) << 16 | std::uint32_t(u8(7)) << 24;
    t.HeaderLength = static_cast<std::uint16_t>(u8(8) | u8(9) << 8);
    t.RecordLength = static_cast<std::uint16_t>(u8(10) | u8(11) << 8);
    for (std::size_t p = 32; p + 32 <= t.HeaderLength && u8(p) != 0x0D; p += 32) {
        t.FieldNames.push_back(bytes.substr(p, 11).c_str());
        t.FieldWidths.push_back(u8(p + 16));
    }
    if (bytes.size() < t.HeaderLength + std::size_t(t.Count) * t.RecordLength) return t;
    for (std::uint32_t r = 0; r < t.Count; ++r)
        t.Rows.push_back(bytes.substr(t.HeaderLength + r * t.RecordLength, t.RecordLength));
    t.Valid = true;
    return t;
}

void WriteTranslationTable(const std::string& path,
                           const std::vector<std::vector<std::string>>& rows) {
    TDbfTable table;
    ASSERT_TRUE(table.Create(path, TranslationFields())) << table.ErrorMessage();
    for (const auto& row : rows) {
        ASSERT_TRUE(table.Append());
        for (std::size_t i = 0; i < row.size(); ++i)
            ASSERT_TRUE(table.SetFieldText(static_cast<int>(i), row[i]));
        ASSERT_TRUE(table.Post()) << table.ErrorMessage();
    }
}

TImmutableFile::TImmutableFile(std::string path) : FPath(std::move(path)) {
    const std::string command = "chattr +i '" + FPath + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return;
    FActive = true;
    // chattr may succeed on a file system that ignores the flag.
    const int fd = ::open(FPath.c_str(), O_RDWR);
    if (fd >= 0) {
        ::close(fd);
        FActive = false;
        std::system(("chattr -i '" + FPath + "' 2>/dev/null").c_str());
    }
}

TImmutableFile::~TImmutableFile() {
    if (FActive) std::system(("chattr -i '" + FPath + "'").c_str());
}

namespace {
std::string FromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}
} // namespace

std::vector<std::vector<std::string>>
ReadWithDbfread(const std::string& path, std::string& fieldLine, std::string& countLine) {
    const std::string command = std::string(QUIRINDO_SYSTEM_PYTHON) + " " +
                                QUIRINDO_READ_DBF_SCRIPT + " '" + path + "' 2>&1";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        ::pclose(pipe);
    }
    std::istringstream lines(output);
    std::getline(lines, fieldLine);
    std::getline(lines, countLine);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> row;
        std::istringstream words(line);
        for (std::string word; words >> word;)
            row.push_back(word == "-" ? "" : FromHex(word));
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace quirindo::test
