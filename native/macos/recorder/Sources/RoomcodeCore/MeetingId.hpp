#pragma once

// The meeting ID and the rules that find it in user-interface text: a join
// link, a "Meeting ID" label with its digits, or a text that is little more
// than the digits; and the texts that merely look like one (a participant ID,
// a passcode, a personal meeting ID or link), which must never be reported.

#include <optional>
#include <string>
#include <string_view>

namespace RoomcodeCore {

struct Roomcode {
    std::string digits;

    bool operator==(const Roomcode&) const = default;

    // Any text: a join link first, then a meeting-ID label followed by digits.
    static std::optional<Roomcode> parse(std::string_view text);
    // A text that carries the 9 to 11 digits and nothing else numeric.
    static std::optional<Roomcode> parseDigitsOnly(std::string_view text);
    static bool textLooksLikeMeetingIdLabel(std::string_view text);

private:
    static std::optional<std::string> labeledMeetingIdDigits(std::string_view text);
    // Takes lower-cased text.
    static bool isRejectedIdContext(std::string_view lower);
};

}  // namespace RoomcodeCore

template <>
struct std::hash<RoomcodeCore::Roomcode> {
    std::size_t operator()(const RoomcodeCore::Roomcode& code) const noexcept {
        return std::hash<std::string>{}(code.digits);
    }
};
