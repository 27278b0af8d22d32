#pragma once
// A PNG written row by row with libpng straight into an export file, so a
// picture of any height needs only one row in memory here.

#include "FileIO.h"

#include <cstdint>
#include <string>

struct png_struct_def;
struct png_info_def;

namespace quirindo::output {

class TPngStream {
public:
    explicit TPngStream(TAtomicFileWriter& file) : FFile(file) {}
    ~TPngStream();
    TPngStream(const TPngStream&) = delete;
    TPngStream& operator=(const TPngStream&) = delete;

    // An 8-bit RGB picture of width x height with its resolution.
    bool Begin(std::uint32_t width, std::uint32_t height, std::uint32_t pixelsPerMetre);
    // The next row from the top: width x 3 bytes, red, green, blue.
    bool Row(const std::uint8_t* rgb);
    bool Finish();
    // What libpng reported; empty when the file itself failed (its writer
    // holds that reason).
    [[nodiscard]] const std::string& Error() const { return FError; }

private:
    static void OnError(png_struct_def* png, const char* message);
    static void OnWarning(png_struct_def* png, const char* message);
    static void OnWrite(png_struct_def* png, unsigned char* data, std::size_t length);
    static void OnFlush(png_struct_def* png);

    TAtomicFileWriter& FFile;
    png_struct_def* FPng = nullptr;
    png_info_def* FInfo = nullptr;
    bool FFailed = false;
    std::string FError;
};

} // namespace quirindo::output
