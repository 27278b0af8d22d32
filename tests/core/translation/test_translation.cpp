#include "Messages.h"
#include "TestSupport.h"
#include "Translation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace quirindo::test {
namespace {

class TranslationTest : public TempDirTest {
protected:
    std::string FTable;
    void SetUp() override {
        TempDirTest::SetUp();
        FTable = PathOf("translate.dbf");
    }
    std::uint32_t RowsOnDisk() const { return ParseRaw(ReadBytes(FTable)).Count; }
    // Opens the table in English, failing the test when it does not open.
    void OpenEnglish(TTranslation& t) {
        ASSERT_TRUE(t.OpenTranslationTable(FTable)) << t.TableMessage();
        ASSERT_TRUE(t.SetLanguageColumn(1));
    }
};

TEST_F(TranslationTest, AHitCarriesExactlyTheSourceBlanks) {
    WriteTranslationTable(FTable, {{"Datei", "File"},
                                   {"Ansicht", "  View"},
                                   {"Bild", "\tPicture\x01"},
                                   {"Leer", ""},
                                   {"Tab", "\t"}});
    TTranslation t;
    OpenEnglish(t);
    EXPECT_EQ(t.TranslateText(" Datei "), " File ");
    EXPECT_EQ(t.TranslateText("Datei"), "File");
    EXPECT_EQ(t.TranslateText("Ansicht"), "View");
    EXPECT_EQ(t.TranslateText("Ansicht  "), "View  ");
    EXPECT_EQ(t.TranslateText("  Ansicht"), "  View");
    EXPECT_EQ(t.TranslateText("Bild"), "Picture");
    // No translation in the column: the source comes back, blanks and all.
    EXPECT_EQ(t.TranslateText("Leer"), "Leer");
    EXPECT_EQ(t.TranslateText(" Leer  "), " Leer  ");
    // A cell of control characters only must not make the text vanish.
    EXPECT_EQ(t.TranslateText(" Tab"), " Tab");
    EXPECT_EQ(RowsOnDisk(), 5u);
}

TEST_F(TranslationTest, AMissIsAppendedOnceWithoutItsBlanks) {
    WriteTranslationTable(FTable, {{"Datei", "File"}});
    TTranslation t;
    OpenEnglish(t);
    EXPECT_EQ(t.TranslateText("datei"), "datei");
    EXPECT_EQ(RowsOnDisk(), 2u);
    EXPECT_EQ(t.TranslateText("datei"), "datei");
    EXPECT_EQ(RowsOnDisk(), 2u);
    EXPECT_EQ(t.TranslateText("  Neu "), "  Neu ");
    EXPECT_EQ(t.TranslateText("Neu"), "Neu");
    // Only 0x20 is set aside: a tab belongs to the key.
    EXPECT_EQ(t.TranslateText("\tNeu"), "\tNeu");
    const TRawTable raw = ParseRaw(ReadBytes(FTable));
    ASSERT_EQ(raw.Count, 4u);
    EXPECT_EQ(raw.Cell(1, 0), "datei");
    EXPECT_EQ(raw.Cell(2, 0), "Neu");
    EXPECT_EQ(raw.Cell(3, 0), "\tNeu");
    for (std::size_t field = 1; field < 19; ++field)
        EXPECT_EQ(raw.Cell(1, field), "");

    // Once a translator fills the new row in, the next lookup reads it.
    ASSERT_TRUE(t.Table().Go(2));
    ASSERT_TRUE(t.Table().SetFieldText(1, "file (lower case)"));
    ASSERT_TRUE(t.Table().Post());
    EXPECT_EQ(t.TranslateText("datei "), "file (lower case) ");
}

TEST_F(TranslationTest, EmptyAndBlankSourcesLeaveTheTableAlone) {
    WriteTranslationTable(FTable, {{"Datei", "File"}});
    const std::string before = ReadBytes(FTable);
    TTranslation t;
    OpenEnglish(t);
    EXPECT_EQ(t.TranslateText(""), "");
    EXPECT_EQ(t.TranslateText(" "), " ");
    EXPECT_EQ(t.TranslateText("    "), "    ");
    EXPECT_EQ(ReadBytes(FTable), before);
}

TEST_F(TranslationTest, GermanColumnReturnsTheGermanTextAndColumnsAreBounded) {
    WriteTranslationTable(FTable, {{"Datei", "File"}});
    TTranslation t;
    ASSERT_TRUE(t.OpenTranslationTable(FTable));
    EXPECT_EQ(t.LanguageColumn(), 0);
    EXPECT_EQ(t.TranslateText(" Datei  "), " Datei  ");
    EXPECT_EQ(t.TranslateText("Fenster"), "Fenster");
    EXPECT_EQ(RowsOnDisk(), 2u); // misses are still collected
    EXPECT_TRUE(t.SetLanguageColumn(18));
    EXPECT_FALSE(t.SetLanguageColumn(19));
    EXPECT_FALSE(t.SetLanguageColumn(-1));
    EXPECT_EQ(t.LanguageColumn(), 18);
    EXPECT_EQ(t.TranslateText("Datei"), "Datei");
}

TEST_F(TranslationTest, MessagesAreLookedUpByIdAndRegisteredOnce) {
    TTranslation t;
    ASSERT_TRUE(t.OpenTranslationTable(FTable)); // missing: created
    std::string text = "unchanged";
    t.GetMessageText(0, text);
    EXPECT_EQ(text, "unchanged");
    t.GetMessageText(10, text);
    EXPECT_EQ(text, "unchanged");
    t.GetMessageText(msgSaveQuestion, text);
    EXPECT_EQ(text, GermanMessageText(msgSaveQuestion));

    ASSERT_TRUE(t.SetLanguageColumn(1));
    t.RegisterMessages();
    const TRawTable raw = ParseRaw(ReadBytes(FTable));
    ASSERT_EQ(raw.Count, 6u);
    for (std::size_t row = 0; row < raw.Count; ++row)
        for (std::size_t field = 1; field < 19; ++field)
            EXPECT_EQ(raw.Cell(row, field), "");
    // The save question came first, through the German lookup above.
    EXPECT_EQ(raw.Cell(1, 0), "Bitte schlie\xDF"
                              "en Sie das Programm und starten Sie es erneut!");

    // The save question gets an English text; the next lookup reads it.
    ASSERT_TRUE(t.Table().Go(1));
    ASSERT_EQ(t.Table().FieldText(0), "Die Datei ist noch nicht gespeichert. Wollen Sie jetzt "
                                      "speichern?");
    ASSERT_TRUE(t.Table().SetFieldText(1, "Save changes?"));
    ASSERT_TRUE(t.Table().Post());
    t.GetMessageText(msgSaveQuestion, text);
    EXPECT_EQ(text, "Save changes?");
}

TEST_F(TranslationTest, ASecondStartAddsNoRows) {
    for (int start = 0; start < 2; ++start) {
        TTranslation t;
        OpenEnglish(t);
        t.RegisterMessages();
        t.TranslateText("&Datei");
        t.TranslateText("Gr\xF6\xDF"
                        "e");
        EXPECT_EQ(t.Table().RecordCount(), 8) << "start " << start;
    }
    EXPECT_EQ(RowsOnDisk(), 8u);
}

TEST_F(TranslationTest, OfSeveralEqualRowsTheFirstInItsSortedBucketWins) {
    WriteTranslationTable(
        FTable, {{"Datei", "File 1"}, {"Daten", "Data"}, {"Datei", "File 3"}, {"Datei", "File 4"}});
    TTranslation t;
    OpenEnglish(t);
    const TSourceBucket& bucket = t.Bucket('D');
    ASSERT_EQ(bucket.Count(), 4);
    std::int32_t first = 0;
    for (std::int32_t i = 0; i < bucket.Count() && first == 0; ++i)
        if (std::strcmp(bucket[i].SourceText, "Datei") == 0) first = bucket[i].RecNo;
    EXPECT_EQ(t.TranslateText("Datei"), "File " + std::to_string(first));
    EXPECT_EQ(RowsOnDisk(), 4u);
}

TEST_F(TranslationTest, TheIndexHoldsLiveRowsInTheBucketOfTheirFirstByte) {
    WriteTranslationTable(
        FTable,
        {{"Zeichnung"}, {"", "orphan"}, {"\xC4nderung", "Change"}, {"Alt", "Old"}, {"Ab"}, {"A"}});
    {
        TDbfTable table;
        ASSERT_TRUE(table.Open(FTable, false));
        ASSERT_TRUE(table.Go(4));
        ASSERT_TRUE(table.Delete());
    }
    TTranslation t;
    OpenEnglish(t);
    std::map<int, std::vector<std::string>> buckets;
    for (int b = 0; b < 256; ++b)
        for (std::int32_t i = 0; i < t.Bucket(static_cast<unsigned char>(b)).Count(); ++i) {
            const TSourceEntry& e = t.Bucket(static_cast<unsigned char>(b))[i];
            EXPECT_EQ(static_cast<unsigned char>(e.SourceText[0]), b);
            buckets[b].push_back(e.SourceText);
        }
    EXPECT_EQ(buckets.size(), 3u);
    EXPECT_EQ(buckets['A'], (std::vector<std::string>{"A", "Ab"}));
    EXPECT_EQ(buckets[0xC4], (std::vector<std::string>{"\xC4nderung"}));
    EXPECT_EQ(t.TranslateText("\xC4nderung"), "Change");
    // The deleted row is not found: its text is collected anew.
    EXPECT_EQ(t.TranslateText("Alt"), "Alt");
    EXPECT_EQ(RowsOnDisk(), 7u);
    EXPECT_EQ(t.Bucket('A').Count(), 3);
}

TEST(TranslationSortBucket, OrdersByUnsignedBytesWithPrefixesFirst) {
    const std::vector<std::string> texts = {"Ab", "\xE4", "A",    "\x80x", "B", "AB",   "Abc",
                                            "Ab", "a",    "\x7F", "A b",   "A", "\xFF", "Z"};
    TSourceEntry* cursor = nullptr;
    TSourceBucket bucket(&cursor);
    for (std::size_t i = 0; i < texts.size(); ++i)
        *bucket.Append() = {const_cast<char*>(texts[i].c_str()), static_cast<std::int32_t>(i)};
    SortBucket(bucket, 0, bucket.Count() - 1);
    std::vector<std::string> sorted;
    for (std::int32_t i = 0; i < bucket.Count(); ++i) {
        // Each entry still points at its own text.
        EXPECT_EQ(bucket[i].SourceText, texts[bucket[i].RecNo].c_str());
        sorted.push_back(bucket[i].SourceText);
    }
    EXPECT_EQ(sorted, (std::vector<std::string>{"A", "A", "A b", "AB", "Ab", "Ab", "Abc", "B", "Z",
                                                "a", "\x7F", "\x80x", "\xE4", "\xFF"}));
}

TEST(TranslationSortBucket, SortsLargeBucketsWithManyDuplicates) {
    std::vector<std::string> texts;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 2000; ++i) {
        std::string s = "D";
        const int length = static_cast<int>(seed % 4);
        for (int k = 0; k < length; ++k) {
            seed = seed * 1103515245u + 12345u;
            s.push_back(static_cast<char>("aB\xE4\x01"[seed >> 30]));
        }
        seed = seed * 1103515245u + 12345u;
        texts.push_back(s);
    }
    TSourceEntry* cursor = nullptr;
    TSourceBucket bucket(&cursor);
    for (std::size_t i = 0; i < texts.size(); ++i)
        *bucket.Append() = {texts[i].data(), static_cast<std::int32_t>(i)};
    SortBucket(bucket, 0, bucket.Count() - 1);
    std::vector<std::string> expected = texts;
    std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        return std::strcmp(a.c_str(), b.c_str()) < 0;
    });
    for (std::int32_t i = 0; i < bucket.Count(); ++i) {
        ASSERT_EQ(bucket[i].SourceText, expected[i]);
        ASSERT_EQ(bucket[i].SourceText, texts[bucket[i].RecNo].data()); // moved as a pair
    }
}

TEST_F(TranslationTest, AWriteProtectedTableIsReadOnlyAndAbsorbsMisses) {
    WriteTranslationTable(FTable, {{"Datei", "File"}});
    const std::string before = ReadBytes(FTable);
    TImmutableFile guard(FTable);
    if (!guard.Active()) {
        GTEST_SKIP() << "chattr +i does not protect files here";
    }
    TTranslation t;
    OpenEnglish(t);
    EXPECT_EQ(t.TableState(), TTranslation::TTableState::ReadOnly);
    EXPECT_NE(t.TableMessage().find(FTable), std::string::npos);
    EXPECT_TRUE(t.Table().IsReadOnly());
    EXPECT_EQ(t.TranslateText(" Datei"), " File");
    EXPECT_EQ(t.TranslateText("Fenster"), "Fenster");
    EXPECT_EQ(t.TranslateText("Fenster"), "Fenster");
    EXPECT_EQ(ReadBytes(FTable), before);
}

TEST_F(TranslationTest, WithoutAnyTableEveryTextComesBackUnrecorded) {
    const std::string missingDir = PathOf("no/such/dir/translate.dbf");
    WriteBytes(FTable, "this is not a dBase table");
    WriteTranslationTable(PathOf("other.dbf"), {});
    {
        TDbfTable foreign; // right layout, wrong field names
        std::vector<TDbfField> fields = TranslationFields();
        fields[2].Name = "ITALIANO";
        ASSERT_TRUE(foreign.Create(PathOf("foreign.dbf"), fields));
    }
    for (const std::string& path : {missingDir, FTable, PathOf("foreign.dbf")}) {
        const std::string before = ReadBytes(path);
        TTranslation t;
        EXPECT_FALSE(t.OpenTranslationTable(path)) << path;
        EXPECT_EQ(t.TableState(), TTranslation::TTableState::None);
        EXPECT_NE(t.TableMessage().find(path), std::string::npos) << t.TableMessage();
        t.SetLanguageColumn(1);
        EXPECT_EQ(t.TranslateText(" Datei "), " Datei ");
        t.RegisterMessages();
        std::string text;
        t.GetMessageText(msgSaveCaption, text);
        EXPECT_EQ(text, "Speichern");
        EXPECT_EQ(ReadBytes(path), before) << path;
    }
    EXPECT_FALSE(std::filesystem::exists(missingDir));
}

TEST_F(TranslationTest, EveryMissIsOnDiskWithItsCountAtOnce) {
    TTranslation t;
    OpenEnglish(t);
    const std::vector<std::string> misses = {"Eins", "Zwei",
                                             "Gr\xF6\xDF"
                                             "e",
                                             std::string(255, 'x')};
    for (std::size_t i = 0; i < misses.size(); ++i) {
        t.TranslateText(misses[i]);
        // Read back at once by a separate reader, as after a kill.
        const std::string bytes = ReadBytes(FTable);
        const TRawTable raw = ParseRaw(bytes);
        ASSERT_TRUE(raw.Valid);
        ASSERT_EQ(raw.Count, i + 1);
        EXPECT_EQ(raw.Cell(i, 0), misses[i]);
        EXPECT_EQ(bytes.size(), raw.HeaderLength + raw.Count * raw.RecordLength + 1u);
        EXPECT_EQ(bytes.back(), '\x1A');
    }
    // Too long for the cell: returned unchanged, not collected (a cut copy
    // would never match again and be added at every start).
    const std::string overlong(256, 'y');
    EXPECT_EQ(t.TranslateText(overlong), overlong);
    EXPECT_EQ(RowsOnDisk(), misses.size());
}

TEST_F(TranslationTest, AMissSurvivesAKillRightAfterTheLookup) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TTranslation t;
        t.OpenTranslationTable(FTable);
        t.TranslateText("Abgebrochen");
        ::raise(SIGKILL); // no destructor, no close
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    std::string fields, count;
    const auto rows = ReadWithDbfread(FTable, fields, count);
    EXPECT_EQ(count, "count 1") << fields;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "Abgebrochen");
}

TEST_F(TranslationTest, Utf8TextsAreConvertedAtTheEdges) {
    WriteTranslationTable(FTable, {{"Gr\xF6\xDF"
                                    "e",
                                    "Size"},
                                   {"Preis \x80", "Price \x80"}});
    TTranslation t;
    OpenEnglish(t);
    EXPECT_EQ(t.TranslateUtf8("Größe "), "Size ");
    EXPECT_EQ(t.TranslateUtf8("Preis €"), "Price €");
    EXPECT_EQ(t.TranslateUtf8("Schließen"), "Schließen");
    // Not representable in the table: unchanged and not collected.
    EXPECT_EQ(t.TranslateUtf8("Winkel α"), "Winkel α");
    EXPECT_EQ(t.TranslateUtf8("kaputt \xC3"), "kaputt \xC3");
    EXPECT_EQ(t.TranslateUtf8("overlong \xC0\xAF"), "overlong \xC0\xAF");
    const TRawTable raw = ParseRaw(ReadBytes(FTable));
    ASSERT_EQ(raw.Count, 3u);
    EXPECT_EQ(raw.Cell(2, 0), "Schlie\xDF"
                              "en");

    std::string fields, count;
    const auto rows = ReadWithDbfread(FTable, fields, count);
    ASSERT_EQ(rows.size(), 3u) << fields;
    EXPECT_EQ(rows[0][1], "Size");
    EXPECT_EQ(rows[2][0], "Schließen");
}

TEST_F(TranslationTest, TheInstalledTranslatorServesMessagesAndOutlivesItsOwner) {
    WriteTranslationTable(FTable, {{"Speichern", "Save"}});
    {
        TTranslation t;
        OpenEnglish(t);
        t.InstallAsTranslator();
        std::string text;
        GetMessageText(msgSaveCaption, text);
        EXPECT_EQ(text, "Save");
        EXPECT_EQ(TranslateUtf8("Öffnen"), "Öffnen");
        EXPECT_EQ(t.Table().RecordCount(), 2);
    }
    EXPECT_EQ(TranslateUtf8("Speichern"), "Speichern");
    SetTranslator(nullptr);
}

} // namespace
} // namespace quirindo::test
