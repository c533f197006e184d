#pragma once

// A Zoom window whose children, all pressable buttons, are first `hanging` ones
// that never answer within a time-out, then `answering` ones that answer at once.

#include "Support/SceneDesktop.hpp"

namespace RoomcodeTesting {

inline Testing::Json windowWithChildren(int hanging, int answering) {
    Testing::Json children = Testing::Json::array();
    for (int i = 0; i < hanging + answering; ++i) {
        Testing::Json child = {
            {"role", "AXButton"}, {"title", "b"}, {"actions", Testing::Json::array({"AXPress"})}};
        if (i < hanging) child["responseTime"] = 1;
        children.push_back(std::move(child));
    }
    const Testing::Json window = {{"role", "AXWindow"}, {"title", "Zoom Meeting"}, {"children", children}};
    const Testing::Json zoom = {
        {"pid", 501}, {"name", "zoom.us"}, {"windows", Testing::Json::array({window})}};
    return {{"accessibilityTrusted", true}, {"applications", Testing::Json::array({zoom})}};
}

}  // namespace RoomcodeTesting
