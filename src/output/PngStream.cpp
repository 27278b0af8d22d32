#include "PngStream.h"

#include <png.h>

#include <csetjmp>
#include <span>

namespace quirindo::output {

// libpng reports errors by jumping back to the setjmp of the call that
// failed. Every function below that sets that jump point keeps no object
// with a destructor alive across it, so the jump skips nothing.

TPngStream::~TPngStream() {
    if (FPng) png_destroy_write_struct(&FPng, FInfo ? &FInfo : nullptr);
}

void TPngStream::OnError(png_struct_def* png, const char* message) {
    auto* self = static_cast<TPngStream*>(png_get_error_ptr(png));
    self->FFailed = true;
    if (self->FError.empty()) self->FError = message ? message : "PNG";
    png_longjmp(png, 1);
}

void TPngStream::OnWarning(png_struct_def*, const char*) {}

void TPngStream::OnWrite(png_struct_def* png, unsigned char* data, std::size_t length) {
    auto* self = static_cast<TPngStream*>(png_get_io_ptr(png));
    // After a failed write the file keeps its reason; the rest is dropped
    // and the caller sees the failure at the next row.
    if (self->FFailed) return;
    if (!self->FFile.Write(std::span<const std::uint8_t>(data, length))) self->FFailed = true;
}

void TPngStream::OnFlush(png_struct_def*) {}

bool TPngStream::Begin(std::uint32_t width, std::uint32_t height, std::uint32_t pixelsPerMetre) {
    FPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, &TPngStream::OnError,
                                   &TPngStream::OnWarning);
    if (!FPng) {
        FFailed = true;
        FError = "PNG";
        return false;
    }
    FInfo = png_create_info_struct(FPng);
    if (!FInfo) {
        FFailed = true;
        FError = "PNG";
        return false;
    }
    if (setjmp(png_jmpbuf(FPng))) return false;
    png_set_write_fn(FPng, this, &TPngStream::OnWrite, &TPngStream::OnFlush);
    png_set_IHDR(FPng, FInfo, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(FPng, FInfo, pixelsPerMetre, pixelsPerMetre, PNG_RESOLUTION_METER);
    // A drawing is mostly white paper: the fastest compression already
    // packs it tightly, and a page at thousands of dpi has billions of bytes.
    png_set_compression_level(FPng, 1);
    png_write_info(FPng, FInfo);
    return !FFailed;
}

bool TPngStream::Row(const std::uint8_t* rgb) {
    if (!FPng || FFailed) return false;
    if (setjmp(png_jmpbuf(FPng))) return false;
    png_write_row(FPng, rgb);
    return !FFailed;
}

bool TPngStream::Finish() {
    if (!FPng || FFailed) return false;
    if (setjmp(png_jmpbuf(FPng))) return false;
    png_write_end(FPng, FInfo);
    return !FFailed;
}

} // namespace quirindo::output
