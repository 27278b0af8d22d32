#pragma once
// TDbfTable: a dBase III table of character fields, enough for the
// translation table and its editor. The file stays open for the whole run;
// every posted row is written with plain system calls and flushed to disk at
// once, the record count in the header included, so a crash or kill never
// loses a collected text. Damaged or foreign files are refused with a reason
// before anything is allocated for them.
//
// Texts are raw bytes (Windows-1252 for the translation table). Record
// numbers are physical and 1-based, as in dBase; deleted rows stay in the file
// and are skipped by First/Next/Prior/Last, and so are rows a filter rejects.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quirindo {

struct TDbfField {
    std::string Name; // as stored in the file
    int Width = 0;    // 1..255 bytes
};

class TDbfTable {
public:
    enum class TState { Closed, Browse, Edit, Insert };
    // Decides whether a row is shown while filtering is on; it reads the
    // current row through the table it is given.
    using TFilter = std::function<bool(const TDbfTable& table)>;

    TDbfTable() = default;
    ~TDbfTable();
    TDbfTable(const TDbfTable&) = delete;
    TDbfTable& operator=(const TDbfTable&) = delete;

    // Creates a new, empty table (an existing file is never replaced) and
    // leaves it open for reading and writing. Names are stored in upper case.
    bool Create(const std::string& path, const std::vector<TDbfField>& fields);
    // Opens an existing table. Read-write use takes an exclusive lock so that
    // two running programs cannot append over each other's rows.
    bool Open(const std::string& path, bool readOnly);
    void Close();

    bool IsOpen() const { return FFd >= 0; }
    bool IsReadOnly() const { return FReadOnly; }
    TState State() const { return FState; }
    const std::string& Path() const { return FPath; }
    // Why the latest failed operation failed, naming the file.
    const std::string& ErrorMessage() const { return FError; }

    const std::vector<TDbfField>& Fields() const { return FFields; }
    // Index of a field by name, ignoring ASCII case; -1 when absent.
    int FieldIndex(std::string_view name) const;
    // Physical rows in the file, deleted ones included.
    std::int32_t RecordCount() const { return FRecordCount; }

    // Current row: 1..RecordCount, RecordCount + 1 while inserting, 0 when
    // there is none (empty table or nothing visible).
    std::int32_t RecNo() const { return FRecNo; }
    // Moves to a row by physical number, deleted or filtered out or not.
    bool Go(std::int32_t recNo);
    bool IsDeleted() const;

    // Navigation over visible rows. Moving away from an unposted change posts
    // it first, as a data-bound grid expects.
    void First();
    void Last();
    void Next();  // at the last visible row sets Eof and stays
    void Prior(); // at the first visible row sets Bof and stays
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }

    // Field `index` of the current row without its trailing blanks (and NUL
    // padding some writers use); empty for a bad index or no current row.
    std::string FieldText(int index) const;
    // Changes a field of the current row in memory (entering edit mode);
    // longer texts are cut at the field width. Post writes the row.
    bool SetFieldText(int index, std::string_view text);
    // Starts a new blank row after the last one; Post writes it.
    bool Append();
    // Writes the pending row to disk and flushes it; a new row is counted in
    // the header in the same step.
    bool Post();
    // Drops an unposted change or new row.
    void Cancel();
    // Marks the current row deleted on disk and moves to the next visible row.
    bool Delete();

    void SetFilter(TFilter filter) { FFilter = std::move(filter); }
    void SetFiltered(bool on) { FFiltered = on; }
    bool Filtered() const { return FFiltered; }
    // Physical numbers of all visible rows in file order; the cursor stays.
    std::vector<std::int32_t> VisibleRecNos();

private:
    bool Fail(const std::string& what);
    bool ReadHeader(std::int64_t fileSize);
    bool LoadRecord(std::int32_t recNo, std::string& buffer) const;
    bool Accepts(std::int32_t recNo);
    bool SeekVisible(std::int32_t from, int step);
    bool WriteAll(const void* data, std::size_t size, std::int64_t offset);
    bool WriteHeaderCount(std::int32_t count);
    bool PostIfPending();
    std::size_t FieldOffset(int index) const;

    int FFd = -1;
    bool FReadOnly = false;
    std::string FPath;
    std::string FError;
    std::vector<TDbfField> FFields;
    std::int32_t FRecordCount = 0;
    std::uint16_t FHeaderLength = 0;
    std::uint16_t FRecordLength = 0;
    TState FState = TState::Closed;
    std::int32_t FRecNo = 0;
    std::string FRecord; // the current row as stored, deletion flag first
    bool FEof = true;
    bool FBof = true;
    TFilter FFilter;
    bool FFiltered = false;
};

} // namespace quirindo
