#pragma once

// The text of a number as NSNumber's stringValue renders it, which is how the
// platform turns a numeric accessibility value into a label. Both tools read
// numbers as text through these, so they agree on every value.

#include <cstdint>
#include <string>

namespace Text {

// Integers in decimal.
std::string numberText(std::int64_t value);
// A double as "%0.16g" renders it: 2.5 gives "2.5", 3.0 gives "3", 1e20 gives "1e+20",
// and 0.1 + 0.2 gives "0.3" (sixteen significant digits, not the shortest exact form).
std::string numberText(double value);
// A CFBoolean bridges to an NSNumber holding 1 or 0.
std::string numberText(bool value);

}  // namespace Text
