#include "DynaArray.h"

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace quirindo {
namespace {

void* CallocBlock(std::size_t bytes) {
    return std::calloc(1, bytes);
}

TBlockAllocator& Allocator() {
    static TBlockAllocator allocator = &CallocBlock;
    return allocator;
}

TOutOfMemoryReporter& Reporter() {
    static TOutOfMemoryReporter reporter = [](const std::string& message) {
        std::fprintf(stderr, "%s\n", message.c_str());
    };
    return reporter;
}

} // namespace

TOutOfMemoryReporter SetOutOfMemoryReporter(TOutOfMemoryReporter reporter) {
    return std::exchange(Reporter(), std::move(reporter));
}

TBlockAllocator SetBlockAllocator(TBlockAllocator allocator) {
    return std::exchange(Allocator(), allocator ? allocator : &CallocBlock);
}

namespace detail {

void* AllocateZeroedBlock(std::size_t bytes) {
    return Allocator()(bytes);
}

void* ResizeBlock(void* block, std::size_t oldBytes, std::size_t newBytes) {
    if (Allocator() != &CallocBlock) {
        // A replaced allocator decides about every block.
        void* fresh = AllocateZeroedBlock(newBytes);
        if (!fresh) return nullptr;
        if (block) std::memcpy(fresh, block, std::min(oldBytes, newBytes));
        std::free(block);
        return fresh;
    }
    void* resized = std::realloc(block, newBytes);
    if (!resized) return nullptr;
    if (newBytes > oldBytes)
        std::memset(static_cast<unsigned char*>(resized) + oldBytes, 0, newBytes - oldBytes);
    return resized;
}

void ReportOutOfMemory(std::size_t bytes) {
    const std::string message = "Error while trying to allocate " + std::to_string(bytes) +
                                " bytes of RAM. Not enough memory.";
    if (Reporter()) Reporter()(message);
}

} // namespace detail
} // namespace quirindo
