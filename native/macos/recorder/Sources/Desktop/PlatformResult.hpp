#pragma once

#include <cstdint>
#include <optional>

namespace Desktop {

// What a platform call gave back: its error or status code (0 is success, as for
// both AXError and OSStatus) and, when it produced one, its value. A call may
// succeed without a value; callers above the seam decide what that means.
template <typename T>
struct PlatformResult {
    std::int32_t code = 0;
    std::optional<T> value;

    bool succeeded() const { return code == 0 && value.has_value(); }
};

}  // namespace Desktop
