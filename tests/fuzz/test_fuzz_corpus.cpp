// Every kept input of the fuzz targets (the seeds and each input that ever
// broke an invariant or crashed) through the same bodies the fuzzers run.

#include "FuzzTargets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace quirindo::fuzz {
namespace {

using TBody = std::string (*)(TInput);

// Runs every file under corpus/NAME and regressions/NAME; returns how many.
int RunAll(const char* name, TBody body) {
    int count = 0;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path dir = fs::path(QUIRINDO_FUZZ_DIR) / kind / name;
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            SCOPED_TRACE(entry.path().string());
            EXPECT_EQ(body(bytes), "");
            ++count;
        }
    }
    return count;
}

TEST(FuzzCorpus, DrawingFilesSaveAndLoadToTheSameBytes) {
    EXPECT_GE(RunAll("drawing_file", CheckDrawingFile), 5);
}

TEST(FuzzCorpus, DxfExportsKeepTheirInvariants) {
    EXPECT_GE(RunAll("dxf_export", CheckDxfExport), 5);
}

TEST(FuzzCorpus, TranslationTablesSurviveLookupsAndEdits) {
    EXPECT_GE(RunAll("translation_table", CheckTranslationTable), 3);
}

// The DXF check itself catches what it is for, so that a clean fuzz run means
// something.
TEST(FuzzCorpus, TheDxfCheckReportsBrokenText) {
    EXPECT_EQ(DxfTextProblem("  0\r\nSECTION\r\n 10\r\n-2.5E20\r\n  0\r\nEOF\r\n"), "");
    EXPECT_NE(DxfTextProblem("  0\r\nSECTION\n  0\r\nEOF\r\n"), "");
    EXPECT_NE(DxfTextProblem("  0\r\nSECTION\r\r\n"), "");
    EXPECT_NE(DxfTextProblem(" 10\r\nnan\r\n"), "");
    EXPECT_NE(DxfTextProblem(" 20\r\n1,5\r\n"), "");
    EXPECT_NE(DxfTextProblem(" 20\r\n1.5\r\n  0\r\n"), "");
    EXPECT_NE(DxfTextProblem("TEXT\r\n 20\r\n"), "");
}

} // namespace
} // namespace quirindo::fuzz
