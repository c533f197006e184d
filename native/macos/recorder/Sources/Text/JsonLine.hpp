#pragma once

// Writes one compact JSON object on one line, in the form the platform's JSON
// encoder gives: keys in the order added (or sorted), absent optional fields
// left out, "/" written as "\/", control characters escaped, non-ASCII written
// as raw UTF-8, and one line feed at the end.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Text {

class JsonLine {
public:
    enum class KeyOrder { asAdded, sorted };

    explicit JsonLine(KeyOrder order = KeyOrder::asAdded) : order_(order) {}

    JsonLine& add(std::string_view key, bool value);
    JsonLine& add(std::string_view key, std::int64_t value);
    JsonLine& add(std::string_view key, std::int32_t value) { return add(key, std::int64_t{value}); }
    JsonLine& add(std::string_view key, std::uint32_t value) { return add(key, std::int64_t{value}); }
    JsonLine& add(std::string_view key, double value);
    JsonLine& add(std::string_view key, std::string_view value);
    JsonLine& add(std::string_view key, const char* value) { return add(key, std::string_view(value)); }
    JsonLine& add(std::string_view key, const std::string& value) {
        return add(key, std::string_view(value));
    }
    JsonLine& add(std::string_view key, const std::vector<std::string>& values);
    // Left out of the object when absent.
    template <typename T>
    JsonLine& add(std::string_view key, const std::optional<T>& value) {
        if (value) add(key, *value);
        return *this;
    }

    // The object followed by "\n", or absent when it cannot be encoded: a string
    // or key that is not valid UTF-8, or a double that is not finite.
    std::optional<std::string> finish() const;

private:
    KeyOrder order_;
    bool failed_ = false;
    std::vector<std::pair<std::string, std::string>> members_;  // key, encoded value

    void put(std::string_view key, std::string encoded);
};

// Encodes a string as a JSON string literal, or absent on invalid UTF-8.
std::optional<std::string> jsonString(std::string_view text);

}  // namespace Text
