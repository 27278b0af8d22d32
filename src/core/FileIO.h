#pragma once
// Whole-file reads and crash-safe writes: a save goes to a temporary file
// beside the target, is flushed to disk and only then replaces the old file,
// so a failed save never destroys the previous drawing.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quirindo {

// Reads the whole file. On failure returns false and a reason in `error`.
// Files larger than maxBytes are refused.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                   std::size_t maxBytes = std::size_t(1) << 31);

// Writes `bytes` to `path` through a temporary file in the same directory.
// On failure the previous file at `path` is untouched and `error` says why.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string& error);

} // namespace quirindo
