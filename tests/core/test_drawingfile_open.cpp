// Opening drawing files that are not what they claim: files far larger than
// their contents, memory running out, texts holding U+0000, and the page
// count that every reader of a file takes the same way.

#include "DrawingFile.h"
#include "FileIO.h"
#include "Messages.h"
#include "TempDir.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits>
#include <sys/resource.h>
#include <unistd.h>

namespace quirindo::test {
namespace {

constexpr off_t kTwoGigabytes = 2'000'000'000;

// Writes `bytes` and then makes the file `size` bytes long without writing
// (a sparse file: no disk space, all zeros to a reader).
bool WriteSparse(const std::string& path, const std::vector<std::uint8_t>& bytes, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ok = ok && ::ftruncate(fd, size) == 0;
    return ::close(fd) == 0 && ok;
}

long PeakMemoryKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::vector<std::uint8_t> EmptyDrawing() {
    TDrawing drawing;
    return SaveDrawing(drawing, TDrawingSettings{});
}

TEST(DrawingFileOpen, FarLargerThanItsContentsIsRefusedWithoutReadingIt) {
    TTempDir dir;
    struct TCase {
        const char* Name;
        std::vector<std::uint8_t> Start;
        const char* Reason;
        bool EndlessText = false;
    };
    const TCase cases[] = {
        // Nothing but zeros: no objects, no texts, yet two gigabytes.
        {"zeros.qrd", {}, reason::FarTooLarge},
        // A complete empty drawing with a huge tail of nothing.
        {"padded.qrd", EmptyDrawing(), reason::FarTooLarge},
        // An archive: its signature read as an object count of 67 million.
        {"archive.qrd", {'P', 'K', 3, 4}, reason::ObjectCountTooLarge},
        // One text whose length runs past the end.
        {"text.qrd", {0, 0, 0, 0, 1, 0, 0, 0}, reason::TextPastEnd, true},
    };
    for (const TCase& c : cases) {
        std::vector<std::uint8_t> start = c.Start;
        if (c.EndlessText) {
            start.resize(8 + kTextRecordBytes, 0);
            for (std::uint8_t b : {0xFF, 0xFF, 0xFF, 0x7F}) // 2^31 - 1 code units
                start.push_back(b);
        }
        const std::string path = dir.File(c.Name);
        if (!WriteSparse(path, start, kTwoGigabytes))
            GTEST_SKIP() << "no sparse files here: " << std::strerror(errno);
        const long before = PeakMemoryKb();
        TDrawing drawing;
        TDrawingSettings settings;
        std::string why;
        EXPECT_EQ(LoadDrawingFile(path, drawing, settings, why), TLoadResult::Damaged) << c.Name;
        EXPECT_EQ(why, c.Reason) << c.Name;
        EXPECT_LT(PeakMemoryKb() - before, 64 * 1024) << c.Name << " was read into memory";
        ::unlink(path.c_str());
    }
}

// Above the size that is read at once, a real drawing is judged by the same
// counts and opens.
TEST(DrawingFileOpen, LargeRealDrawingStillOpens) {
    TTempDir dir;
    TDrawing drawing;
    for (int i = 0; i < 250; ++i) {
        TDrawObject* o = drawing.Objects.Append();
        o->Kind = okLine;
        o->X2 = i;
    }
    drawing.AppendText(std::u16string(9'000'000, u'x'), "Arial");
    drawing.AppendText(u"", "");
    TDrawingSettings settings;
    settings.PageCount = 4;
    const auto bytes = SaveDrawing(drawing, settings);
    ASSERT_GT(bytes.size(), std::size_t(16) << 20);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir.File("big.qrd"), bytes, error)) << error;

    TDrawing back;
    TDrawingSettings read;
    std::string why;
    ASSERT_EQ(LoadDrawingFile(dir.File("big.qrd"), back, read, why), TLoadResult::Ok) << why;
    EXPECT_EQ(back.Objects.Count(), 250);
    EXPECT_EQ(back.Objects[249].X2, 249);
    ASSERT_EQ(back.Texts.Count(), 2);
    EXPECT_EQ(TextOf(back.Texts[0]).size(), 9'000'000u);
    EXPECT_EQ(PageCountOf(read), 4);
}

void* RefuseBlock(std::size_t) {
    return nullptr;
}

// A file that needs more memory than can be had is not called damaged.
TEST(DrawingFileOpen, MemoryRunningOutIsReportedAsSuch) {
    TTempDir dir;
    TDrawing drawing;
    drawing.Objects.Append()->Kind = okLine;
    std::string error;
    ASSERT_TRUE(
        WriteFileAtomically(dir.File("one.qrd"), SaveDrawing(drawing, TDrawingSettings{}), error));

    std::vector<std::string> reported;
    const auto oldReporter = SetOutOfMemoryReporter(
        [&reported](const std::string& message) { reported.push_back(message); });
    const auto oldAllocator = SetBlockAllocator(&RefuseBlock);
    TDrawing back;
    TDrawingSettings settings;
    std::string why;
    const TLoadResult result = LoadDrawingFile(dir.File("one.qrd"), back, settings, why);
    SetBlockAllocator(oldAllocator);
    SetOutOfMemoryReporter(oldReporter);

    EXPECT_EQ(result, TLoadResult::OutOfMemory);
    EXPECT_EQ(why, reason::OutOfMemory);
    EXPECT_EQ(EnglishReason(why), "not enough memory");
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "Error while trying to allocate 8800 bytes of RAM. Not enough memory.");
}

// The file stores each text's length: a U+0000 inside is text like any
// other, kept through open and save (and so is a zero byte in a font name).
TEST(DrawingFileOpen, TextHoldingZeroCharactersKeepsAllOfIt) {
    const std::u16string text(u"vor\0nach\0", 9);
    const std::string font("Ari\0al", 6);
    TDrawing drawing;
    drawing.AppendText(text, font)->Size = 10;
    const auto saved = SaveDrawing(drawing, TDrawingSettings{});

    TDrawing back;
    TDrawingSettings settings;
    LoadDrawing(saved, back, settings);
    ASSERT_EQ(back.Texts.Count(), 1);
    EXPECT_TRUE(TextOf(back.Texts[0]) == text);
    EXPECT_EQ(FontNameOf(back.Texts[0]), font);
    EXPECT_EQ(SaveDrawing(back, settings), saved) << "saving again changed the file";
}

// The window's page count box and every export read the stored page count
// alike: to the nearest page (halves to even), within 1 to 10, and values
// no int can hold give the nearest bound.
TEST(DrawingFileOpen, PageCountIsReadOneWayEverywhere) {
    struct TCase {
        double Stored;
        int Pages;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const TCase cases[] = {{2.6, 3},   {2.4, 2},       {2.5, 2},      {3.5, 4},   {0.4, 1},
                           {10.6, 10}, {2147483648.0, 10}, {4e9, 10}, {1e300, 10}, {-1e300, 1},
                           {-2147483649.0, 1}, {inf, 10},  {-inf, 1},     {std::nan(""), 1}};
    for (const TCase& c : cases) {
        TDrawingSettings s;
        s.PageCount = c.Stored;
        EXPECT_EQ(PageCountOf(s), c.Pages) << c.Stored;
    }
}

} // namespace
} // namespace quirindo::test
