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
#include "Support/PlatformWith.hpp"

namespace {

// The desktop of the scene, with every Accessibility request roomcode sends
// noted by the window state it falls in: a press or a write starts a new one.
class RequestLog final : public Desktop::Accessibility {
public:
    explicit RequestLog(Desktop::Accessibility& desktop) : desktop_(desktop) {}

    using PerState = std::map<std::pair<std::uint64_t, int>, int>;  // (element hash, state) to requests
    PerState batches;
    PerState actionLists;
    PerState singleReads;
    int state = 0;

    bool isProcessTrusted() override { return desktop_.isProcessTrusted(); }
    Desktop::Element applicationElement(Desktop::Pid pid) override {
        return desktop_.applicationElement(pid);
    }
    Desktop::PlatformResult<Desktop::AxValue> copyAttributeValue(const Desktop::Element& element,
                                                                 std::string_view attribute) override {
        ++singleReads[{desktop_.hash(element), state}];
        return desktop_.copyAttributeValue(element, attribute);
    }
    Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
    copyMultipleAttributeValues(const Desktop::Element& element,
                                const std::vector<std::string>& attributes) override {
        ++batches[{desktop_.hash(element), state}];
        return desktop_.copyMultipleAttributeValues(element, attributes);
    }
    Desktop::PlatformResult<Desktop::AxList> copyAttributeNames(const Desktop::Element& element) override {
        return desktop_.copyAttributeNames(element);
    }
    Desktop::PlatformResult<Desktop::AxList> copyActionNames(const Desktop::Element& element) override {
        ++actionLists[{desktop_.hash(element), state}];
        return desktop_.copyActionNames(element);
    }
    Desktop::PlatformResult<bool> isAttributeSettable(const Desktop::Element& element,
                                                      std::string_view attribute) override {
        return desktop_.isAttributeSettable(element, attribute);
    }
    std::int32_t setStringAttributeValue(const Desktop::Element& element, std::string_view attribute,
                                         std::string_view value) override {
        const std::int32_t result = desktop_.setStringAttributeValue(element, attribute, value);
        ++state;
        return result;
    }
    std::int32_t performAction(const Desktop::Element& element, std::string_view action) override {
        const std::int32_t result = desktop_.performAction(element, action);
        ++state;
        return result;
    }
    std::int32_t setMessagingTimeout(const Desktop::Element& element, float seconds) override {
        return desktop_.setMessagingTimeout(element, seconds);
    }
    std::uint64_t hash(const Desktop::Element& element) override { return desktop_.hash(element); }
    bool equal(const Desktop::Element& a, const Desktop::Element& b) override { return desktop_.equal(a, b); }

private:
    Desktop::Accessibility& desktop_;
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
