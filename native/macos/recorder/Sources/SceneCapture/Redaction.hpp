#pragma once

// Leaving out what identifies people (participant names, chat messages) while
// keeping every text that the tools' rules read: a kept text is written whole,
// any other has each letter replaced by "x". Spacing, digits and punctuation
// stay, so a masked text keeps its length in characters and its shape (blank or
// not, a number or not).

#include <string>
#include <string_view>

namespace SceneCapture {

// The text passes one of the tools' tests, or names a part of a meeting
// client's interface in a few words, or has no letter to mask.
bool isKeptText(std::string_view text);

// Every user-perceived character that is neither white space, a number nor
// ASCII punctuation, as "x".
std::string maskedText(std::string_view text);

// The text as a redacted capture writes it.
std::string redactedText(std::string_view text);

// Attributes whose strings the application's developer set, never a person's
// name or words: they are written as they are.
bool isStructuralAttribute(std::string_view attribute);

}  // namespace SceneCapture
