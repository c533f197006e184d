#include "RoomcodeCore/WindowChromeButtons.hpp"

#include "Text/Text.hpp"

namespace RoomcodeCore::WindowChromeButtons {

bool isWindowButton(const AXNode& node) {
    // The platform's subroles for the title-bar buttons all name their job.
    const std::string subrole = Text::lowercase(node.subrole().value_or(""));
    if (Text::containsAny(subrole, {"close", "minimize", "zoom", "fullscreen", "full-screen"})) return true;

    const std::string title = Text::lowercase(node.title().value_or(""));
    if (title == "close" || title == "minimize" || title == "zoom" || Text::contains(title, "full screen")) {
        return true;
    }

    const std::string roleDescription = Text::lowercase(node.roleDescription().value_or(""));
    return Text::containsAny(roleDescription, {"full screen", "minimize", "close button"});
}

}  // namespace RoomcodeCore::WindowChromeButtons
