#pragma once
// The translation lookup: every German interface text is turned into the
// current language through translate.dbf, which holds one row per German text
// (column language1) with its translations in language2..language19. Texts
// the table lacks are appended to it, so it collects everything a translator
// has to fill in. An in-memory index spreads the German texts over 256
// buckets by their first byte so that a lookup never searches the file.
//
// The lookup works on Windows-1252 byte strings, the encoding of the table;
// TranslateUtf8 and the installed message translator convert at the edges.

#include "DbfTable.h"
#include "DynaArray.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quirindo {

constexpr int kLanguageCount = 19;     // columns language1..language19
constexpr int kTranslationWidth = 255; // bytes per cell

struct TSourceEntry {
    char* SourceText;   // NUL-terminated heap copy of a language1 text
    std::int32_t RecNo; // physical record number of its row
};
using TSourceBucket = TDynaArray<TSourceEntry>;

// Quicksort of b[lo..hi] by SourceText, comparing bytes as unsigned values
// (a proper prefix sorts first). Equal texts end up next to each other.
void SortBucket(TSourceBucket& b, std::int32_t lo, std::int32_t hi);

// language1..language19, character fields of 255.
std::vector<TDbfField> TranslationFields();

class TTranslation {
public:
    enum class TTableState { None, ReadWrite, ReadOnly };

    TTranslation();
    ~TTranslation(); // frees the heap copies of the index
    TTranslation(const TTranslation&) = delete;
    TTranslation& operator=(const TTranslation&) = delete;

    // Opens the table at `path`, creating it when missing, read-write or else
    // read-only, and builds the index. Returns false when no table could be
    // opened; every lookup then returns its source and records nothing, and
    // TableMessage says why.
    bool OpenTranslationTable(const std::string& path);
    // Rebuilds the index from the table's live rows and sorts each bucket.
    void BuildSourceIndex();

    // The lookup, on Windows-1252 bytes. Only blanks (0x20) around the source
    // are set aside; the result carries exactly the source's own blanks.
    std::string TranslateText(const std::string& source);
    // The same for UTF-8 text; a text with a character that Windows-1252
    // lacks is returned unchanged and not recorded.
    std::string TranslateUtf8(const std::string& german);

    int LanguageColumn() const { return FLanguageColumn; }
    // 0 (German) to 18; any other value is refused and the column stays.
    bool SetLanguageColumn(int column);

    // The message table of Messages.h, in UTF-8: an id outside the table
    // leaves `text` as it was.
    void GetMessageText(int id, std::string& text);
    // Looks up every message once so that each has its row in the table.
    void RegisterMessages();
    // Makes this lookup the translator of Messages.h. After this object is
    // destroyed the installed translator returns its texts unchanged.
    void InstallAsTranslator();

    TTableState TableState() const { return FState; }
    // Why the table is missing or read-only, naming the file; empty when it
    // is open for writing.
    const std::string& TableMessage() const { return FMessage; }
    // The table itself, for the translation editor (navigation, filter,
    // editing). Edits of language1 reach the index only at the next start.
    TDbfTable& Table() { return FTable; }
    const TSourceBucket& Bucket(unsigned char firstByte) const { return *FBuckets[firstByte]; }

private:
    bool CheckSchema();
    bool AddEntry(std::string_view text, std::int32_t recNo);
    const TSourceEntry* Find(std::string_view key) const;
    void RecordMiss(std::string_view key);
    void ClearIndex();

    TDbfTable FTable;
    TTableState FState = TTableState::None;
    std::string FMessage;
    int FLanguageColumn = 0;
    TSourceEntry* FCurrentEntry = nullptr; // the one cursor of all buckets
    std::unique_ptr<TSourceBucket> FBuckets[256];
    std::shared_ptr<TTranslation*> FSelf; // lets an installed translator outlive us safely
};

} // namespace quirindo
