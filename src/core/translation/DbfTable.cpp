#include "DbfTable.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quirindo {
namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr unsigned char kFieldListEnd = 0x0D;
constexpr unsigned char kFileEnd = 0x1A;
constexpr char kLiveFlag = ' ';
constexpr char kDeletedFlag = '*';

std::uint32_t GetU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t GetU16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
void PutU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void PutU16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

// Last-update date (YY since 1900, MM, DD) followed by the record count:
// header bytes 1 to 7, rewritten together whenever a row is posted.
void PutDateAndCount(unsigned char* p, std::uint32_t count) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    p[0] = static_cast<unsigned char>(local.tm_year);
    p[1] = static_cast<unsigned char>(local.tm_mon + 1);
    p[2] = static_cast<unsigned char>(local.tm_mday);
    PutU32(p + 3, count);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string Errno() {
    return std::strerror(errno);
}

} // namespace

TDbfTable::~TDbfTable() {
    Close();
}

bool TDbfTable::Fail(const std::string& what) {
    FError = FPath + ": " + what;
    return false;
}

void TDbfTable::Close() {
    if (FFd >= 0) ::close(FFd); // also releases the lock
    FFd = -1;
    FReadOnly = false;
    FFields.clear();
    FRecordCount = 0;
    FState = TState::Closed;
    FRecNo = 0;
    FRecord.clear();
    FEof = FBof = true;
}

bool TDbfTable::Create(const std::string& path, const std::vector<TDbfField>& fields) {
    Close();
    FPath = path;
    FError.clear();
    std::size_t recordLength = 1;
    for (const TDbfField& f : fields) {
        if (f.Name.empty() || f.Name.size() > 10 || f.Width < 1 || f.Width > 255)
            return Fail("invalid field definition \"" + f.Name + "\"");
        recordLength += static_cast<std::size_t>(f.Width);
    }
    const std::size_t headerLength = kHeaderSize + kDescriptorSize * fields.size() + 1;
    if (fields.empty() || headerLength > 0xFFFF || recordLength > 0xFFFF)
        return Fail("invalid field list");

    std::string bytes(headerLength + 1, '\0');
    auto* h = reinterpret_cast<unsigned char*>(bytes.data());
    h[0] = 0x03;
    PutDateAndCount(h + 1, 0);
    PutU16(h + 8, static_cast<std::uint16_t>(headerLength));
    PutU16(h + 10, static_cast<std::uint16_t>(recordLength));
    FFields.clear();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        unsigned char* d = h + kHeaderSize + kDescriptorSize * i;
        TDbfField f = fields[i];
        for (char& c : f.Name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        std::memcpy(d, f.Name.data(), f.Name.size());
        d[11] = 'C';
        d[16] = static_cast<unsigned char>(f.Width);
        FFields.push_back(f);
    }
    h[headerLength - 1] = kFieldListEnd;
    h[headerLength] = kFileEnd;

    FFd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (FFd < 0) {
        FFields.clear();
        return Fail("cannot create the table: " + Errno());
    }
    ::flock(FFd, LOCK_EX | LOCK_NB); // a file we just made is not in anyone else's use
    FHeaderLength = static_cast<std::uint16_t>(headerLength);
    FRecordLength = static_cast<std::uint16_t>(recordLength);
    if (!WriteAll(bytes.data(), bytes.size(), 0) || ::fsync(FFd) != 0) {
        const std::string reason = FError.empty() ? Errno() : FError;
        Close();
        ::unlink(path.c_str()); // a half-written header would read as damage next time
        FError = reason;
        return false;
    }
    FState = TState::Browse;
    return true;
}

bool TDbfTable::Open(const std::string& path, bool readOnly) {
    Close();
    FPath = path;
    FError.clear();
    FFd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (FFd < 0)
        return Fail(std::string("cannot open ") + (readOnly ? "for reading" : "for writing") +
                    ": " + Errno());
    if (!readOnly && ::flock(FFd, LOCK_EX | LOCK_NB) != 0) {
        Close();
        return Fail("the table is in use by another program");
    }
    struct stat st {};
    if (::fstat(FFd, &st) != 0 || !S_ISREG(st.st_mode)) {
        Close();
        return Fail("not a regular file");
    }
    if (!ReadHeader(st.st_size)) {
        const std::string reason = FError;
        Close();
        FError = reason;
        return false;
    }
    FReadOnly = readOnly;
    FState = TState::Browse;
    First();
    return true;
}

// Checks every header value against the file size before trusting it, so a
// damaged or foreign file is refused instead of read out of bounds.
namespace {

// "1 row", "2 rows": counts in messages read right for one too.
std::string Counted(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

bool TDbfTable::ReadHeader(std::int64_t fileSize) {
    if (fileSize < static_cast<std::int64_t>(kHeaderSize))
        return Fail("the file is too short for a dBase header (" +
                    Counted(static_cast<std::uint64_t>(fileSize), "byte", "bytes") + ")");
    unsigned char head[kHeaderSize];
    if (::pread(FFd, head, kHeaderSize, 0) != static_cast<ssize_t>(kHeaderSize))
        return Fail("cannot read the header: " + Errno());
    if (head[0] != 0x03 && head[0] != 0x83)
        return Fail("not a dBase III table (version byte " + std::to_string(head[0]) + ")");
    const std::uint32_t count = GetU32(head + 4);
    const std::uint16_t headerLength = GetU16(head + 8);
    const std::uint16_t recordLength = GetU16(head + 10);
    if (headerLength < kHeaderSize + kDescriptorSize + 1 || headerLength > fileSize)
        return Fail("damaged header: header length " + std::to_string(headerLength) +
                    " does not fit a file of " + std::to_string(fileSize) + " bytes");

    std::string header(headerLength, '\0');
    if (::pread(FFd, header.data(), headerLength, 0) != headerLength)
        return Fail("cannot read the field list: " + Errno());
    const auto* h = reinterpret_cast<const unsigned char*>(header.data());
    std::vector<TDbfField> fields;
    std::size_t sum = 1;
    std::size_t pos = kHeaderSize;
    for (;; pos += kDescriptorSize) {
        if (pos >= headerLength) return Fail("damaged header: the field list has no end mark");
        if (h[pos] == kFieldListEnd) break;
        if (pos + kDescriptorSize > headerLength)
            return Fail("damaged header: the field list is cut short");
        const char* name = reinterpret_cast<const char*>(h + pos);
        TDbfField f{std::string(name, strnlen(name, 11)), h[pos + 16]};
        const std::string label = "field " + std::to_string(fields.size() + 1);
        if (f.Name.empty()) return Fail("damaged header: " + label + " has no name");
        if (h[pos + 11] != 'C') return Fail(label + " \"" + f.Name + "\" is not a character field");
        if (f.Width == 0) return Fail("damaged header: " + label + " has width 0");
        sum += static_cast<std::size_t>(f.Width);
        fields.push_back(std::move(f));
    }
    if (fields.empty()) return Fail("the table has no fields");
    if (sum != recordLength)
        return Fail("damaged header: record length " + std::to_string(recordLength) +
                    " does not match the fields (" + std::to_string(sum) + ")");
    const std::uint64_t available = static_cast<std::uint64_t>(fileSize) - headerLength;
    const std::uint64_t complete = available / recordLength;
    if (count > complete)
        return Fail("damaged or truncated: the header announces " + Counted(count, "row", "rows") +
                    " but the file holds " + std::to_string(complete));
    FFields = std::move(fields);
    FHeaderLength = headerLength;
    FRecordLength = recordLength;
    FRecordCount = static_cast<std::int32_t>(count); // bounded by the file size above
    return true;
}

int TDbfTable::FieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < FFields.size(); ++i)
        if (EqualNoCase(FFields[i].Name, name)) return static_cast<int>(i);
    return -1;
}

std::size_t TDbfTable::FieldOffset(int index) const {
    std::size_t offset = 1;
    for (int i = 0; i < index; ++i)
        offset += static_cast<std::size_t>(FFields[i].Width);
    return offset;
}

bool TDbfTable::LoadRecord(std::int32_t recNo, std::string& buffer) const {
    buffer.assign(FRecordLength, ' ');
    const off_t offset = off_t(FHeaderLength) + off_t(recNo - 1) * FRecordLength;
    return ::pread(FFd, buffer.data(), FRecordLength, offset) == FRecordLength;
}

bool TDbfTable::Accepts(std::int32_t recNo) {
    if (!LoadRecord(recNo, FRecord)) return false;
    FRecNo = recNo;
    if (FRecord[0] == kDeletedFlag) return false;
    return !FFiltered || !FFilter || FFilter(*this);
}

// Finds the nearest visible row from `from` in direction `step`; when there
// is none the cursor is left where it was.
bool TDbfTable::SeekVisible(std::int32_t from, int step) {
    const std::int32_t oldRecNo = FRecNo;
    std::string oldRecord = FRecord;
    for (std::int32_t r = from; r >= 1 && r <= FRecordCount; r += step)
        if (Accepts(r)) return true;
    FRecNo = oldRecNo;
    FRecord = std::move(oldRecord);
    return false;
}

bool TDbfTable::PostIfPending() {
    return (FState != TState::Edit && FState != TState::Insert) || Post();
}

bool TDbfTable::Go(std::int32_t recNo) {
    if (!IsOpen() || !PostIfPending()) return false;
    if (recNo < 1 || recNo > FRecordCount) return Fail("there is no row " + std::to_string(recNo));
    std::string buffer;
    if (!LoadRecord(recNo, buffer)) return Fail("cannot read row " + std::to_string(recNo));
    FRecord = std::move(buffer);
    FRecNo = recNo;
    FEof = FBof = false;
    return true;
}

bool TDbfTable::IsDeleted() const {
    return FRecNo != 0 && FRecord[0] == kDeletedFlag;
}

void TDbfTable::First() {
    if (!IsOpen() || !PostIfPending()) return;
    if (SeekVisible(1, 1)) {
        FEof = FBof = false;
    } else {
        FRecNo = 0;
        FRecord.clear();
        FEof = FBof = true;
    }
}

void TDbfTable::Last() {
    if (!IsOpen() || !PostIfPending()) return;
    if (SeekVisible(FRecordCount, -1)) {
        FEof = FBof = false;
    } else {
        FRecNo = 0;
        FRecord.clear();
        FEof = FBof = true;
    }
}

void TDbfTable::Next() {
    if (!IsOpen() || !PostIfPending()) return;
    if (FRecNo != 0 && SeekVisible(FRecNo + 1, 1))
        FBof = false;
    else
        FEof = true;
}

void TDbfTable::Prior() {
    if (!IsOpen() || !PostIfPending()) return;
    if (FRecNo != 0 && SeekVisible(FRecNo - 1, -1))
        FEof = false;
    else
        FBof = true;
}

std::vector<std::int32_t> TDbfTable::VisibleRecNos() {
    std::vector<std::int32_t> rows;
    if (!IsOpen()) return rows;
    const std::int32_t oldRecNo = FRecNo;
    std::string oldRecord = FRecord;
    for (std::int32_t r = 1; r <= FRecordCount; ++r)
        if (Accepts(r)) rows.push_back(r);
    FRecNo = oldRecNo;
    FRecord = std::move(oldRecord);
    return rows;
}

std::string TDbfTable::FieldText(int index) const {
    if (FRecNo == 0 || index < 0 || index >= static_cast<int>(FFields.size())) return {};
    std::string_view cell(FRecord.data() + FieldOffset(index),
                          static_cast<std::size_t>(FFields[index].Width));
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\0'))
        cell.remove_suffix(1);
    return std::string(cell);
}

bool TDbfTable::SetFieldText(int index, std::string_view text) {
    if (!IsOpen()) return Fail("the table is not open");
    if (FReadOnly) return Fail("the table is open read-only");
    if (FRecNo == 0) return Fail("there is no current row");
    if (index < 0 || index >= static_cast<int>(FFields.size()))
        return Fail("there is no field " + std::to_string(index + 1));
    const auto width = static_cast<std::size_t>(FFields[index].Width);
    if (text.size() > width) text = text.substr(0, width);
    char* cell = FRecord.data() + FieldOffset(index);
    std::memset(cell, ' ', width);
    std::memcpy(cell, text.data(), text.size());
    if (FState == TState::Browse) FState = TState::Edit;
    return true;
}

bool TDbfTable::Append() {
    if (!IsOpen()) return Fail("the table is not open");
    if (FReadOnly) return Fail("the table is open read-only");
    if (!PostIfPending()) return false;
    if (FRecordCount == INT32_MAX) return Fail("the table is full");
    FRecord.assign(FRecordLength, ' ');
    FRecord[0] = kLiveFlag;
    FRecNo = FRecordCount + 1;
    FEof = FBof = false;
    FState = TState::Insert;
    return true;
}

bool TDbfTable::WriteAll(const void* data, std::size_t size, std::int64_t offset) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(FFd, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Fail("cannot write: " + Errno());
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

bool TDbfTable::WriteHeaderCount(std::int32_t count) {
    unsigned char bytes[7];
    PutDateAndCount(bytes, static_cast<std::uint32_t>(count));
    if (!WriteAll(bytes, sizeof bytes, 1)) return false;
    if (::fdatasync(FFd) != 0) return Fail("cannot flush: " + Errno());
    return true;
}

// A new row goes to disk and is flushed before the header counts it, so the
// count never claims a row whose bytes might be missing after a crash.
bool TDbfTable::Post() {
    if (FState == TState::Browse) return true;
    if (FState == TState::Closed) return Fail("the table is not open");
    const std::int64_t offset =
        std::int64_t(FHeaderLength) + std::int64_t(FRecNo - 1) * FRecordLength;
    if (FState == TState::Edit) {
        if (!WriteAll(FRecord.data(), FRecord.size(), offset)) return false;
        if (::fdatasync(FFd) != 0) return Fail("cannot flush: " + Errno());
        FState = TState::Browse;
        return WriteHeaderCount(FRecordCount); // refreshes the last-update date
    }
    std::string bytes = FRecord;
    bytes.push_back(static_cast<char>(kFileEnd));
    if (!WriteAll(bytes.data(), bytes.size(), offset)) return false;
    if (::fdatasync(FFd) != 0) return Fail("cannot flush: " + Errno());
    if (!WriteHeaderCount(FRecordCount + 1)) return false;
    ++FRecordCount;
    FState = TState::Browse;
    return true;
}

void TDbfTable::Cancel() {
    if (FState == TState::Insert) {
        FState = TState::Browse;
        Last();
    } else if (FState == TState::Edit) {
        FState = TState::Browse;
        if (!LoadRecord(FRecNo, FRecord)) First();
    }
}

bool TDbfTable::Delete() {
    if (!IsOpen()) return Fail("the table is not open");
    if (FReadOnly) return Fail("the table is open read-only");
    if (FState == TState::Insert) {
        Cancel();
        return true;
    }
    if (FRecNo == 0) return Fail("there is no current row");
    FState = TState::Browse;
    const char flag = kDeletedFlag;
    const std::int64_t offset =
        std::int64_t(FHeaderLength) + std::int64_t(FRecNo - 1) * FRecordLength;
    if (!WriteAll(&flag, 1, offset)) return false;
    if (::fdatasync(FFd) != 0) return Fail("cannot flush: " + Errno());
    FRecord[0] = kDeletedFlag;
    if (SeekVisible(FRecNo + 1, 1) || SeekVisible(FRecNo - 1, -1)) return true;
    FRecNo = 0;
    FRecord.clear();
    FEof = FBof = true;
    return true;
}

} // namespace quirindo
