#include "Text/JsonLine.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "Text/Utf8.hpp"

namespace Text {

std::optional<std::string> jsonString(std::string_view text) {
    if (!detail::isValidUtf8(text)) return std::nullopt;
    static constexpr char hexDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '/':
                out += "\\/";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    out += "\\u00";
                    out.push_back(hexDigits[byte >> 4]);
                    out.push_back(hexDigits[byte & 0x0F]);
                } else {
                    out.push_back(c);  // multi-byte sequences pass through as raw UTF-8
                }
        }
    }
    out.push_back('"');
    return out;
}

void JsonLine::put(std::string_view key, std::string encoded) {
    members_.emplace_back(std::string(key), std::move(encoded));
}

JsonLine& JsonLine::add(std::string_view key, bool value) {
    put(key, value ? "true" : "false");
    return *this;
}

JsonLine& JsonLine::add(std::string_view key, std::int64_t value) {
    put(key, std::to_string(value));
    return *this;
}

JsonLine& JsonLine::add(std::string_view key, double value) {
    if (!std::isfinite(value)) {
        failed_ = true;
        return *this;
    }
    // The shortest text that reads back as the same double; whole numbers carry
    // no fraction ("500"), as the platform's encoder writes them.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    put(key, std::string(buffer, result.ptr));
    return *this;
}

// A key and its value, in the order the line writes them.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
JsonLine& JsonLine::add(std::string_view key, std::string_view value) {
    if (auto encoded = jsonString(value)) {
        put(key, std::move(*encoded));
    } else {
        failed_ = true;
    }
    return *this;
}

JsonLine& JsonLine::add(std::string_view key, const std::vector<std::string>& values) {
    std::string encoded = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        auto item = jsonString(values[i]);
        if (!item) {
            failed_ = true;
            return *this;
        }
        if (i > 0) encoded.push_back(',');
        encoded += *item;
    }
    encoded.push_back(']');
    put(key, std::move(encoded));
    return *this;
}

std::optional<std::string> JsonLine::finish() const {
    if (failed_) return std::nullopt;
    std::vector<const std::pair<std::string, std::string>*> ordered;
    ordered.reserve(members_.size());
    for (const auto& member : members_)
        ordered.push_back(&member);
    if (order_ == KeyOrder::sorted) {
        std::stable_sort(ordered.begin(), ordered.end(),
                         [](const auto* a, const auto* b) { return a->first < b->first; });
    }
    std::string out = "{";
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        auto key = jsonString(ordered[i]->first);
        if (!key) return std::nullopt;
        if (i > 0) out.push_back(',');
        out += *key;
        out.push_back(':');
        out += ordered[i]->second;
    }
    out += "}\n";
    return out;
}

}  // namespace Text
