// The writer on arbitrary strings: it either refuses, or writes one line that a
// JSON reader reads back as the same strings.
#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Text/JsonLine.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string key(input.substr(0, split == std::string_view::npos ? 0 : split));
    const std::string value(split == std::string_view::npos ? input : input.substr(split + 1));

    const auto line =
        Text::JsonLine().add("k", value).add("list", std::vector<std::string>{value, key}).finish();
    if (!line) return 0;
    if (line->empty() || line->back() != '\n' || line->find('\n') != line->size() - 1) std::abort();
    const auto parsed = nlohmann::json::parse(*line);
    if (parsed.at("k") != value || parsed.at("list").at(1) != key) std::abort();
    if (line->find(" /") != std::string::npos && value.find('/') == std::string::npos) std::abort();
    return 0;
}
