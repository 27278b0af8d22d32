#include "Translation.h"

#include "Cp1252Utf8.h"
#include "Messages.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace quirindo {
namespace {

// Ordinal comparison: strcmp compares the bytes as unsigned char.
int Compare(const char* a, const char* b) {
    return std::strcmp(a, b);
}

} // namespace

void SortBucket(TSourceBucket& b, std::int32_t lo, std::int32_t hi) {
    const char* pivot = b[lo + (hi - lo) / 2].SourceText; // the texts never move
    std::int32_t i = lo;
    std::int32_t j = hi;
    do {
        while (Compare(b[i].SourceText, pivot) < 0)
            ++i;
        while (Compare(b[j].SourceText, pivot) > 0)
            --j;
        if (i <= j) {
            b.Swap(i, j);
            ++i;
            --j;
        }
    } while (i <= j);
    if (lo < j) SortBucket(b, lo, j);
    if (i < hi) SortBucket(b, i, hi);
}

std::vector<TDbfField> TranslationFields() {
    std::vector<TDbfField> fields;
    for (int n = 1; n <= kLanguageCount; ++n)
        fields.push_back({"language" + std::to_string(n), kTranslationWidth});
    return fields;
}

TTranslation::TTranslation() : FSelf(std::make_shared<TTranslation*>(this)) {
    for (auto& bucket : FBuckets)
        bucket = std::make_unique<TSourceBucket>(&FCurrentEntry);
}

TTranslation::~TTranslation() {
    ClearIndex();
}

void TTranslation::ClearIndex() {
    for (auto& bucket : FBuckets) {
        for (std::int32_t i = 0; i < bucket->Count(); ++i)
            delete[](*bucket)[i].SourceText;
        bucket->Clear();
    }
}

bool TTranslation::OpenTranslationTable(const std::string& path) {
    FTable.Close();
    FState = TTableState::None;
    FMessage.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
        if (FTable.Create(path, TranslationFields()))
            FState = TTableState::ReadWrite;
        else
            FMessage = FTable.ErrorMessage();
    } else if (FTable.Open(path, false)) {
        FState = TTableState::ReadWrite;
    } else {
        const std::string whyNotWritable = FTable.ErrorMessage();
        if (FTable.Open(path, true)) {
            FState = TTableState::ReadOnly;
            FMessage = whyNotWritable + "; new texts are not collected";
        } else {
            FMessage = FTable.ErrorMessage();
        }
    }
    if (FState != TTableState::None && !CheckSchema()) {
        FTable.Close();
        FState = TTableState::None;
    }
    BuildSourceIndex();
    return FState != TTableState::None;
}

// A foreign table would be read at the wrong places and, worse, have rows
// appended to it: accept only the exact field list.
bool TTranslation::CheckSchema() {
    const auto& fields = FTable.Fields();
    std::string problem;
    if (fields.size() != static_cast<std::size_t>(kLanguageCount)) {
        problem =
            std::to_string(fields.size()) + " fields instead of " + std::to_string(kLanguageCount);
    } else {
        for (int i = 0; i < kLanguageCount && problem.empty(); ++i) {
            const std::string expected = "language" + std::to_string(i + 1);
            if (FTable.FieldIndex(expected) != i)
                problem = "field " + std::to_string(i + 1) + " is \"" + fields[i].Name +
                          "\" instead of " + expected;
            else if (fields[i].Width != kTranslationWidth)
                problem = "field " + expected + " is " + std::to_string(fields[i].Width) +
                          " characters wide instead of " + std::to_string(kTranslationWidth);
        }
    }
    if (problem.empty()) return true;
    FMessage = FTable.Path() + ": not a translation table: " + problem;
    return false;
}

bool TTranslation::AddEntry(std::string_view text, std::int32_t recNo) {
    auto* copy = new char[text.size() + 1];
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    TSourceBucket& bucket = *FBuckets[static_cast<unsigned char>(text[0])];
    TSourceEntry* entry = bucket.Append();
    if (!entry) { // the store has reported the failed allocation
        delete[] copy;
        return false;
    }
    entry->SourceText = copy;
    entry->RecNo = recNo;
    return true;
}

void TTranslation::BuildSourceIndex() {
    ClearIndex();
    if (FState == TTableState::None) return;
    const bool filtered = FTable.Filtered();
    FTable.SetFiltered(false);
    for (FTable.First(); !FTable.Eof(); FTable.Next()) {
        const std::string text = FTable.FieldText(0);
        // A NUL inside a cell (written by some other program) would cut the
        // copy short and make it match the wrong texts.
        if (!text.empty() && text.find('\0') == std::string::npos) AddEntry(text, FTable.RecNo());
    }
    FTable.SetFiltered(filtered);
    for (auto& bucket : FBuckets)
        if (bucket->Count() > 0) SortBucket(*bucket, 0, bucket->Count() - 1);
}

// Linear scan in bucket order: of several equal texts the first after
// sorting wins.
const TSourceEntry* TTranslation::Find(std::string_view key) const {
    const TSourceBucket& bucket = *FBuckets[static_cast<unsigned char>(key[0])];
    for (std::int32_t i = 0; i < bucket.Count(); ++i)
        if (std::string_view(bucket[i].SourceText) == key) return &bucket[i];
    return nullptr;
}

// Texts that cannot come back from the table are not recorded: an overlong
// one would be stored cut and never match again, so every start would add
// another row for it.
void TTranslation::RecordMiss(std::string_view key) {
    if (FState != TTableState::ReadWrite) return;
    if (key.size() > static_cast<std::size_t>(kTranslationWidth)) return;
    if (key.find('\0') != std::string_view::npos) return;
    if (FTable.Append() && FTable.SetFieldText(0, key) && FTable.Post()) {
        AddEntry(key, FTable.RecNo());
        return;
    }
    FTable.Cancel(); // a failed write is retried by the next lookup of the text
}

std::string TTranslation::TranslateText(const std::string& source) {
    if (source.empty()) return source;
    std::size_t begin = 0;
    std::size_t end = source.size();
    while (begin < end && source[begin] == ' ')
        ++begin;
    while (end > begin && source[end - 1] == ' ')
        --end;
    if (begin == end) return source;
    const std::string_view key(source.data() + begin, end - begin);

    const TSourceEntry* hit = Find(key);
    if (!hit) {
        RecordMiss(key);
        return source;
    }
    if (!FTable.Go(hit->RecNo) || FTable.IsDeleted()) return source;
    const std::string cell = FTable.FieldText(FLanguageColumn);
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t from = 0;
    std::size_t to = cell.size();
    while (from < to && blank(cell[from]))
        ++from;
    while (to > from && blank(cell[to - 1]))
        --to;
    // A cell of nothing but blanks or control characters is no translation;
    // returning it would make the text vanish from the interface.
    if (from == to) return source;
    return std::string(begin, ' ') + cell.substr(from, to - from) +
           std::string(source.size() - end, ' ');
}

std::string TTranslation::TranslateUtf8(const std::string& german) {
    std::string bytes;
    if (!Cp1252FromUtf8(german, bytes)) return german;
    const std::string result = TranslateText(bytes);
    return result == bytes ? german : Utf8FromCp1252(result);
}

bool TTranslation::SetLanguageColumn(int column) {
    if (column < 0 || column >= kLanguageCount) return false;
    FLanguageColumn = column;
    return true;
}

void TTranslation::GetMessageText(int id, std::string& text) {
    if (const char* german = GermanMessageText(id)) text = TranslateUtf8(german);
}

void TTranslation::RegisterMessages() {
    int count = 0;
    const int* ids = MessageIds(count);
    for (int i = 0; i < count; ++i)
        TranslateUtf8(GermanMessageText(ids[i]));
}

void TTranslation::InstallAsTranslator() {
    std::weak_ptr<TTranslation*> self = FSelf;
    SetTranslator([self](const std::string& german) {
        const auto target = self.lock();
        return target ? (*target)->TranslateUtf8(german) : german;
    });
}

} // namespace quirindo
