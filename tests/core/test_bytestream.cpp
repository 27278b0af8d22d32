#include "ByteStream.h"
#include "Cp1252.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quirindo;

namespace {
using TBytes = std::vector<std::uint8_t>;
}

TEST(ByteStream, LengthPrefixedStringsHaveTheFileLayout) {
    TByteWriter w;
    WriteLenString(w, "");
    WriteLenString(w, "Caf\xE9\x80");
    WriteLenWideString(w, u"");
    WriteLenWideString(w, u"A\U0001D11E\u20AC"); // a surrogate pair counts as two units
    const TBytes expected = {0, 0, 0, 0,         // ""
                             5, 0, 0, 0, 'C', 'a', 'f',  0xE9, 0x80, // 8-bit bytes as given
                             0, 0, 0, 0,                             // u""
                             4, 0, 0, 0, 'A', 0,   0x34, 0xD8, 0x1E, 0xDD, 0xAC, 0x20};
    EXPECT_EQ(w.Bytes(), expected);

    TByteReader r(expected);
    EXPECT_EQ(ReadLenString(r), "");
    EXPECT_EQ(ReadLenString(r), "Caf\xE9\x80");
    EXPECT_TRUE(ReadLenWideString(r).empty());
    EXPECT_TRUE(ReadLenWideString(r) == u"A\U0001D11E\u20AC");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.Position(), expected.size());
}

TEST(ByteStream, ReaderRefusesLengthsAndReadsPastTheEnd) {
    const struct {
        const char* What;
        TBytes Bytes;
        bool Wide;
    } cases[] = {
        {"negative length", {0xFF, 0xFF, 0xFF, 0xFF}, false},
        {"negative wide length", {0xFE, 0xFF, 0xFF, 0xFF}, true},
        {"length past the end", {3, 0, 0, 0, 'a', 'b'}, false},
        {"huge length", {0xFF, 0xFF, 0xFF, 0x7F, 'a'}, false},
        {"wide length past the end", {2, 0, 0, 0, 'a', 0, 'b'}, true},
        {"huge wide length", {0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}, true},
        {"no room for the length", {1, 0, 0}, false},
    };
    for (const auto& c : cases) {
        TByteReader r(c.Bytes);
        if (c.Wide)
            EXPECT_THROW(ReadLenWideString(r), TReadError) << c.What;
        else
            EXPECT_THROW(ReadLenString(r), TReadError) << c.What;
    }

    const TBytes seven = {1, 2, 3, 4, 5, 6, 7};
    TByteReader r(seven);
    EXPECT_THROW(r.ReadDouble(), TReadError);
    EXPECT_EQ(r.ReadInt32(), 0x04030201);
    EXPECT_THROW(r.ReadInt32(), TReadError);
    EXPECT_THROW(r.Skip(4), TReadError);
    EXPECT_EQ(r.Remaining(), 3u);
    r.Skip(3);
    EXPECT_THROW(r.ReadByte(), TReadError);
}

TEST(Cp1252, DecodesTheWholeCodePage) {
    // The range where Windows-1252 differs from Latin-1, and both ends of it.
    EXPECT_TRUE(Utf16FromCp1252("\x80\x8A\x91\x93\x96\x99\x9C\x9F") ==
                u"\u20AC\u0160\u2018\u201C\u2013\u2122\u0153\u0178");
    // Bytes Windows leaves undefined pass through as the same code point.
    EXPECT_TRUE(Utf16FromCp1252("\x81\x8D\x8F\x90\x9D") == u"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_TRUE(Utf16FromCp1252(std::string("A\0\x7F\xA0\xE9\xFF", 6)) ==
                std::u16string(u"A\0\u007F\u00A0\u00E9\u00FF", 6));

    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::u16string text = Utf16FromCp1252(all);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(Cp1252FromUtf16(text), all); // every byte comes back unchanged
}

TEST(Cp1252, EncodesAndReplacesWhatHasNoByte) {
    EXPECT_EQ(Cp1252FromUtf16(u"\u20AC\u0178\u00E9Caf"), "\x80\x9F\xE9"
                                                         "Caf");
    EXPECT_EQ(Cp1252FromUtf16(u""), "");
    // Greek, Cyrillic and CJK have no byte; a surrogate pair is one character.
    EXPECT_EQ(Cp1252FromUtf16(u"Ω\u0416日"), "???");
    EXPECT_EQ(Cp1252FromUtf16(u"a\U0001F600b"), "a?b");
    // Lone surrogates each give one '?' and never swallow a neighbour.
    EXPECT_EQ(Cp1252FromUtf16(std::u16string{u'a', 0xD800, u'b'}), "a?b");
    EXPECT_EQ(Cp1252FromUtf16(std::u16string{0xDC00, 0xD800}), "??");
    EXPECT_EQ(Cp1252FromUtf16(std::u16string{u'x', 0xD83D}), "x?");
}
