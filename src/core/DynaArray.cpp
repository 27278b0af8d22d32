#include "DynaArray.h"

#include <cstdio>
#include <cstdlib>
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

void ReportOutOfMemory(std::size_t bytes) {
    const std::string message = "Error while trying to allocate " + std::to_string(bytes) +
                                " bytes of RAM. Not enough memory.";
    if (Reporter()) Reporter()(message);
}

} // namespace detail
} // namespace quirindo
