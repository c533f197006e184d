#include "Text/Text.hpp"

#include <unicode/uchar.h>
#include <unicode/uregex.h>
#include <unicode/ustring.h>
#include <utf8proc.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <stdexcept>

#include "Text/Utf8.hpp"

namespace Text {

namespace {

using detail::codePoints;
using detail::decodeAt;

std::u16string toUtf16(std::string_view text) {
    if (text.empty()) return {};
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = 0;
    u_strFromUTF8WithSub(nullptr, 0, &needed, text.data(), static_cast<int32_t>(text.size()), 0xFFFD, nullptr,
                         &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return {};
    std::u16string out(static_cast<std::size_t>(needed), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data(), needed, nullptr, text.data(), static_cast<int32_t>(text.size()), 0xFFFD,
                         nullptr, &status);
    if (U_FAILURE(status)) return {};
    return out;
}

std::string toUtf8(const UChar* text, int32_t length) {
    if (length <= 0) return {};
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = 0;
    u_strToUTF8WithSub(nullptr, 0, &needed, text, length, 0xFFFD, nullptr, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return {};
    std::string out(static_cast<std::size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), needed, nullptr, text, length, 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return {};
    return out;
}

bool isTrimmable(char32_t cp) {
    if ((cp >= 0x09 && cp <= 0x0D) || cp == 0x85) return true;
    switch (utf8proc_category(static_cast<utf8proc_int32_t>(cp))) {
        case UTF8PROC_CATEGORY_ZS:
        case UTF8PROC_CATEGORY_ZL:
        case UTF8PROC_CATEGORY_ZP:
            return true;
        default:
            return false;
    }
}

// Text in canonical decomposed form, with the user-perceived character
// boundaries that a match must respect.
struct Decomposed {
    std::vector<char32_t> cps;
    std::vector<bool> boundary;  // boundary[i]: a character starts at i (size cps.size() + 1)
};

std::vector<char32_t> decompose(std::string_view text) {
    std::vector<char32_t> cps = codePoints(text);  // invalid input already reads as U+FFFD
    if (detail::isAscii(text)) return cps;
    std::vector<utf8proc_int32_t> buffer;
    buffer.reserve(cps.size() + 8);
    for (char32_t cp : cps) {
        utf8proc_int32_t pieces[16];
        int lastBoundClass = 0;
        const utf8proc_ssize_t n = utf8proc_decompose_char(static_cast<utf8proc_int32_t>(cp), pieces, 16,
                                                           UTF8PROC_DECOMPOSE, &lastBoundClass);
        if (n < 0 || n > 16) {
            buffer.push_back(static_cast<utf8proc_int32_t>(cp));
        } else {
            buffer.insert(buffer.end(), pieces, pieces + n);
        }
    }
    // Canonical ordering of combining marks.
    const utf8proc_ssize_t n =
        utf8proc_normalize_utf32(buffer.data(), static_cast<utf8proc_ssize_t>(buffer.size()),
                                 static_cast<utf8proc_option_t>(UTF8PROC_DECOMPOSE));
    if (n < 0) return cps;
    return std::vector<char32_t>(buffer.begin(), buffer.begin() + n);
}

std::vector<bool> characterBoundaries(const std::vector<char32_t>& cps) {
    std::vector<bool> boundary(cps.size() + 1, false);
    boundary[0] = true;
    boundary[cps.size()] = true;
    utf8proc_int32_t state = 0;
    for (std::size_t i = 1; i < cps.size(); ++i) {
        boundary[i] = utf8proc_grapheme_break_stateful(static_cast<utf8proc_int32_t>(cps[i - 1]),
                                                       static_cast<utf8proc_int32_t>(cps[i]), &state);
    }
    return boundary;
}

Decomposed decomposedWithBoundaries(std::string_view text) {
    Decomposed d;
    d.cps = decompose(text);
    d.boundary = characterBoundaries(d.cps);
    return d;
}

// Plain bytes compare exactly like code points when both sides are ASCII; a
// carriage return is excluded because CR LF is one character.
bool plainBytesSuffice(std::string_view text, std::string_view needle) {
    return detail::isAscii(text) && detail::isAscii(needle) && text.find('\r') == std::string_view::npos;
}

bool matchesAt(const Decomposed& text, const std::vector<char32_t>& needle, std::size_t at) {
    if (at + needle.size() > text.cps.size()) return false;
    if (!text.boundary[at] || !text.boundary[at + needle.size()]) return false;
    return std::equal(needle.begin(), needle.end(), text.cps.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

std::string lowercase(std::string_view text) {
    if (detail::isAscii(text)) {
        std::string out(text);
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        return out;
    }
    const std::u16string source = toUtf16(text);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t needed =
        u_strToLower(nullptr, 0, source.data(), static_cast<int32_t>(source.size()), "", &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        return toUtf8(source.data(), static_cast<int32_t>(source.size()));
    std::u16string lowered(static_cast<std::size_t>(needed), u'\0');
    status = U_ZERO_ERROR;
    u_strToLower(lowered.data(), needed, source.data(), static_cast<int32_t>(source.size()), "", &status);
    if (U_FAILURE(status)) return toUtf8(source.data(), static_cast<int32_t>(source.size()));
    return toUtf8(lowered.data(), needed);
}

std::string trim(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const auto d = decodeAt(text, begin);
        if (!d.valid || !isTrimmable(d.codePoint)) break;
        begin += d.length;
    }
    // Find the end of the last character that is not trimmable, scanning forward
    // so that invalid bytes are never split.
    std::size_t end = begin;
    for (std::size_t pos = begin; pos < text.size();) {
        const auto d = decodeAt(text, pos);
        pos += d.length;
        if (!d.valid || !isTrimmable(d.codePoint)) end = pos;
    }
    return std::string(text.substr(begin, end - begin));
}

bool isBlank(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const auto d = decodeAt(text, pos);
        if (!d.valid || !isTrimmable(d.codePoint)) return false;
        pos += d.length;
    }
    return true;
}

bool contains(std::string_view text, std::string_view needle) {
    if (needle.empty()) return false;
    if (plainBytesSuffice(text, needle)) return text.find(needle) != std::string_view::npos;
    const std::vector<char32_t> n = decompose(needle);
    const Decomposed t = decomposedWithBoundaries(text);
    if (n.size() > t.cps.size()) return false;
    for (std::size_t at = 0; at + n.size() <= t.cps.size(); ++at) {
        if (matchesAt(t, n, at)) return true;
    }
    return false;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    if (prefix.empty()) return false;
    if (plainBytesSuffice(text, prefix)) return text.substr(0, prefix.size()) == prefix;
    const std::vector<char32_t> n = decompose(prefix);
    return matchesAt(decomposedWithBoundaries(text), n, 0);
}

bool endsWith(std::string_view text, std::string_view suffix) {
    if (suffix.empty()) return false;
    if (plainBytesSuffice(text, suffix)) {
        return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
    }
    const std::vector<char32_t> n = decompose(suffix);
    const Decomposed t = decomposedWithBoundaries(text);
    if (n.size() > t.cps.size()) return false;
    return matchesAt(t, n, t.cps.size() - n.size());
}

bool equals(std::string_view a, std::string_view b) {
    if (detail::isAscii(a) && detail::isAscii(b)) return a == b;
    return decompose(a) == decompose(b);
}

std::string fromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            const char32_t codePoint = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                       (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            detail::appendUtf8(out, codePoint);
            ++i;
        } else if (high || low) {
            detail::appendUtf8(out, detail::replacementCharacter);
        } else {
            detail::appendUtf8(out, unit);
        }
    }
    return out;
}

bool containsAny(std::string_view text, std::span<const std::string_view> needles) {
    return std::ranges::any_of(needles, [&](std::string_view needle) { return contains(text, needle); });
}

bool containsAny(std::string_view text, std::initializer_list<std::string_view> needles) {
    return containsAny(text, std::span(needles.begin(), needles.size()));
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += separator;
        out += parts[i];
    }
    return out;
}

std::string joinedWithSpaces(const std::vector<std::string>& parts) {
    return joined(parts, " ");
}

std::vector<std::string> graphemes(std::string_view text) {
    std::vector<std::string> out;
    utf8proc_int32_t state = 0;
    char32_t previous = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto d = decodeAt(text, pos);
        const bool startsCharacter = out.empty() || utf8proc_grapheme_break_stateful(
                                                        static_cast<utf8proc_int32_t>(previous),
                                                        static_cast<utf8proc_int32_t>(d.codePoint), &state);
        if (startsCharacter) out.emplace_back();
        out.back().append(text.substr(pos, d.length));
        previous = d.codePoint;
        pos += d.length;
    }
    return out;
}

std::size_t graphemeCount(std::string_view text) {
    if (detail::isAscii(text) && text.find('\r') == std::string_view::npos) return text.size();
    std::size_t count = 0;
    utf8proc_int32_t state = 0;
    char32_t previous = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto d = decodeAt(text, pos);
        if (count == 0 ||
            utf8proc_grapheme_break_stateful(static_cast<utf8proc_int32_t>(previous),
                                             static_cast<utf8proc_int32_t>(d.codePoint), &state)) {
            ++count;
        }
        previous = d.codePoint;
        pos += d.length;
    }
    return count;
}

bool isNumericCharacter(std::string_view character) {
    if (character.empty()) return false;
    const auto d = decodeAt(character, 0);
    if (!d.valid) return false;
    switch (utf8proc_category(static_cast<utf8proc_int32_t>(d.codePoint))) {
        case UTF8PROC_CATEGORY_ND:
        case UTF8PROC_CATEGORY_NL:
        case UTF8PROC_CATEGORY_NO:
            return true;
        default:
            return false;
    }
}

std::string numericCharacters(std::string_view text) {
    std::string out;
    for (const std::string& character : graphemes(text)) {
        if (isNumericCharacter(character)) out += character;
    }
    return out;
}

struct Regex::Impl {
    URegularExpression* regex = nullptr;
    std::mutex lock;  // one matcher, so searches take turns
    ~Impl() {
        if (regex) uregex_close(regex);
    }
};

Regex::Regex(std::string_view pattern, Options options) : impl_(std::make_unique<Impl>()) {
    const std::u16string source = toUtf16(pattern);
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError{};
    const uint32_t flags = options == Options::caseInsensitive ? UREGEX_CASE_INSENSITIVE : 0;
    impl_->regex =
        uregex_open(source.data(), static_cast<int32_t>(source.size()), flags, &parseError, &status);
    if (U_FAILURE(status)) {
        impl_->regex = nullptr;
        throw std::invalid_argument("regular expression does not compile: " + std::string(pattern));
    }
}

Regex::~Regex() = default;

bool Regex::search(std::string_view text) const {
    const std::u16string subject = toUtf16(text);
    std::lock_guard guard(impl_->lock);
    UErrorCode status = U_ZERO_ERROR;
    uregex_setText(impl_->regex, subject.data(), static_cast<int32_t>(subject.size()), &status);
    const bool found = U_SUCCESS(status) && uregex_find(impl_->regex, 0, &status) && U_SUCCESS(status);
    // The matcher must not keep a pointer into the subject once it is gone.
    UErrorCode resetStatus = U_ZERO_ERROR;
    uregex_setText(impl_->regex, u"", 0, &resetStatus);
    return found;
}

std::optional<Match> Regex::firstMatch(std::string_view text) const {
    const std::u16string subject = toUtf16(text);
    std::lock_guard guard(impl_->lock);
    UErrorCode status = U_ZERO_ERROR;
    URegularExpression* re = impl_->regex;
    uregex_setText(re, subject.data(), static_cast<int32_t>(subject.size()), &status);
    std::optional<Match> result;
    if (U_SUCCESS(status) && uregex_find(re, 0, &status) && U_SUCCESS(status)) {
        const auto groupText = [&](int32_t group) -> std::optional<std::string> {
            UErrorCode s = U_ZERO_ERROR;
            const int32_t start = uregex_start(re, group, &s);
            const int32_t end = uregex_end(re, group, &s);
            if (U_FAILURE(s) || start < 0 || end < start) return std::nullopt;
            return toUtf8(subject.data() + start, end - start);
        };
        Match match;
        match.matched = groupText(0).value_or(std::string{});
        UErrorCode s = U_ZERO_ERROR;
        const int32_t groupCount = uregex_groupCount(re, &s);
        for (int32_t g = 1; U_SUCCESS(s) && g <= groupCount; ++g)
            match.groups.push_back(groupText(g));
        result = std::move(match);
    }
    UErrorCode resetStatus = U_ZERO_ERROR;
    uregex_setText(re, u"", 0, &resetStatus);
    return result;
}

}  // namespace Text
