#pragma once

// Leaving out what identifies people (participant names, chat messages) while
// keeping what the tools' rules read. Each word of a text that is not a word of
// a meeting client's interface ("mute", "host", "participants", "zoom", ...) has
// its letters replaced by "x"; spacing, digits and punctuation stay, so the text
// keeps its length in characters and its shape. When that would change the
// answer of any of the tools' text tests (a meeting link, a meeting code, a
// "Meeting ID" label with its digits, a control label, a lobby or in-call
// phrase), the text is kept whole instead.

#include <cstddef>
#include <string>
#include <string_view>

namespace SceneCapture {

// Every word outside the interface's vocabulary masked.
std::string maskedText(std::string_view text);

// Texts longer than this, in bytes, are written whole.
inline constexpr std::size_t longestMaskedText = std::size_t{64} * 1024;

// The text as a redacted capture writes it.
std::string redactedText(std::string_view text);

// Attributes whose strings the application's developer set, never a person's
// name or words: they are written as they are.
bool isStructuralAttribute(std::string_view attribute);

}  // namespace SceneCapture
