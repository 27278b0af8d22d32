#pragma once
// The two records a drawing consists of, and the document that owns the two
// record stores. Geometry is in millimetres: x from the left paper edge, y from
// the top of the first page downwards through all pages.

#include "DynaArray.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quirindo {

enum TObjectKind : std::int32_t { okLine = 0, okArc = 1, okEllipse = 2, okBezier = 3 };

// Laid out like the 88-byte record of the drawing file; the two gaps are
// explicit so that a fresh record is all zeros and nothing is left undefined.
struct TDrawObject {
    std::int32_t Kind;
    std::int32_t Unused1;
    double Width; // pen width, mm
    double X1, Y1, X2, Y2, X3, Y3, X4, Y4;
    std::int32_t Color; // 0x00BBGGRR
    std::int32_t Unused2;
};
static_assert(sizeof(TDrawObject) == 88);

enum TFontStyleBits : std::uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

// In memory the record may be larger than its 56 bytes in the file (64-bit
// pointers); the file is written field by field, never from this layout.
struct TTextObject {
    double Left, Top, Right, Bottom; // mm; Right and Bottom as last painted
    char16_t* Text;                  // zero-terminated UTF-16, owned
    char* FontName;                  // zero-terminated Windows-1252, owned
    std::int32_t Size;               // points
    std::int32_t Color;              // 0x00BBGGRR
    std::uint8_t Charset;
    std::uint8_t Pitch; // 0 default, 1 variable, 2 fixed
    std::uint8_t Style; // TFontStyleBits
    // The lengths of the two buffers: a text read from a file may hold
    // U+0000 (and a name a zero byte), which must not end it early.
    std::size_t TextLength;
    std::size_t FontNameLength;
};

// A zero-filled heap block of 2n + 2 bytes holding the n code units.
char16_t* NewWideBuffer(std::u16string_view text);
// A zero-filled heap block of n + 1 bytes holding the n bytes of the name.
char* NewNameBuffer(std::string_view name);
void FreeTextBuffers(TTextObject& text);
// Gives the record fresh buffers for `text` and `fontName`, releasing the old
// ones; false (record unchanged) when memory ran out.
bool SetTextBuffers(TTextObject& record, std::u16string_view text, std::string_view fontName);
std::u16string_view TextOf(const TTextObject& text);
std::string_view FontNameOf(const TTextObject& text);

// The document: object store and text store with their cursor variables.
// Owns the two buffers of every text object.
class TDrawing {
public:
    TDrawing();
    ~TDrawing();
    TDrawing(const TDrawing&) = delete;
    TDrawing& operator=(const TDrawing&) = delete;

    // Releases every text's buffers and empties both stores.
    void Clear();

    // Removes text i after releasing its buffers; out of range does nothing.
    void DeleteText(std::int32_t i);

    // Appends a text with fresh buffers; nullptr when memory ran out.
    TTextObject* AppendText(std::u16string_view text, std::string_view fontName);

    TDrawObject* CurObject = nullptr;
    TTextObject* CurText = nullptr;
    TDynaArray<TDrawObject> Objects{&CurObject};
    TDynaArray<TTextObject> Texts{&CurText};
};

} // namespace quirindo
