#include "Text/Utf8.hpp"

namespace Text::detail {

Decoded decodeAt(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) return {lead, 1, true};

    std::size_t length = 0;
    char32_t value = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        if (lead == 0xE0) secondLow = 0xA0;   // no overlong forms
        if (lead == 0xED) secondHigh = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        if (lead == 0xF0) secondLow = 0x90;
        if (lead == 0xF4) secondHigh = 0x8F;  // nothing past U+10FFFF
    } else {
        return {replacementCharacter, 1, false};
    }

    std::size_t i = 1;
    for (; i < length; ++i) {
        if (pos + i >= text.size()) break;
        const unsigned char b = byte(pos + i);
        const unsigned char low = i == 1 ? secondLow : 0x80;
        const unsigned char high = i == 1 ? secondHigh : 0xBF;
        if (b < low || b > high) break;
        value = (value << 6) | (b & 0x3F);
    }
    if (i < length) return {replacementCharacter, i, false};
    return {value, length, true};
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
