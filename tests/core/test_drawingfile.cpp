#include "DrawingFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace quirindo;

namespace {

using TBytes = std::vector<std::uint8_t>;

// A little-endian encoder and decoder of the test's own, so that the expected
// bytes do not come from the code under test.
struct TLe {
    TBytes B;
    TLe& I32(std::int32_t v) {
        std::uint32_t u;
        std::memcpy(&u, &v, 4);
        for (int i = 0; i < 4; ++i)
            B.push_back(static_cast<std::uint8_t>((u >> (8 * i)) & 0xFF));
        return *this;
    }
    TLe& F64(double v) {
        std::uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            B.push_back(static_cast<std::uint8_t>((u >> (8 * i)) & 0xFF));
        return *this;
    }
    TLe& U8(std::uint8_t v) {
        B.push_back(v);
        return *this;
    }
};

std::int32_t I32At(const TBytes& b, std::size_t at) {
    std::uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | b.at(at + i);
    std::int32_t v;
    std::memcpy(&v, &u, 4);
    return v;
}

double F64At(const TBytes& b, std::size_t at) {
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i)
        u = (u << 8) | b.at(at + i);
    double v;
    std::memcpy(&v, &u, 8);
    return v;
}

void PutI32(TBytes& b, std::size_t at, std::int32_t v) {
    TLe le;
    le.I32(v);
    std::memcpy(&b.at(at), le.B.data(), 4);
}

void PutF64(TBytes& b, std::size_t at, double v) {
    TLe le;
    le.F64(v);
    std::memcpy(&b.at(at), le.B.data(), 8);
}

TDrawObject MakeObject(TObjectKind kind, double base) {
    TDrawObject o{};
    o.Kind = kind;
    o.Width = 0.25 + base;
    double* points[] = {&o.X1, &o.Y1, &o.X2, &o.Y2, &o.X3, &o.Y3, &o.X4, &o.Y4};
    for (int i = 0; i < 8; ++i)
        *points[i] = base + 1.125 * (i + 1) - (i % 3 == 0 ? 300.0 : 0.0);
    o.Color = 0x00123456 + static_cast<std::int32_t>(base);
    return o;
}

const std::u16string kMultiLine = u"Ωμέγα\r\nЖ 日本";

// One object of each kind and two texts, the first multi-line, the second empty.
void FillSample(TDrawing& d) {
    const TObjectKind kinds[] = {okLine, okArc, okEllipse, okBezier};
    for (int i = 0; i < 4; ++i)
        *d.Objects.Append() = MakeObject(kinds[i], 10.0 * i);
    TTextObject* t = d.AppendText(kMultiLine, "Caf\xE9");
    t->Left = 12.5;
    t->Top = 310.75;
    t->Right = 80.25;
    t->Bottom = 330.5;
    t->Size = 14;
    t->Color = 0x000000FF;
    t->Charset = 204;
    t->Pitch = 2;
    t->Style = fsBold | fsItalic | fsStrikeOut;
    t = d.AppendText(u"", "Arial");
    t->Left = 1.0;
    t->Top = 2.0;
    t->Size = 8;
    t->Charset = 0;
    t->Pitch = 1;
    t->Style = fsUnderline;
}

TDrawingSettings OtherSettings() {
    TDrawingSettings s;
    s.LinX = 11.5, s.LinY = -3.25, s.LinW = 370.0, s.WinkX = 60.0, s.WinkY = 70.0, s.WinkW = -45;
    s.ZirkX = 5.5, s.ZirkY = 6.5, s.ZirkS = 12.0, s.Zoom = 150, s.LineWidth = 0.35;
    s.PenColor = 0x0000FF00;
    s.PanelShown = true, s.RulerVisible = false, s.ProtractorVisible = true;
    s.CompassVisible = false;
    s.EraserWidth = 4.5, s.PageWidthInch = 8.5, s.PageHeightInch = 11.0, s.PageCount = 3.0;
    return s;
}

// Offsets into the sample file.
constexpr std::size_t kFirstObject = 4;
constexpr std::size_t kTextCount = kFirstObject + 4 * 88;
constexpr std::size_t kFirstText = kTextCount + 4;

TBytes SampleFile() {
    TDrawing d;
    FillSample(d);
    return SaveDrawing(d, OtherSettings());
}

} // namespace

TEST(DrawingFile, EmptyDrawingWithDefaultsIsTheExact136Bytes) {
    TLe e;
    e.I32(0).I32(0);
    for (double v : {10.0, 90.0, 0.0, 50.0, 50.0, 0.0, 150.0, 50.0, 40.0, 100.0, 0.1})
        e.F64(v);
    e.I32(0).U8(0).U8(1).U8(1).U8(1);
    for (double v : {2.0, 210 / 25.39995, 297 / 25.39995, 1.0})
        e.F64(v);
    ASSERT_EQ(e.B.size(), 136u);

    TDrawing d;
    EXPECT_EQ(SaveDrawing(d, TDrawingSettings{}), e.B);
}

TEST(DrawingFile, RoundTripRestoresEveryFieldAtTheDocumentedOffsets) {
    TDrawing original;
    FillSample(original);
    const TDrawingSettings saved = OtherSettings();
    const TBytes bytes = SaveDrawing(original, saved);
    EXPECT_EQ(original.CurObject, original.Objects.Data() + 3); // last record current
    EXPECT_EQ(original.CurText, original.Texts.Data() + 1);

    // The arc's record, field by field.
    const std::size_t arc = kFirstObject + 88;
    const TDrawObject& a = original.Objects[1];
    EXPECT_EQ(I32At(bytes, 0), 4);
    EXPECT_EQ(I32At(bytes, arc), okArc);
    EXPECT_EQ(F64At(bytes, arc + 8), a.Width);
    const double points[] = {a.X1, a.Y1, a.X2, a.Y2, a.X3, a.Y3, a.X4, a.Y4};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(F64At(bytes, arc + 16 + 8 * i), points[i]) << i;
    EXPECT_EQ(I32At(bytes, arc + 80), a.Color);

    // The first text: record, UTF-16LE text, Windows-1252 font name.
    const std::size_t t = kFirstText;
    EXPECT_EQ(I32At(bytes, kTextCount), 2);
    EXPECT_EQ(F64At(bytes, t + 0), 12.5);
    EXPECT_EQ(F64At(bytes, t + 8), 310.75);
    EXPECT_EQ(F64At(bytes, t + 16), 80.25);
    EXPECT_EQ(F64At(bytes, t + 24), 330.5);
    EXPECT_EQ(I32At(bytes, t + 40), 14);
    EXPECT_EQ(I32At(bytes, t + 44), 0xFF);
    EXPECT_EQ(bytes[t + 48], 204);
    EXPECT_EQ(bytes[t + 49], 2);
    EXPECT_EQ(bytes[t + 50], fsBold | fsItalic | fsStrikeOut);
    const std::size_t n = kMultiLine.size();
    ASSERT_EQ(I32At(bytes, t + 56), static_cast<std::int32_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned unit = bytes[t + 60 + 2 * i] | (bytes[t + 61 + 2 * i] << 8);
        ASSERT_EQ(unit, static_cast<unsigned>(kMultiLine[i])) << i;
    }
    const std::size_t name = t + 60 + 2 * n;
    EXPECT_EQ(I32At(bytes, name), 4);
    EXPECT_EQ(TBytes(bytes.begin() + name + 4, bytes.begin() + name + 8),
              (TBytes{'C', 'a', 'f', 0xE9}));
    // Then the second text: empty text, then "Arial".
    EXPECT_EQ(I32At(bytes, name + 8 + 56), 0);
    EXPECT_EQ(I32At(bytes, name + 8 + 60), 5);
    EXPECT_EQ(bytes.size(), name + 8 + 64 + 5 + 96 + 32);

    TDrawing loaded;
    TDrawingSettings s;
    s.HasTail = false;
    LoadDrawing(bytes, loaded, s);
    ASSERT_EQ(loaded.Objects.Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::memcmp(&loaded.Objects[i], &original.Objects[i], sizeof(TDrawObject)), 0)
            << "object " << i;
    ASSERT_EQ(loaded.Texts.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        const TTextObject& x = loaded.Texts[i];
        const TTextObject& y = original.Texts[i];
        EXPECT_EQ(x.Left, y.Left);
        EXPECT_EQ(x.Top, y.Top);
        EXPECT_EQ(x.Right, y.Right);
        EXPECT_EQ(x.Bottom, y.Bottom);
        EXPECT_EQ(x.Size, y.Size);
        EXPECT_EQ(x.Color, y.Color);
        EXPECT_EQ(x.Charset, y.Charset);
        EXPECT_EQ(x.Pitch, y.Pitch);
        EXPECT_EQ(x.Style, y.Style);
        EXPECT_TRUE(TextOf(x) == TextOf(y)) << "text " << i;
        EXPECT_EQ(FontNameOf(x), FontNameOf(y));
        ASSERT_NE(x.Text, nullptr);
        ASSERT_NE(x.FontName, nullptr);
        EXPECT_NE(x.Text, y.Text); // fresh buffers of its own
        EXPECT_NE(x.FontName, y.FontName);
    }
    EXPECT_EQ(loaded.Texts[1].Text[0], u'\0');
    EXPECT_EQ(FontNameOf(loaded.Texts[0]), "Caf\xE9");

    // The settings, in the order the empty-drawing test pins down.
    EXPECT_TRUE(s.HasTail);
    TDrawing none;
    EXPECT_EQ(SaveDrawing(none, s), SaveDrawing(none, saved));

    // Saving what was loaded gives the same file again.
    EXPECT_EQ(SaveDrawing(loaded, s), bytes);
}

TEST(DrawingFile, FileWithoutTailKeepsTheSettingsItDoesNotHold) {
    TBytes bytes = SampleFile();
    bytes.resize(bytes.size() - 32);
    TDrawing d;
    TDrawingSettings s;
    s.EraserWidth = 7.0, s.PageWidthInch = 5.0, s.PageHeightInch = 6.0, s.PageCount = 9.0;
    LoadDrawing(bytes, d, s);
    EXPECT_FALSE(s.HasTail);
    EXPECT_EQ(s.EraserWidth, 7.0);
    EXPECT_EQ(s.PageWidthInch, 5.0);
    EXPECT_EQ(s.PageHeightInch, 6.0);
    EXPECT_EQ(s.PageCount, 9.0);
    EXPECT_EQ(s.LinY, -3.25); // the trailer was read
    EXPECT_FALSE(s.CompassVisible);
    EXPECT_EQ(d.Objects.Count(), 4);
    EXPECT_EQ(d.Texts.Count(), 2);
}

TEST(DrawingFile, RedPenColourRoundTrips) {
    TDrawing d;
    TDrawingSettings s;
    s.PenColor = 0x000000FF;
    const TBytes bytes = SaveDrawing(d, s);
    EXPECT_EQ(TBytes(bytes.begin() + 96, bytes.begin() + 100), (TBytes{0xFF, 0, 0, 0}));
    TDrawingSettings back;
    LoadDrawing(bytes, d, back);
    EXPECT_EQ(back.PenColor, 0x000000FF);
}

TEST(DrawingFile, EveryKindOfDamageIsRefused) {
    const TBytes good = SampleFile();
    const std::size_t size = good.size();
    const std::size_t trailer = size - 128;
    const std::size_t textLen = kFirstText + 56;
    const std::size_t nameLen = textLen + 4 + 2 * kMultiLine.size();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    auto truncated = [&](std::size_t n) { return TBytes(good.begin(), good.begin() + n); };
    auto withI32 = [&](std::size_t at, std::int32_t v) {
        TBytes b = good;
        PutI32(b, at, v);
        return b;
    };
    auto withF64 = [&](std::size_t at, double v) {
        TBytes b = good;
        PutF64(b, at, v);
        return b;
    };

    struct TCase {
        const char* What;
        TBytes Bytes;
    };
    std::vector<TCase> cases = {
        {"empty file", {}},
        {"file shorter than a count", truncated(3)},
        {"negative object count", withI32(0, -1)},
        {"object count far beyond the file", withI32(0, 0x7FFFFFFF)},
        {"object count one too many", withI32(0, 5)},
        {"negative text count", withI32(kTextCount, -2)},
        {"text count far beyond the file", withI32(kTextCount, 0x7FFFFFFF)},
        {"text count one too many", withI32(kTextCount, 3)},
        {"end inside an object record", truncated(kFirstObject + 88 + 40)},
        {"end inside a text record", truncated(kFirstText + 30)},
        {"end inside a text string", truncated(textLen + 4 + 3)},
        {"end inside a font name", truncated(nameLen + 4 + 2)},
        {"negative text length", withI32(textLen, -1)},
        {"negative font-name length", withI32(nameLen, INT32_MIN)},
        {"text length past the end", withI32(textLen, 0x7FFFFFFF)},
        {"font-name length past the end", withI32(nameLen, static_cast<std::int32_t>(size))},
        {"end inside the trailer", truncated(trailer + 50)},
        {"end right after the texts", truncated(trailer)},
        {"NaN coordinate", withF64(kFirstObject + 88 + 24, nan)},
        {"infinite width", withF64(kFirstObject + 8, -inf)},
        {"NaN text position", withF64(kFirstText, nan)},
        {"infinite zoom", withF64(trailer + 72, inf)},
        {"NaN ruler angle", withF64(trailer + 16, nan)},
        {"infinite eraser width", withF64(trailer + 96, inf)},
        {"NaN page count", withF64(trailer + 96 + 24, nan)},
        {"zero page width", withF64(trailer + 96 + 8, 0.0)},
        {"negative page height", withF64(trailer + 96 + 16, -11.0)},
        {"absurd page height", withF64(trailer + 96 + 16, 1e12)},
    };
    for (std::size_t cut = 1; cut < 32; ++cut)
        cases.push_back({"end inside the tail", truncated(size - 32 + cut)});

    for (const TCase& c : cases) {
        TDrawing d;
        TDrawingSettings s;
        s.LinX = 123.0;
        s.PageCount = 4.0;
        EXPECT_THROW(LoadDrawing(c.Bytes, d, s), TReadError) << c.What << ", " << c.Bytes.size();
        // The settings are taken over only from a file read completely.
        EXPECT_EQ(s.LinX, 123.0) << c.What;
        EXPECT_EQ(s.PageCount, 4.0) << c.What;
    }
}

TEST(DrawingFile, RandomlyDamagedFilesLoadOrThrowReadError) {
    const TBytes good = SampleFile();
    std::mt19937 rng(20240611);
    auto below = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    const std::int32_t interesting[] = {-1, 0, 1, 0x7FFFFFFF, INT32_MIN, 0x10000, 88, 64};
    int loaded = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        TBytes b = good;
        switch (round % 3) {
        case 0:
            for (std::size_t k = 1 + below(4); k > 0; --k)
                b[below(b.size())] ^= static_cast<std::uint8_t>(1u << below(8));
            break;
        case 1:
            b.resize(below(b.size()));
            break;
        default:
            PutI32(b, below(b.size() - 3),
                   below(2) ? interesting[below(std::size(interesting))]
                            : static_cast<std::int32_t>(rng()));
            break;
        }
        TDrawing d;
        TDrawingSettings s;
        try {
            LoadDrawing(b, d, s);
            ++loaded;
            // Whatever was accepted must save into a file that loads again.
            TDrawing again;
            TDrawingSettings s2;
            EXPECT_NO_THROW(LoadDrawing(SaveDrawing(d, s), again, s2)) << "round " << round;
        } catch (const TReadError&) {
            ++refused;
        }
    }
    EXPECT_GT(loaded, 100);
    EXPECT_GT(refused, 100);
}

TEST(Drawing, TextBuffersAreOwnedMadeAndReleased) {
    TDrawing d;
    TTextObject* t = d.AppendText(u"ab\nΩ", "Arial");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(d.CurText, t);
    ASSERT_NE(t->Text, nullptr);
    const char16_t expected[] = u"ab\nΩ";
    EXPECT_EQ(std::memcmp(t->Text, expected, sizeof expected), 0); // includes the terminator
    EXPECT_EQ(std::memcmp(t->FontName, "Arial", 6), 0);
    t->Size = 20;
    t->Style = fsBold;

    TTextObject* empty = d.AppendText(u"", "");
    ASSERT_NE(empty, nullptr);
    ASSERT_NE(empty->Text, nullptr);
    ASSERT_NE(empty->FontName, nullptr);
    EXPECT_EQ(empty->Text[0], u'\0');
    EXPECT_EQ(empty->FontName[0], '\0');
    empty->Size = 99;
    empty->Style = fsItalic;

    d.DeleteText(-1);
    d.DeleteText(2);
    EXPECT_EQ(d.Texts.Count(), 2);
    d.DeleteText(0);
    EXPECT_EQ(d.Texts.Count(), 1);
    EXPECT_EQ(d.CurText, nullptr);
    EXPECT_EQ(d.Texts[0].Size, 99);

    // The vacated slot still holds the old record's bytes; a new text must not
    // inherit its fields or its released buffers.
    TTextObject* fresh = d.AppendText(u"x", "Courier");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->Size, 0);
    EXPECT_EQ(fresh->Style, 0);
    EXPECT_TRUE(TextOf(*fresh) == u"x");
    EXPECT_EQ(FontNameOf(*fresh), "Courier");

    *d.Objects.Append() = MakeObject(okLine, 1.0);
    d.Clear();
    EXPECT_EQ(d.Texts.Count(), 0);
    EXPECT_EQ(d.Objects.Count(), 0);
    EXPECT_EQ(d.CurText, nullptr);
    EXPECT_EQ(d.CurObject, nullptr);
    // Left over buffers would show up as leaks in the sanitizer build.
    d.AppendText(u"kept until the destructor", "Arial");
}

TEST(DrawingFile, LargeDrawingsReopenEqualAcrossBlockBoundaries) {
    std::mt19937 random(15);
    std::uniform_real_distribution<double> mm(-500.0, 5000.0);
    for (int n : {0, 1, 99, 100, 101, 250000}) {
        TDrawing original;
        // Appending 250,000 records one by one would copy the block 2,500 times.
        ASSERT_TRUE(original.Objects.Resize(n));
        for (int i = 0; i < n; ++i) {
            TDrawObject* o = &original.Objects[i];
            o->Kind = i % 4;
            o->Unused1 = i;
            o->Width = 0.01 * (i % 500);
            for (double* v : {&o->X1, &o->Y1, &o->X2, &o->Y2, &o->X3, &o->Y3, &o->X4, &o->Y4})
                *v = mm(random);
            o->Color = static_cast<std::int32_t>(random() & 0xFFFFFF);
            o->Unused2 = -i;
        }
        const int texts = n % 1000; // 0, 1, 99, 100, 101 texts, then 0 again
        for (int i = 0; i < texts; ++i) {
            const std::u16string text(static_cast<std::size_t>(i % 7), char16_t(u'a' + i % 26));
            TTextObject* t = original.AppendText(text, std::string(1 + i % 3, 'F'));
            ASSERT_NE(t, nullptr);
            t->Left = mm(random);
            t->Top = mm(random);
            t->Size = 8 + i % 20;
        }
        const TDrawingSettings settings = OtherSettings();
        const TBytes bytes = SaveDrawing(original, settings);

        TDrawing loaded;
        TDrawingSettings s;
        LoadDrawing(bytes, loaded, s);
        ASSERT_EQ(loaded.Objects.Count(), n);
        ASSERT_EQ(loaded.Texts.Count(), texts);
        // Each store holds whole blocks of 100 records, as appending leaves it.
        EXPECT_EQ(loaded.Objects.Capacity(), static_cast<std::size_t>((n + 99) / 100 * 100)) << n;
        EXPECT_EQ(loaded.Texts.Capacity(), static_cast<std::size_t>((texts + 99) / 100 * 100));
        EXPECT_EQ(loaded.Objects.Capacity(), original.Objects.Capacity());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(std::memcmp(&loaded.Objects[i], &original.Objects[i], sizeof(TDrawObject)), 0)
                << "object " << i << " of " << n;
        for (int i = 0; i < texts; ++i) {
            ASSERT_TRUE(TextOf(loaded.Texts[i]) == TextOf(original.Texts[i])) << i;
            ASSERT_EQ(FontNameOf(loaded.Texts[i]), FontNameOf(original.Texts[i])) << i;
            ASSERT_EQ(loaded.Texts[i].Left, original.Texts[i].Left) << i;
            ASSERT_EQ(loaded.Texts[i].Size, original.Texts[i].Size) << i;
        }
        // As after a record-by-record read, the last record of each store is current.
        EXPECT_EQ(loaded.CurObject, n ? loaded.Objects.Data() + n - 1 : nullptr);
        EXPECT_EQ(loaded.CurText, texts ? loaded.Texts.Data() + texts - 1 : nullptr);
        EXPECT_EQ(SaveDrawing(loaded, s), bytes) << n;
    }
}
