#pragma once
// A program folder of its own for each test: translate.dbf and options.dat
// are written by the test before the main window starts, and the restart
// prompts it shows are recorded instead of shown.

#include "Cp1252Utf8.h"
#include "DbfTable.h"
#include "FakeDialogs.h"
#include "MainForm.h"
#include "Options.h"
#include "TempDir.h"
#include "Translation.h"

#include <QStringList>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <vector>

namespace quirindo::test {

// Rows of translate.dbf as UTF-8: German, English, Italian, ... (missing
// columns stay empty).
using TRows = std::vector<std::vector<std::string>>;

inline void WriteTranslationTable(const std::string& path, const TRows& rows) {
    TDbfTable table;
    ASSERT_TRUE(table.Create(path, TranslationFields())) << table.ErrorMessage();
    for (const auto& row : rows) {
        ASSERT_TRUE(table.Append());
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::string bytes;
            ASSERT_TRUE(Cp1252FromUtf8(row[c], bytes));
            ASSERT_TRUE(table.SetFieldText(static_cast<int>(c), bytes));
        }
        ASSERT_TRUE(table.Post()) << table.ErrorMessage();
    }
}

// The live rows of a table file as UTF-8, read by a table of its own.
inline TRows ReadTranslationTable(const std::string& path) {
    TRows rows;
    TDbfTable table;
    if (!table.Open(path, true)) return rows;
    for (table.First(); !table.Eof(); table.Next()) {
        std::vector<std::string> row;
        for (std::size_t c = 0; c < table.Fields().size(); ++c)
            row.push_back(Utf8FromCp1252(table.FieldText(static_cast<int>(c))));
        rows.push_back(row);
    }
    return rows;
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LocalisationTest : public ::testing::Test {
protected:
    // Creates the main window in the test's folder; FormShow is left to the
    // test, which sets up the files first.
    void Start() {
        Form = std::make_unique<ui::TMainForm>(QString::fromStdString(Dir.File("quirindo")));
        auto dialogs = std::make_unique<TFakeDialogs>();
        Fake = dialogs.get();
        Form->SetDialogs(std::move(dialogs));
        Form->ShowInformation = [this](const QString& caption, const QString& text) {
            Prompts << caption + QStringLiteral("|") + text;
        };
    }
    void StartAndShow() {
        Start();
        Form->FormShow();
    }
    void Table(const TRows& rows) { WriteTranslationTable(Dir.File("translate.dbf"), rows); }
    void Options(const std::vector<std::uint8_t>& bytes) {
        WriteBytes(Dir.File("options.dat"), bytes);
    }
    std::vector<std::uint8_t> OptionsOnDisk() const { return ReadBytes(Dir.File("options.dat")); }
    bool HasOptionsFile() const { return std::filesystem::exists(Dir.File("options.dat")); }

    TTempDir Dir;
    std::unique_ptr<ui::TMainForm> Form;
    TFakeDialogs* Fake = nullptr;
    QStringList Prompts;
};

} // namespace quirindo::test
