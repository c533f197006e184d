#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <utility>

namespace Desktop::MacOS {

// Owns one Core Foundation reference and releases it once. Whether a reference
// arrives owned depends on the call that produced it (the Create and Copy rule
// versus the Get rule), so every wrapping names the rule it follows.
template <typename Ref>
class CFReference {
public:
    CFReference() = default;

    // Create and Copy rule: the caller already owns the reference.
    static CFReference adopt(Ref ref) { return CFReference(ref); }
    // Get rule: the reference belongs to its container; keep one of our own.
    static CFReference retain(Ref ref) {
        if (ref != nullptr) CFRetain(ref);
        return CFReference(ref);
    }

    CFReference(const CFReference& other) : ref_(other.ref_) {
        if (ref_ != nullptr) CFRetain(ref_);
    }
    CFReference(CFReference&& other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
    CFReference& operator=(CFReference other) noexcept {
        std::swap(ref_, other.ref_);
        return *this;
    }
    ~CFReference() { reset(); }

    Ref get() const { return ref_; }
    explicit operator bool() const { return ref_ != nullptr; }

    // The out-parameter of a Create or Copy call; what the call stores there is adopted.
    Ref* receive() {
        reset();
        return &ref_;
    }

private:
    explicit CFReference(Ref ref) : ref_(ref) {}

    void reset() {
        if (ref_ != nullptr) CFRelease(std::exchange(ref_, nullptr));
    }

    Ref ref_ = nullptr;
};

}  // namespace Desktop::MacOS
