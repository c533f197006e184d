#pragma once

// Shared by the fuzz targets: a broken invariant must stop the run loudly, and
// the inputs are cut into the pieces each target needs.

#include <cstdlib>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

namespace Fuzz {

inline void require(bool condition) {
    if (!condition) std::abort();
}

// Up to `maxCount` texts of arbitrary bytes.
inline std::vector<std::string> texts(FuzzedDataProvider& input, std::size_t maxCount) {
    std::vector<std::string> result(input.ConsumeIntegralInRange<std::size_t>(0, maxCount));
    for (auto& text : result)
        text = input.ConsumeRandomLengthString(256);
    return result;
}

}  // namespace Fuzz
