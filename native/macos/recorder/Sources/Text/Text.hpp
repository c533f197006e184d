#pragma once

// Unicode text operations that every phrase test of the three tools is written in.
//
// Strings are UTF-8. Input read from other applications may hold invalid UTF-8;
// no operation here crashes on it. Where an operation must decode, each maximal
// invalid subsequence reads as one U+FFFD REPLACEMENT CHARACTER, so:
//   - lowercase() returns valid UTF-8 with U+FFFD in place of the invalid bytes;
//   - trim() only removes valid white space, keeping every other byte untouched;
//   - comparisons treat an invalid sequence as U+FFFD on both sides;
//   - graphemeCount() counts each invalid sequence as one character.

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Text {

// Full Unicode lowercase mapping in the root locale (never the user's locale).
std::string lowercase(std::string_view text);

// Removes, at both ends, characters of general category Z* and U+0009..U+000D, U+0085.
std::string trim(std::string_view text);

// Empty after trim.
bool isBlank(std::string_view text);

// Comparisons by canonical equivalence: a precomposed character equals its
// decomposed form. Case-sensitive. An empty needle never matches, even in an
// empty text. A match never ends inside a character: "e" is not found in a
// decomposed "é" because a combining mark follows it.
bool contains(std::string_view text, std::string_view needle);
bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);
bool equals(std::string_view a, std::string_view b);

// UTF-16 code units (as a CFString or NSString holds them) as UTF-8. A surrogate
// without its partner, which an application leaves when it cuts a text inside a
// character, becomes one U+FFFD and the rest of the text is kept.
std::string fromUtf16(std::u16string_view text);

// `contains` for any of the needles, tried in their order.
bool containsAny(std::string_view text, std::span<const std::string_view> needles);
bool containsAny(std::string_view text, std::initializer_list<std::string_view> needles);

// The strings in order with the separator between neighbours; empty list, empty string.
std::string joined(const std::vector<std::string>& parts, std::string_view separator);
// Joined with one U+0020.
std::string joinedWithSpaces(const std::vector<std::string>& parts);

// Number of user-perceived characters (extended grapheme clusters).
std::size_t graphemeCount(std::string_view text);

// Splits into user-perceived characters, each as its own UTF-8 string.
std::vector<std::string> graphemes(std::string_view text);

// A user-perceived character that represents a number: its first code point is
// of general category Nd, Nl or No.
bool isNumericCharacter(std::string_view character);

// The numeric characters of the text, in order, concatenated.
std::string numericCharacters(std::string_view text);

struct Match {
    std::string matched;  // the whole matched range
    // Capture groups 1..n; absent for a group that did not take part in the match.
    std::vector<std::optional<std::string>> groups;
};

// An ICU regular expression, compiled once. Searching is safe from several
// threads at once.
class Regex {
public:
    enum class Options { none, caseInsensitive };

    // Throws std::invalid_argument when the pattern does not compile; patterns
    // are constants of the programs, so that is a programming error.
    explicit Regex(std::string_view pattern, Options options = Options::none);
    ~Regex();
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

    // Searches anywhere in the text (anchors only where the pattern has them).
    bool search(std::string_view text) const;
    std::optional<Match> firstMatch(std::string_view text) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace Text
