#pragma once

// Just enough of a WAV reader to know how long a file plays.

#include <string>
#include <variant>

namespace Desktop::Sim {

// What AVAudioPlayer's error says for a file that is not audio
// (kAudioFileUnsupportedFileTypeError, 'typ?') and for one it cannot open
// (kAudioFileUnspecifiedError, 'wht?').
inline constexpr const char* notAudioDescription =
    "The operation couldn\u2019t be completed. (OSStatus error 1954115647.)";
inline constexpr const char* unreadableDescription =
    "The operation couldn\u2019t be completed. (OSStatus error 2003334207.)";

// The playing time in seconds of a RIFF/WAVE file (data bytes over byte rate),
// or the player's description of why it cannot be played.
std::variant<double, std::string> wavDuration(const std::string& path);

}  // namespace Desktop::Sim
