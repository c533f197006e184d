#pragma once

// The one line roomcode prints: whether an ID was read, the ID, and the result
// code the host application tells outcomes apart by.

#include <optional>
#include <string>

namespace RoomcodeCLI {

struct MeetingIdOutput {
    bool ok = false;
    std::optional<std::string> meetingId{};
    std::string code;

    bool operator==(const MeetingIdOutput&) const = default;
};

// The JSON object with its line feed, or absent when it cannot be encoded.
std::optional<std::string> encodedLine(const MeetingIdOutput& output);

// Writes the line to standard output. When it cannot be encoded, writes
// "encode_failed" to standard error instead and ends the process with status 3.
void emit(const MeetingIdOutput& output);

}  // namespace RoomcodeCLI
