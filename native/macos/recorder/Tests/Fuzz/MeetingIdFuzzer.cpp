// The meeting-ID rules on arbitrary text: whatever they accept must be a real
// meeting number, and nothing a user reads as a participant ID or passcode may
// come out as one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.hpp"
#include "RoomcodeCore/MeetingId.hpp"
#include "Text/JsonLine.hpp"
#include "Text/Text.hpp"

using Fuzz::require;
using RoomcodeCore::Roomcode;

namespace {

void requireMeetingNumber(const Roomcode& code) {
    const std::size_t count = Text::graphemeCount(code.digits);
    require(count >= 9 && count <= 11);
    require(Text::numericCharacters(code.digits) == code.digits);
    // The host receives it in a JSON line.
    Text::JsonLine line;
    line.add("meetingId", code.digits);
    require(line.finish().has_value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto parsed = Roomcode::parse(text);
    if (parsed) requireMeetingNumber(*parsed);
    if (const auto digitsOnly = Roomcode::parseDigitsOnly(text)) requireMeetingNumber(*digitsOnly);
    const bool label = Roomcode::textLooksLikeMeetingIdLabel(text);

    // Wording that names another number vetoes every rule, wherever it stands.
    for (std::string_view veto : {"Participant ID ", "personal meeting ID: ", "Numeric passcode "}) {
        const std::string vetoed = std::string(veto) + std::string(text);
        require(!Roomcode::parse(vetoed));
        require(!Roomcode::textLooksLikeMeetingIdLabel(vetoed));
    }
    // Blank padding changes nothing.
    const std::string padded = " \t" + std::string(text) + "\n ";
    require(Roomcode::parse(padded) == parsed);
    require(Roomcode::textLooksLikeMeetingIdLabel(padded) == label);
    return 0;
}
