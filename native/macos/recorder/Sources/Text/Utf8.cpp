#include "Text/Utf8.hpp"

#include <optional>

namespace Text::detail {

namespace {

// What a lead byte promises: the sequence's length, the bits it carries, and the
// range its second byte must fall in, narrower than 80..BF where the full range
// would let in overlong forms, surrogates or code points past U+10FFFF.
struct LeadByte {
    std::size_t length;
    char32_t bits;
    unsigned char secondLow;
    unsigned char secondHigh;
};

std::optional<LeadByte> leadByte(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return LeadByte{2, lead & 0x1Fu, 0x80, 0xBF};
    if (lead >= 0xE0 && lead <= 0xEF) {
        return LeadByte{3, lead & 0x0Fu, static_cast<unsigned char>(lead == 0xE0 ? 0xA0 : 0x80),
                        static_cast<unsigned char>(lead == 0xED ? 0x9F : 0xBF)};
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return LeadByte{4, lead & 0x07u, static_cast<unsigned char>(lead == 0xF0 ? 0x90 : 0x80),
                        static_cast<unsigned char>(lead == 0xF4 ? 0x8F : 0xBF)};
    }
    return std::nullopt;
}

}  // namespace

Decoded decodeAt(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) return {lead, 1, true};
    const auto shape = leadByte(lead);
    if (!shape) return {replacementCharacter, 1, false};

    char32_t value = shape->bits;
    for (std::size_t i = 1; i < shape->length; ++i) {
        if (pos + i >= text.size()) return {replacementCharacter, i, false};
        const unsigned char b = byte(pos + i);
        const unsigned char low = i == 1 ? shape->secondLow : 0x80;
        const unsigned char high = i == 1 ? shape->secondHigh : 0xBF;
        if (b < low || b > high) return {replacementCharacter, i, false};
        value = (value << 6) | (b & 0x3F);
    }
    return {value, shape->length, true};
}

bool isAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const Decoded d = decodeAt(text, pos);
        if (!d.valid) return false;
        pos += d.length;
    }
    return true;
}

std::vector<char32_t> codePoints(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Decoded d = decodeAt(text, pos);
        out.push_back(d.codePoint);
        pos += d.length;
    }
    return out;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace Text::detail
