#pragma once

// Strict UTF-8 decoding shared by the text operations and the JSON writer.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Text::detail {

inline constexpr char32_t replacementCharacter = 0xFFFD;

struct Decoded {
    char32_t codePoint;  // replacementCharacter when invalid
    std::size_t length;  // bytes consumed, at least 1
    bool valid;
};

// Decodes the code point at `pos` (pos < text.size()). An invalid sequence
// consumes its maximal subpart: the longest prefix of a well-formed sequence,
// or one byte.
Decoded decodeAt(std::string_view text, std::size_t pos);

bool isValidUtf8(std::string_view text);
bool isAscii(std::string_view text);

std::vector<char32_t> codePoints(std::string_view text);
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace Text::detail
