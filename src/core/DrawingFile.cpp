#include "DrawingFile.h"

#include "ByteStream.h"
#include "Geometry.h"
#include "Messages.h"
#include "ReadOnlyFile.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <new>
#include <string>

namespace quirindo {
namespace {

constexpr std::size_t kPointerBytes = 8; // two 4-byte pointers, meaningless in the file
constexpr std::size_t kTextTailGap = 5;  // unused bytes at the end of a text record
constexpr std::size_t kSmallestTextItem = kTextRecordBytes + 4 + 4;
// No paper is 25 m long; larger values only come from damaged files.
constexpr double kMaxPageInch = 1000.0;

// Records are encoded straight into the file buffer, a whole store in one
// pass; the byte-by-byte forms compile to plain loads and stores.
void Put32(std::uint8_t*& p, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) *p++ = static_cast<std::uint8_t>(u >> (8 * i));
}

void Put64(std::uint8_t*& p, double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) *p++ = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t Get32(const std::uint8_t*& p) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(*p++) << (8 * i);
    return static_cast<std::int32_t>(u);
}

double Get64(const std::uint8_t*& p) {
    std::uint64_t u = 0;
    for (int i = 0; i < 8; ++i) u |= static_cast<std::uint64_t>(*p++) << (8 * i);
    return std::bit_cast<double>(u);
}

void EncodeObject(std::uint8_t*& p, const TDrawObject& o) {
    Put32(p, o.Kind);
    Put32(p, o.Unused1);
    for (double v : {o.Width, o.X1, o.Y1, o.X2, o.Y2, o.X3, o.Y3, o.X4, o.Y4}) Put64(p, v);
    Put32(p, o.Color);
    Put32(p, o.Unused2);
}

// False when a coordinate or the width is no finite number.
bool DecodeObject(const std::uint8_t*& p, TDrawObject& o) {
    o.Kind = Get32(p);
    o.Unused1 = Get32(p);
    bool finite = true;
    for (double* v : {&o.Width, &o.X1, &o.Y1, &o.X2, &o.Y2, &o.X3, &o.Y3, &o.X4, &o.Y4}) {
        *v = Get64(p);
        finite &= std::isfinite(*v);
    }
    o.Color = Get32(p);
    o.Unused2 = Get32(p);
    return finite;
}

std::size_t TextItemBytes(const TTextObject& t) {
    return kTextRecordBytes + 4 + 2 * std::size_t(t.TextLength) + 4 + std::size_t(t.FontNameLength);
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
    if (!std::isfinite(v)) throw TReadError(reason::InvalidNumber);
    return v;
}

struct TCountReasons {
    const char* Negative;
    const char* TooLarge;
};
constexpr TCountReasons kObjectCount{reason::NegativeObjectCount, reason::ObjectCountTooLarge};
constexpr TCountReasons kTextCount{reason::NegativeTextCount, reason::TextCountTooLarge};

// A count of items of at least `smallestItem` bytes each that `remaining`
// bytes must hold.
void CheckCount(std::int32_t n, std::uint64_t remaining, std::size_t smallestItem,
                const TCountReasons& reasons) {
    if (n < 0) throw TReadError(reasons.Negative);
    // Never allocate more than the rest of the file can hold.
    if (static_cast<std::uint64_t>(n) > remaining / smallestItem) throw TReadError(reasons.TooLarge);
}

std::int32_t ReadCount(TByteReader& r, std::size_t smallestItem, const TCountReasons& reasons) {
    const std::int32_t n = r.ReadInt32();
    CheckCount(n, r.Remaining(), smallestItem, reasons);
    return n;
}

// Fills a zeroed record of the text store in place.
void ReadText(TByteReader& r, TTextObject& t) {
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
    if (!SetTextBuffers(t, text, fontName)) throw TOutOfMemoryError();
}

} // namespace

std::vector<std::uint8_t> SaveDrawing(TDrawing& drawing, const TDrawingSettings& settings) {
    const std::int32_t objects = drawing.Objects.Count();
    const std::int32_t texts = drawing.Texts.Count();
    std::vector<std::uint8_t> bytes = SaveDrawingRecords(
        {drawing.Objects.Data(), static_cast<std::size_t>(objects)},
        {drawing.Texts.Data(), static_cast<std::size_t>(texts)}, settings);
    if (objects > 0) drawing.Objects.Select(objects - 1);
    if (texts > 0) drawing.Texts.Select(texts - 1);
    return bytes;
}

std::vector<std::uint8_t> SaveDrawingRecords(std::span<const TDrawObject> objects,
                                             std::span<const TTextObject> texts,
                                             const TDrawingSettings& s) {
    // Sized once and the object records encoded in one pass: saving a large
    // drawing costs what its bytes cost.
    std::size_t size = 4 + objects.size() * kObjectRecordBytes + 4 + kTrailerBytes + kTailBytes;
    for (const TTextObject& t : texts) size += TextItemBytes(t);
    TByteWriter w;
    w.Reserve(size);
    w.WriteInt32(static_cast<std::int32_t>(objects.size()));
    std::uint8_t* p = w.Extend(objects.size() * kObjectRecordBytes);
    for (const TDrawObject& o : objects) EncodeObject(p, o);
    w.WriteInt32(static_cast<std::int32_t>(texts.size()));
    for (const TTextObject& t : texts)
        WriteText(w, t);
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
    // Each store is sized once from its checked count and filled in place.
    const std::int32_t n = ReadCount(r, kObjectRecordBytes, kObjectCount);
    const std::int32_t firstObject = drawing.Objects.Count();
    if (n > INT32_MAX - firstObject || !drawing.Objects.Resize(firstObject + n))
        throw TOutOfMemoryError();
    const std::uint8_t* p = r.Take(std::size_t(n) * kObjectRecordBytes);
    for (std::int32_t i = 0; i < n; ++i) {
        if (!DecodeObject(p, drawing.Objects[firstObject + i]))
            throw TReadError(reason::InvalidNumber);
    }
    const std::int32_t t = ReadCount(r, kSmallestTextItem, kTextCount);
    const std::int32_t firstText = drawing.Texts.Count();
    if (t > INT32_MAX - firstText || !drawing.Texts.Resize(firstText + t))
        throw TOutOfMemoryError();
    for (std::int32_t i = 0; i < t; ++i)
        ReadText(r, drawing.Texts[firstText + i]);

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
            throw TReadError(reason::InvalidPageSize);
    }
    s = read;
}

namespace {

// Files up to this size are read whole at once; larger ones are judged by
// their headers first.
constexpr std::uint64_t kReadAtOnce = std::uint64_t(16) << 20;
// Bytes after the tail that a large file may carry before it counts as far
// larger than its contents (the reader itself ignores them).
constexpr std::uint64_t kTrailingSlack = std::uint64_t(1) << 20;

std::int32_t Int32At(TReadOnlyFile& file, std::uint64_t offset) {
    std::uint8_t b[4];
    if (!file.ReadAt(offset, b, sizeof b)) throw TReadError(file.Error());
    const std::uint32_t u = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) |
                            (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24);
    return static_cast<std::int32_t>(u);
}

// Walks the counts and string lengths of the file without reading the
// records and refuses a file whose size they cannot account for.
void CheckSizeAgainstContents(TReadOnlyFile& file) {
    const std::uint64_t size = file.Size();
    auto remaining = [size](std::uint64_t pos) { return pos < size ? size - pos : 0; };
    std::uint64_t pos = 0;
    const std::int32_t n = Int32At(file, pos);
    pos += 4;
    CheckCount(n, remaining(pos), kObjectRecordBytes, kObjectCount);
    pos += static_cast<std::uint64_t>(n) * kObjectRecordBytes;
    const std::int32_t t = Int32At(file, pos);
    pos += 4;
    CheckCount(t, remaining(pos), kSmallestTextItem, kTextCount);
    for (std::int32_t i = 0; i < t; ++i) {
        pos += kTextRecordBytes;
        const std::int32_t units = Int32At(file, pos);
        pos += 4;
        if (units < 0) throw TReadError(reason::NegativeTextLength);
        if (static_cast<std::uint64_t>(units) > remaining(pos) / 2)
            throw TReadError(reason::TextPastEnd);
        pos += static_cast<std::uint64_t>(units) * 2;
        const std::int32_t bytes = Int32At(file, pos);
        pos += 4;
        if (bytes < 0) throw TReadError(reason::NegativeStringLength);
        if (static_cast<std::uint64_t>(bytes) > remaining(pos)) throw TReadError(reason::StringPastEnd);
        pos += static_cast<std::uint64_t>(bytes);
    }
    const std::uint64_t end = pos + kTrailerBytes + kTailBytes;
    if (size > end + kTrailingSlack) throw TReadError(reason::FarTooLarge);
}

} // namespace

TLoadResult LoadDrawingFile(const std::string& path, TDrawing& drawing, TDrawingSettings& settings,
                            std::string& why) {
    TReadOnlyFile file;
    if (!file.Open(path)) {
        why = file.Error();
        return TLoadResult::CannotRead;
    }
    try {
        if (file.Size() > kReadAtOnce) CheckSizeAgainstContents(file);
        std::vector<std::uint8_t> bytes;
        if (!file.ReadAll(bytes)) {
            why = file.Error();
            return TLoadResult::CannotRead;
        }
        LoadDrawing(bytes, drawing, settings);
    } catch (const TReadError& damage) {
        why = damage.what();
        return TLoadResult::Damaged;
    } catch (const TOutOfMemoryError&) {
        why = reason::OutOfMemory;
        return TLoadResult::OutOfMemory;
    } catch (const std::bad_alloc&) {
        why = reason::OutOfMemory;
        return TLoadResult::OutOfMemory;
    } catch (const std::length_error&) {
        why = reason::OutOfMemory;
        return TLoadResult::OutOfMemory;
    }
    return TLoadResult::Ok;
}

int PageCountOf(const TDrawingSettings& settings) {
    return PageCountFromValue(settings.PageCount);
}

int PageCountFromValue(double pageCount) {
    // RoundHalfEven saturates instead of converting an out-of-range double.
    return std::clamp(RoundHalfEven(pageCount), 1, 10);
}

} // namespace quirindo
