// The libFuzzer entry point of one target; QUIRINDO_FUZZ_BODY names its body.
#include "FuzzTargets.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = quirindo::fuzz::QUIRINDO_FUZZ_BODY({data, size});
    if (!problem.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
