#include "Desktop/macos/CoreFoundationValues.hpp"

#include <string>
#include <vector>

#include "Text/Text.hpp"

namespace Desktop::MacOS {

std::string utf8(CFStringRef string) {
    // The UTF-16 as stored, converted above the platform: a strict UTF-8 conversion
    // stops at a lone surrogate and would lose the rest of the text.
    const CFIndex length = CFStringGetLength(string);
    std::vector<UniChar> units(static_cast<std::size_t>(length));
    if (length > 0) CFStringGetCharacters(string, CFRangeMake(0, length), units.data());
    return Text::fromUtf16(std::u16string(units.begin(), units.end()));
}

CFReference<CFStringRef> makeString(std::string_view text) {
    return CFReference<CFStringRef>::adopt(
        CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data()),
                                static_cast<CFIndex>(text.size()), kCFStringEncodingUTF8, false));
}

std::string typeName(CFTypeRef value) {
    const auto description = CFReference<CFStringRef>::adopt(CFCopyTypeIDDescription(CFGetTypeID(value)));
    return description ? utf8(description.get()) : std::string();
}

std::variant<std::int64_t, double> numberValue(CFNumberRef number) {
    if (CFNumberIsFloatType(number)) {
        double floating = 0;
        CFNumberGetValue(number, kCFNumberFloat64Type, &floating);
        return floating;
    }
    std::int64_t integer = 0;
    CFNumberGetValue(number, kCFNumberSInt64Type, &integer);
    return integer;
}

LooseValue looseValue(CFTypeRef value) {
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID()) return utf8(static_cast<CFStringRef>(value));
    // A CFBoolean is not a CFNumber, but it is asked first so that it can never pass for one.
    if (type == CFBooleanGetTypeID()) return CFBooleanGetValue(static_cast<CFBooleanRef>(value)) != 0;
    if (type == CFNumberGetTypeID()) {
        return std::visit([](auto number) { return LooseValue(number); },
                          numberValue(static_cast<CFNumberRef>(value)));
    }
    return OtherValue{typeName(value)};
}

}  // namespace Desktop::MacOS
