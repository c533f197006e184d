#include "Desktop/macos/MacPlatform.hpp"

namespace Desktop {

Platform& current() {
    // Never destroyed: a signal handler may still reach the desktop on another
    // thread while the main thread runs the static destructors of exit().
    static MacOS::MacPlatform* const platform = new MacOS::MacPlatform();
    return *platform;
}

}  // namespace Desktop
