#pragma once
// The ".qrd" drawing file: object records, text records with their strings, a
// 96-byte trailer of instrument and view settings and a 32-byte tail. Little
// endian, no signature. Written and read in memory; the window's commands do
// the file handling around these two functions.

#include "ByteStream.h" // TReadError
#include "DrawObjects.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace quirindo {

constexpr double kMmPerInch = 25.39995;
constexpr std::size_t kObjectRecordBytes = 88;
constexpr std::size_t kTextRecordBytes = 56;
constexpr std::size_t kTrailerBytes = 96;
constexpr std::size_t kTailBytes = 32;

// Everything besides the two stores that a drawing file keeps.
struct TDrawingSettings {
    // Instruments, page-relative mm and degrees.
    double LinX = 10.0, LinY = 90.0, LinW = 0.0;
    double WinkX = 50.0, WinkY = 50.0, WinkW = 0.0;
    double ZirkX = 150.0, ZirkY = 50.0, ZirkS = 40.0;
    double Zoom = 100.0;       // per cent
    double LineWidth = 0.1;    // mm
    std::int32_t PenColor = 0; // 0x00BBGGRR
    bool PanelShown = false;
    bool RulerVisible = true;
    bool ProtractorVisible = true;
    bool CompassVisible = true;
    // The tail; older files end before it.
    bool HasTail = true;
    double EraserWidth = 2.0; // mm
    double PageWidthInch = 210.0 / kMmPerInch;
    double PageHeightInch = 297.0 / kMmPerInch;
    double PageCount = 1.0;
};

// Serialises the drawing; afterwards the last record of each store is current.
std::vector<std::uint8_t> SaveDrawing(TDrawing& drawing, const TDrawingSettings& settings);
// The same file from records held outside a drawing (a copy taken to be
// written on another thread); the text records' buffers must be valid.
std::vector<std::uint8_t> SaveDrawingRecords(std::span<const TDrawObject> objects,
                                             std::span<const TTextObject> texts,
                                             const TDrawingSettings& settings);

// Reads a whole file into an empty drawing. Settings that the file does not
// hold (the tail of an older file) keep the values passed in. Throws
// TReadError describing the damage; the caller then discards `drawing`.
void LoadDrawing(std::span<const std::uint8_t> bytes, TDrawing& drawing,
                 TDrawingSettings& settings);

// Memory ran out while a file was read into a drawing.
class TOutOfMemoryError : public std::runtime_error {
public:
    TOutOfMemoryError() : std::runtime_error("out of memory") {}
};

enum class TLoadResult { Ok, CannotRead, Damaged, OutOfMemory };

// Reads the file at `path` and loads it as LoadDrawing does. A large file is
// first judged by its counts and lengths alone, so that one far larger than
// the drawing they describe is refused without being read into memory. On
// failure `why` (a German reason text of Messages.h) says why; the caller
// then discards `drawing`.
TLoadResult LoadDrawingFile(const std::string& path, TDrawing& drawing, TDrawingSettings& settings,
                            std::string& why);

// The page count a drawing's settings stand for, the same for the window and
// every export: rounded to the nearest whole page (halves to even, as the
// page count box takes it), then kept within 1 to 10. Values far out of
// range and non-finite ones give 1 or 10, never undefined behaviour.
[[nodiscard]] int PageCountOf(const TDrawingSettings& settings);
[[nodiscard]] int PageCountFromValue(double pageCount);

} // namespace quirindo
