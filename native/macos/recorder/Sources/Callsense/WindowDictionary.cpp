#include "Callsense/WindowDictionary.hpp"

#include <cmath>
#include <limits>
#include <type_traits>
#include <variant>

namespace Callsense {

namespace {

const Desktop::LooseValue* find(const Desktop::WindowDictionary& window, std::string_view key) {
    const auto it = window.find(std::string(key));
    return it == window.end() ? nullptr : &it->second;
}

constexpr auto int32Min = std::numeric_limits<std::int32_t>::min();
constexpr auto int32Max = std::numeric_limits<std::int32_t>::max();

}  // namespace

std::optional<std::string> windowString(const Desktop::WindowDictionary& window, std::string_view key) {
    const auto* value = find(window, key);
    if (value == nullptr) return std::nullopt;
    if (const auto* text = std::get_if<std::string>(value)) return *text;
    return std::nullopt;
}

std::optional<std::int32_t> windowInt32(const Desktop::WindowDictionary& window, std::string_view key) {
    const auto* value = find(window, key);
    if (value == nullptr) return std::nullopt;
    return std::visit(
        [](const auto& v) -> std::optional<std::int32_t> {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::int64_t>) {
                if (v < int32Min || v > int32Max) return std::nullopt;
                return static_cast<std::int32_t>(v);
            } else if constexpr (std::is_same_v<V, double>) {
                // NaN fails both comparisons, so it is rejected along with fractions.
                if (!(v >= int32Min && v <= int32Max) || std::trunc(v) != v) return std::nullopt;
                return static_cast<std::int32_t>(v);
            } else if constexpr (std::is_same_v<V, bool>) {
                return v ? 1 : 0;
            } else {
                return std::nullopt;
            }
        },
        *value);
}

std::optional<Desktop::Rect> windowRect(const Desktop::WindowDictionary& window, std::string_view key) {
    const auto* value = find(window, key);
    if (value == nullptr) return std::nullopt;
    if (const auto* rect = std::get_if<Desktop::Rect>(value)) return *rect;
    return std::nullopt;
}

}  // namespace Callsense
