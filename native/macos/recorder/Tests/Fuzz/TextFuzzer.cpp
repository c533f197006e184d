// Every text operation on arbitrary bytes: none may crash, and the results keep
// the invariants the phrase tests rely on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Text/Text.hpp"
#include "Text/Utf8.hpp"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first byte splits the rest into a text and a needle.
    const std::size_t split = size > 0 ? data[0] % (size) : 0;
    const std::string_view rest = size > 0 ? input.substr(1) : input;
    const std::string_view text = rest.substr(0, std::min(split, rest.size()));
    const std::string_view needle = rest.substr(std::min(split, rest.size()));

    const std::string lower = Text::lowercase(text);
    require(Text::detail::isValidUtf8(lower));
    const std::string trimmed = Text::trim(text);
    require(trimmed.size() <= text.size());
    require(Text::trim(trimmed) == trimmed);
    require(Text::isBlank(text) == trimmed.empty());

    const bool found = Text::contains(text, needle);
    if (Text::startsWith(text, needle) || Text::endsWith(text, needle)) require(found);
    if (Text::equals(text, needle) && !needle.empty()) require(found);
    require(!Text::contains(text, ""));
    require(Text::equals(text, text));

    const auto characters = Text::graphemes(text);
    require(characters.size() == Text::graphemeCount(text));
    std::string rebuilt;
    for (const auto& c : characters)
        rebuilt += c;
    require(rebuilt == text);
    require(Text::numericCharacters(text).size() <= text.size());

    static const Text::Regex label("meeting\\s*id\\s*[:#]?\\s*([0-9][0-9\\s\\-]{7,})",
                                   Text::Regex::Options::caseInsensitive);
    if (auto m = label.firstMatch(text)) require(m->groups.size() == 1 && m->groups[0].has_value());
    static const Text::Regex meetCode("^[a-z]{3}-[a-z]{4}-[a-z]{3}(\\b| )");
    (void)meetCode.search(lower);
    return 0;
}
