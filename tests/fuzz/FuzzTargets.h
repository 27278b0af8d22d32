#pragma once
// The bodies of the fuzz targets. Each takes one input and returns what went
// wrong, or an empty text when every invariant held. The libFuzzer entry
// points abort on a non-empty answer; the corpus test runs every kept input
// through the same functions in the ordinary builds.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quirindo::fuzz {

using TInput = std::span<const std::uint8_t>;

// Reads the bytes as a drawing file; whatever loads must save, load again
// and save to the very same bytes.
std::string CheckDrawingFile(TInput input);

// Reads the bytes as a drawing file and writes its DXF into memory: CR LF
// line ends only, every coordinate a finite number, and the text written by
// several threads byte for byte the one written by one.
std::string CheckDxfExport(TInput input);

// What is wrong with a DXF text, or empty: a line end other than CR LF, a
// line count that is not pairs, a group code that is no number, or a value
// after a coordinate, size or angle code (10 to 59) that is not a finite
// number written with a full stop.
std::string DxfTextProblem(const std::string& dxf);

// Opens the bytes as a translation table (on a temporary file), looks texts
// up, appends and deletes rows, and opens the result again.
std::string CheckTranslationTable(TInput input);

} // namespace quirindo::fuzz
