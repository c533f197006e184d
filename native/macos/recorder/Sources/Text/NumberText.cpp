#include "Text/NumberText.hpp"

#include <cmath>
#include <cstdio>

namespace Text {

std::string numberText(std::int64_t value) {
    return std::to_string(value);
}

std::string numberText(double value) {
    // printf's spellings of the special values differ by C library; NSNumber's do not.
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%0.16g", value);
    if (length <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string numberText(bool value) {
    return value ? "1" : "0";
}

}  // namespace Text
