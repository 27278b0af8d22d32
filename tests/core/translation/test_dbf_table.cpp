#include "DbfTable.h"
#include "TestSupport.h"
#include "Translation.h"

#include <gtest/gtest.h>

#include <functional>

namespace quirindo::test {
namespace {

class TranslationDbfTableTest : public TempDirTest {
protected:
    std::string FPathName;
    void SetUp() override {
        TempDirTest::SetUp();
        FPathName = PathOf("t.dbf");
    }
    // Rows whose first cell is each of `firsts`, the second cell "x".
    void MakeTable(const std::vector<std::string>& firsts) {
        std::vector<std::vector<std::string>> rows;
        for (const auto& f : firsts)
            rows.push_back({f, "x"});
        WriteTranslationTable(FPathName, rows);
    }
    std::vector<std::int32_t> Walk(TDbfTable& t) {
        std::vector<std::int32_t> seen;
        for (t.First(); !t.Eof(); t.Next())
            seen.push_back(t.RecNo());
        return seen;
    }
};

TEST_F(TranslationDbfTableTest, CreateWritesTheDbaseIIILayoutAndNeverReplacesAFile) {
    {
        TDbfTable t;
        ASSERT_TRUE(t.Create(FPathName, TranslationFields())) << t.ErrorMessage();
        EXPECT_EQ(t.RecordCount(), 0);
        EXPECT_EQ(t.RecNo(), 0);
        EXPECT_TRUE(t.Eof());
    }
    const std::string bytes = ReadBytes(FPathName);
    const TRawTable raw = ParseRaw(bytes);
    ASSERT_TRUE(raw.Valid);
    EXPECT_EQ(raw.Version, 0x03);
    EXPECT_EQ(raw.Count, 0u);
    EXPECT_EQ(raw.HeaderLength, 32 + 19 * 32 + 1);
    EXPECT_EQ(raw.RecordLength, 1 + 19 * 255);
    ASSERT_EQ(raw.FieldNames.size(), 19u);
    EXPECT_EQ(raw.FieldNames[0], "LANGUAGE1");
    EXPECT_EQ(raw.FieldNames[18], "LANGUAGE19");
    EXPECT_EQ(bytes[32 + 11], 'C');
    EXPECT_EQ(raw.FieldWidths[18], 255);
    ASSERT_EQ(bytes.size(), raw.HeaderLength + 1u);
    EXPECT_EQ(bytes[raw.HeaderLength - 1], '\x0D');
    EXPECT_EQ(bytes.back(), '\x1A');

    TDbfTable again;
    EXPECT_FALSE(again.Create(FPathName, TranslationFields()));
    EXPECT_NE(again.ErrorMessage().find(FPathName), std::string::npos);
    EXPECT_EQ(ReadBytes(FPathName), bytes);
}

TEST_F(TranslationDbfTableTest, FieldsRoundTripCutAtTheWidthAndLoseTrailingBlanks) {
    const std::string longText(300, 'L');
    WriteTranslationTable(FPathName, {{"  Datei  ", longText,
                                       "Gr\xF6\xDF"
                                       "e"}});
    TDbfTable t;
    ASSERT_TRUE(t.Open(FPathName, false)) << t.ErrorMessage();
    ASSERT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_EQ(t.FieldText(0), "  Datei");
    EXPECT_EQ(t.FieldText(1), std::string(255, 'L'));
    EXPECT_EQ(t.FieldText(2), "Gr\xF6\xDF"
                              "e");
    EXPECT_EQ(t.FieldText(3), "");
    EXPECT_EQ(t.FieldText(19), "");
    EXPECT_EQ(t.FieldText(-1), "");
    EXPECT_EQ(t.FieldIndex("Language2"), 1);
    EXPECT_EQ(t.FieldIndex("language20"), -1);
    EXPECT_FALSE(t.SetFieldText(19, "x"));
}

TEST_F(TranslationDbfTableTest, EditsArePostedToDiskCancelledOrPostedByNavigation) {
    MakeTable({"Eins", "Zwei"});
    TDbfTable t;
    ASSERT_TRUE(t.Open(FPathName, false));
    ASSERT_TRUE(t.Go(1));
    ASSERT_TRUE(t.SetFieldText(1, "One"));
    EXPECT_EQ(t.State(), TDbfTable::TState::Edit);
    ASSERT_TRUE(t.Post());
    EXPECT_EQ(ParseRaw(ReadBytes(FPathName)).Cell(0, 1), "One");

    ASSERT_TRUE(t.SetFieldText(1, "Wrong"));
    t.Cancel();
    EXPECT_EQ(t.FieldText(1), "One");
    EXPECT_EQ(ParseRaw(ReadBytes(FPathName)).Cell(0, 1), "One");

    ASSERT_TRUE(t.SetFieldText(1, "Uno"));
    t.Next(); // leaving the row saves it, as a data-bound grid expects
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_EQ(ParseRaw(ReadBytes(FPathName)).Cell(0, 1), "Uno");

    ASSERT_TRUE(t.Append());
    ASSERT_TRUE(t.SetFieldText(0, "Drei"));
    t.Cancel();
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(ParseRaw(ReadBytes(FPathName)).Count, 2u);
}

TEST_F(TranslationDbfTableTest, DeletedAndFilteredRowsAreSkipped) {
    MakeTable({"a1", "b2", "a3", "b4", "a5"});
    TDbfTable t;
    ASSERT_TRUE(t.Open(FPathName, false));
    ASSERT_TRUE(t.Go(2));
    ASSERT_TRUE(t.Delete());
    EXPECT_EQ(t.RecNo(), 3);
    ASSERT_TRUE(t.Go(5));
    ASSERT_TRUE(t.Delete());
    EXPECT_EQ(t.RecNo(), 4); // no row after the last: the one before
    EXPECT_TRUE(ParseRaw(ReadBytes(FPathName)).Deleted(1));

    EXPECT_EQ(t.RecordCount(), 5);
    EXPECT_EQ(Walk(t), (std::vector<std::int32_t>{1, 3, 4}));
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecNo(), 4);
    t.Last();
    t.Prior();
    EXPECT_EQ(t.RecNo(), 3);
    t.Prior();
    t.Prior();
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecNo(), 1);
    ASSERT_TRUE(t.Go(2));
    EXPECT_TRUE(t.IsDeleted());
    EXPECT_EQ(t.FieldText(0), "b2");

    t.SetFilter([](const TDbfTable& row) { return row.FieldText(0)[0] == 'a'; });
    t.SetFiltered(true);
    EXPECT_EQ(Walk(t), (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(t.VisibleRecNos(), (std::vector<std::int32_t>{1, 3}));
    t.SetFilter([](const TDbfTable&) { return false; });
    t.First();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecNo(), 0);
    t.SetFiltered(false);
    EXPECT_EQ(t.VisibleRecNos(), (std::vector<std::int32_t>{1, 3, 4}));
}

TEST_F(TranslationDbfTableTest, ReadOnlyTableRefusesEveryChange) {
    MakeTable({"Eins"});
    const std::string before = ReadBytes(FPathName);
    TDbfTable t;
    ASSERT_TRUE(t.Open(FPathName, true));
    EXPECT_TRUE(t.IsReadOnly());
    EXPECT_FALSE(t.SetFieldText(0, "x"));
    EXPECT_FALSE(t.Append());
    EXPECT_FALSE(t.Delete());
    EXPECT_NE(t.ErrorMessage().find("read-only"), std::string::npos);
    EXPECT_EQ(t.FieldText(0), "Eins");
    EXPECT_EQ(ReadBytes(FPathName), before);
}

TEST_F(TranslationDbfTableTest, ASecondWriterIsRefusedButReadersAreNot) {
    MakeTable({"Eins"});
    TDbfTable first;
    ASSERT_TRUE(first.Open(FPathName, false));
    TDbfTable second;
    EXPECT_FALSE(second.Open(FPathName, false));
    EXPECT_NE(second.ErrorMessage().find("in use"), std::string::npos);
    EXPECT_TRUE(second.Open(FPathName, true));
}

// Every damaged variant must be refused with a message naming the file, by
// both open modes, without reading outside the file.
TEST_F(TranslationDbfTableTest, DamagedOrForeignFilesAreRefusedWithAReason) {
    MakeTable({"Eins", "Zwei"});
    const std::string good = ReadBytes(FPathName);
    auto put16 = [](std::string& b, std::size_t at, unsigned v) {
        b[at] = static_cast<char>(v & 0xFF);
        b[at + 1] = static_cast<char>(v >> 8);
    };
    auto put32 = [&](std::string& b, std::size_t at, unsigned v) {
        put16(b, at, v & 0xFFFF);
        put16(b, at + 2, v >> 16);
    };
    struct TCase {
        const char* Name;
        std::function<void(std::string&)> Damage;
        const char* Says = ""; // part of the message
    };
    const std::size_t headerLength = 32 + 19 * 32 + 1;
    const std::vector<TCase> cases = {
        {"empty", [](std::string& b) { b.clear(); }},
        {"truncated header", [](std::string& b) { b.resize(10); }},
        {"truncated field list", [](std::string& b) { b.resize(100); }},
        {"truncated rows", [](std::string& b) { b.resize(b.size() - 3000); }},
        {"foreign version", [](std::string& b) { b[0] = '0'; }},
        {"text file", [](std::string& b) { b = std::string(2000, 'z'); }},
        {"huge record count", [&](std::string& b) { put32(b, 4, 1000000000u); }},
        {"negative-looking count", [&](std::string& b) { put32(b, 4, 0xFFFFFFFFu); }},
        {"header length past the end", [&](std::string& b) { put16(b, 8, 0xFFFF); }},
        {"header length too small", [&](std::string& b) { put16(b, 8, 40); }},
        {"record length mismatch", [&](std::string& b) { put16(b, 10, 100); }},
        {"record length zero", [&](std::string& b) { put16(b, 10, 0); }},
        {"no end of field list", [](std::string& b) { b[32 + 19 * 32] = 'X'; }},
        {"numeric field", [](std::string& b) { b[32 + 11] = 'N'; }},
        {"field width zero", [](std::string& b) { b[32 + 16] = 0; }},
        {"field without name", [](std::string& b) { b[32] = 0; }},
        {"one byte", [](std::string& b) { b.resize(1); }, "(1 byte)"},
        {"the one row missing",
         [&](std::string& b) {
             b.resize(headerLength);
             put32(b, 4, 1);
         },
         "announces 1 row but the file holds 0"},
    };
    for (const TCase& c : cases) {
        std::string bytes = good;
        c.Damage(bytes);
        WriteBytes(FPathName, bytes);
        for (bool readOnly : {false, true}) {
            TDbfTable t;
            EXPECT_FALSE(t.Open(FPathName, readOnly)) << c.Name;
            EXPECT_FALSE(t.IsOpen()) << c.Name;
            EXPECT_NE(t.ErrorMessage().find(FPathName), std::string::npos) << c.Name;
            EXPECT_NE(t.ErrorMessage().find(c.Says), std::string::npos)
                << c.Name << ": " << t.ErrorMessage();
            EXPECT_EQ(t.RecordCount(), 0) << c.Name;
        }
        EXPECT_EQ(ReadBytes(FPathName), bytes) << c.Name;
    }
    TDbfTable t;
    EXPECT_FALSE(t.Open(FDir, true));
    EXPECT_FALSE(t.Open(PathOf("missing.dbf"), true));
    EXPECT_NE(t.ErrorMessage().find("missing.dbf"), std::string::npos);
}

TEST_F(TranslationDbfTableTest, ExtraBytesAfterTheCountedRowsAreIgnored) {
    MakeTable({"Eins"});
    WriteBytes(FPathName, ReadBytes(FPathName) + std::string(5000, '?'));
    TDbfTable t;
    ASSERT_TRUE(t.Open(FPathName, false)) << t.ErrorMessage();
    EXPECT_EQ(t.RecordCount(), 1);
    ASSERT_TRUE(t.Append());
    ASSERT_TRUE(t.SetFieldText(0, "Zwei"));
    ASSERT_TRUE(t.Post());
    const TRawTable raw = ParseRaw(ReadBytes(FPathName));
    ASSERT_EQ(raw.Count, 2u);
    EXPECT_EQ(raw.Cell(1, 0), "Zwei");
}

TEST_F(TranslationDbfTableTest, AnIndependentReaderSeesTheSameTable) {
    WriteTranslationTable(FPathName, {{"Datei", "File", "File"},
                                      {"Gr\xF6\xDF"
                                       "e \x80",
                                       "Size \x80"},
                                      {"gel\xF6scht"},
                                      {"\xC4nderung", "", "Modifica"}});
    {
        TDbfTable t;
        ASSERT_TRUE(t.Open(FPathName, false));
        ASSERT_TRUE(t.Go(3));
        ASSERT_TRUE(t.Delete());
    }
    std::string fields, count;
    const auto rows = ReadWithDbfread(FPathName, fields, count);
    ASSERT_EQ(fields.substr(0, 30), "LANGUAGE1:C:255 LANGUAGE2:C:25") << fields;
    EXPECT_NE(fields.find("LANGUAGE19:C:255"), std::string::npos);
    EXPECT_EQ(count, "count 4");
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows)
        ASSERT_EQ(row.size(), 19u);
    EXPECT_EQ(rows[0][0], "Datei");
    EXPECT_EQ(rows[0][2], "File");
    EXPECT_EQ(rows[1][0], "Größe €");
    EXPECT_EQ(rows[1][1], "Size €");
    EXPECT_EQ(rows[2][0], "Änderung");
    EXPECT_EQ(rows[2][1], "");
    EXPECT_EQ(rows[2][2], "Modifica");
}

} // namespace
} // namespace quirindo::test
