#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Desktop/Desktop.hpp"
#include "Desktop/sim/Scene.hpp"
#include "Desktop/sim/SimPlatform.hpp"
#include "RoomcodeCLI/RoomcodeMain.hpp"
#include "RoomcodeCore/system/ForwardingAccessibility.hpp"
#include "Support/PlatformWith.hpp"

namespace {

// The desktop of the scene, with every Accessibility request roomcode sends
// noted by the window state it falls in: a press or a write starts a new one.
class RequestLog final : public RoomcodeCore::ForwardingAccessibility {
public:
    explicit RequestLog(Desktop::Accessibility& desktop) : ForwardingAccessibility(desktop) {}

    using PerState = std::map<std::pair<std::uint64_t, int>, int>;  // (element hash, state) to requests
    PerState batches;
    PerState actionLists;
    PerState singleReads;
    int state = 0;

    Desktop::PlatformResult<Desktop::AxValue> copyAttributeValue(const Desktop::Element& element,
                                                                 std::string_view attribute) override {
        ++singleReads[{next().hash(element), state}];
        return next().copyAttributeValue(element, attribute);
    }
    Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
    copyMultipleAttributeValues(const Desktop::Element& element,
                                const std::vector<std::string>& attributes) override {
        ++batches[{next().hash(element), state}];
        return next().copyMultipleAttributeValues(element, attributes);
    }
    Desktop::PlatformResult<Desktop::AxList> copyActionNames(const Desktop::Element& element) override {
        ++actionLists[{next().hash(element), state}];
        return next().copyActionNames(element);
    }
    std::int32_t setStringAttributeValue(const Desktop::Element& element, std::string_view attribute,
                                         std::string_view value) override {
        const std::int32_t result = next().setStringAttributeValue(element, attribute, value);
        ++state;
        return result;
    }
    std::int32_t performAction(const Desktop::Element& element, std::string_view action) override {
        const std::int32_t result = next().performAction(element, action);
        ++state;
        return result;
    }
};

bool sharesHashes(const std::string& sceneText) {
    return sceneText.find("\"hash\"") != std::string::npos;
}

// Every bundled scene, whatever it tests: within one window state no element
// is asked twice for its attributes or its actions, and the window list (the
// one single-attribute read) is read once.
TEST(RoomcodeReads, EachElementOncePerWindowStateOnEveryScene) {
    int scenes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(RECORDER_SCENES_DIR)) {
        if (entry.path().extension() != ".json") continue;
        std::ifstream in(entry.path());
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Elements are told apart by their hash here; scenes that give two elements one hash are left out.
        if (sharesHashes(text)) continue;
        SCOPED_TRACE(entry.path().filename().string());
        Desktop::Sim::SimPlatform desktop(Desktop::Sim::readSceneFile(entry.path().string()));
        RequestLog log(desktop.accessibility());
        Testing::PlatformWith platform(desktop, {.accessibility = log});
        testing::internal::CaptureStdout();
        RoomcodeCLI::runRoomcode(platform);
        testing::internal::GetCapturedStdout();
        ++scenes;

        for (const auto* requests : {&log.batches, &log.actionLists}) {
            for (const auto& [elementAndState, count] : *requests) {
                EXPECT_EQ(count, 1) << "element hash " << elementAndState.first << ", state "
                                    << elementAndState.second;
            }
        }
        std::map<int, int> singleReadsPerState;
        for (const auto& [elementAndState, count] : log.singleReads)
            singleReadsPerState[elementAndState.second] += count;
        for (const auto& [state, count] : singleReadsPerState)
            EXPECT_EQ(count, 1) << "state " << state;
    }
    EXPECT_GT(scenes, 20);
}

}  // namespace
