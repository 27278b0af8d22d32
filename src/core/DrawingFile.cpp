#include "DrawingFile.h"

#include "ByteStream.h"
#include "FileIO.h"

#include <algorithm>

#include <cmath>
#include <string>

namespace quirindo {
namespace {

constexpr std::size_t kPointerBytes = 8; // two 4-byte pointers, meaningless in the file
constexpr std::size_t kTextTailGap = 5;  // unused bytes at the end of a text record
constexpr std::size_t kSmallestTextItem = kTextRecordBytes + 4 + 4;
// No paper is 25 m long; larger values only come from damaged files.
constexpr double kMaxPageInch = 1000.0;

void WriteObject(TByteWriter& w, const TDrawObject& o) {
    w.WriteInt32(o.Kind);
    w.WriteInt32(o.Unused1);
    for (double v : {o.Width, o.X1, o.Y1, o.X2, o.Y2, o.X3, o.Y3, o.X4, o.Y4})
        w.WriteDouble(v);
    w.WriteInt32(o.Color);
    w.WriteInt32(o.Unused2);
}

void WriteText(TByteWriter& w, const TTextObject& t) {
    for (double v : {t.Left, t.Top, t.Right, t.Bottom})
        w.WriteDouble(v);
    w.WriteZeros(kPointerBytes);
    w.WriteInt32(t.Size);
    w.WriteInt32(t.Color);
    w.WriteByte(t.Charset);
    w.WriteByte(t.Pitch);
    w.WriteByte(t.Style);
    w.WriteZeros(kTextTailGap);
    WriteLenWideString(w, std::u16string(TextOf(t)));
    WriteLenString(w, std::string(FontNameOf(t)));
}

double ReadFinite(TByteReader& r) {
    const double v = r.ReadDouble();
    if (!std::isfinite(v)) throw TReadError("invalid number");
    return v;
}

void ReadObject(TByteReader& r, TDrawObject& o) {
    o.Kind = r.ReadInt32();
    o.Unused1 = r.ReadInt32();
    for (double* v : {&o.Width, &o.X1, &o.Y1, &o.X2, &o.Y2, &o.X3, &o.Y3, &o.X4, &o.Y4})
        *v = ReadFinite(r);
    o.Color = r.ReadInt32();
    o.Unused2 = r.ReadInt32();
}

std::int32_t ReadCount(TByteReader& r, std::size_t smallestItem, const char* what) {
    const std::int32_t n = r.ReadInt32();
    if (n < 0) throw TReadError(std::string("negative ") + what + " count");
    // Never allocate more than the rest of the file can hold.
    if (static_cast<std::size_t>(n) > r.Remaining() / smallestItem)
        throw TReadError(std::string(what) + " count larger than the file");
    return n;
}

void ReadText(TByteReader& r, TDrawing& drawing) {
    TTextObject t{};
    t.Left = ReadFinite(r);
    t.Top = ReadFinite(r);
    t.Right = ReadFinite(r);
    t.Bottom = ReadFinite(r);
    r.Skip(kPointerBytes);
    t.Size = r.ReadInt32();
    t.Color = r.ReadInt32();
    t.Charset = r.ReadByte();
    t.Pitch = r.ReadByte();
    t.Style = r.ReadByte();
    r.Skip(kTextTailGap);
    const std::u16string text = ReadLenWideString(r);
    const std::string fontName = ReadLenString(r);
    TTextObject* record = drawing.AppendText(text, fontName);
    if (!record || !record->Text || !record->FontName) throw TReadError("out of memory");
    t.Text = record->Text;
    t.FontName = record->FontName;
    *record = t;
}

} // namespace

std::vector<std::uint8_t> SaveDrawing(TDrawing& drawing, const TDrawingSettings& s) {
    TByteWriter w;
    w.WriteInt32(drawing.Objects.Count());
    for (std::int32_t i = 0; i < drawing.Objects.Count(); ++i)
        WriteObject(w, *drawing.Objects.Select(i));
    w.WriteInt32(drawing.Texts.Count());
    for (std::int32_t i = 0; i < drawing.Texts.Count(); ++i)
        WriteText(w, *drawing.Texts.Select(i));
    for (double v : {s.LinX, s.LinY, s.LinW, s.WinkX, s.WinkY, s.WinkW, s.ZirkX, s.ZirkY, s.ZirkS,
                     s.Zoom, s.LineWidth})
        w.WriteDouble(v);
    w.WriteInt32(s.PenColor);
    for (bool b : {s.PanelShown, s.RulerVisible, s.ProtractorVisible, s.CompassVisible})
        w.WriteByte(b ? 1 : 0);
    for (double v : {s.EraserWidth, s.PageWidthInch, s.PageHeightInch, s.PageCount})
        w.WriteDouble(v);
    return w.Take();
}

void LoadDrawing(std::span<const std::uint8_t> bytes, TDrawing& drawing, TDrawingSettings& s) {
    TByteReader r(bytes);
    const std::int32_t n = ReadCount(r, kObjectRecordBytes, "object");
    for (std::int32_t i = 0; i < n; ++i) {
        TDrawObject o{};
        ReadObject(r, o);
        TDrawObject* record = drawing.Objects.Append();
        if (!record) throw TReadError("out of memory");
        *record = o;
    }
    const std::int32_t t = ReadCount(r, kSmallestTextItem, "text");
    for (std::int32_t i = 0; i < t; ++i)
        ReadText(r, drawing);

    TDrawingSettings read = s;
    for (double* v : {&read.LinX, &read.LinY, &read.LinW, &read.WinkX, &read.WinkY, &read.WinkW,
                      &read.ZirkX, &read.ZirkY, &read.ZirkS, &read.Zoom, &read.LineWidth})
        *v = ReadFinite(r);
    read.PenColor = r.ReadInt32();
    for (bool* b :
         {&read.PanelShown, &read.RulerVisible, &read.ProtractorVisible, &read.CompassVisible})
        *b = r.ReadByte() != 0;
    read.HasTail = !r.AtEnd();
    if (read.HasTail) {
        read.EraserWidth = ReadFinite(r);
        read.PageWidthInch = ReadFinite(r);
        read.PageHeightInch = ReadFinite(r);
        read.PageCount = ReadFinite(r);
        if (!(read.PageWidthInch > 0 && read.PageWidthInch <= kMaxPageInch &&
              read.PageHeightInch > 0 && read.PageHeightInch <= kMaxPageInch))
            throw TReadError("invalid page size");
    }
    s = read;
}

TLoadResult LoadDrawingFile(const std::string& path, TDrawing& drawing, TDrawingSettings& settings,
                            std::string& reason) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, reason)) return TLoadResult::CannotRead;
    try {
        LoadDrawing(bytes, drawing, settings);
    } catch (const TReadError& damage) {
        reason = damage.what();
        return TLoadResult::Damaged;
    }
    return TLoadResult::Ok;
}

int PageCountOf(const TDrawingSettings& settings) {
    return std::clamp(static_cast<int>(std::trunc(settings.PageCount)), 1, 10);
}

} // namespace quirindo
