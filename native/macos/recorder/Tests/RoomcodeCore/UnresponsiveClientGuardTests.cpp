#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "RoomcodeCore/system/UnresponsiveClientGuard.hpp"

namespace {

using Desktop::AxError::attributeUnsupported;
using Desktop::AxError::cannotComplete;
using Desktop::AxError::success;
using RoomcodeCore::UnresponsiveClientGuard;

// Answers each request that reaches it with the next scripted code.
class ScriptedClient final : public Desktop::Accessibility {
public:
    std::deque<std::int32_t> codes;
    int requests = 0;

    std::int32_t next() {
        ++requests;
        if (codes.empty()) return success;
        const std::int32_t code = codes.front();
        codes.pop_front();
        return code;
    }
    template <typename T>
    Desktop::PlatformResult<T> answer(T value) {
        const std::int32_t code = next();
        if (code != success) return {.code = code, .value = {}};
        return {.code = success, .value = std::move(value)};
    }

    bool isProcessTrusted() override { return true; }
    Desktop::Element applicationElement(Desktop::Pid) override { return {}; }
    Desktop::PlatformResult<Desktop::AxValue> copyAttributeValue(const Desktop::Element&,
                                                                 std::string_view) override {
        return answer(Desktop::AxValue{std::string("AXButton")});
    }
    Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
    copyMultipleAttributeValues(const Desktop::Element&, const std::vector<std::string>&) override {
        return answer(std::vector<Desktop::PlatformResult<Desktop::AxValue>>{});
    }
    Desktop::PlatformResult<Desktop::AxList> copyAttributeNames(const Desktop::Element&) override {
        return answer(Desktop::AxList{});
    }
    Desktop::PlatformResult<Desktop::AxList> copyActionNames(const Desktop::Element&) override {
        return answer(Desktop::AxList{Desktop::AxValue{std::string("AXPress")}});
    }
    Desktop::PlatformResult<bool> isAttributeSettable(const Desktop::Element&, std::string_view) override {
        return answer(true);
    }
    std::int32_t setStringAttributeValue(const Desktop::Element&, std::string_view,
                                         std::string_view) override {
        return next();
    }
    std::int32_t performAction(const Desktop::Element&, std::string_view) override { return next(); }
    std::int32_t setMessagingTimeout(const Desktop::Element&, float) override { return success; }
    std::uint64_t hash(const Desktop::Element&) override { return 0; }
    bool equal(const Desktop::Element&, const Desktop::Element&) override { return true; }
};

std::deque<std::int32_t> repeated(std::int32_t code, int times) {
    return std::deque<std::int32_t>(static_cast<std::size_t>(times), code);
}

TEST(UnresponsiveClientGuard, ReadsStopReachingAClientThatLeftEightRequestsInARowUnanswered) {
    struct Case {
        const char* name;
        std::deque<std::int32_t> codes;
        int reads;
        int expectedRequests;
    };
    std::deque<std::int32_t> answeredBetween = repeated(cannotComplete, 7);
    answeredBetween.push_back(attributeUnsupported);  // an error is still an answer
    for (std::int32_t code : repeated(cannotComplete, 7))
        answeredBetween.push_back(code);
    const Case cases[] = {
        {"hung from the start", repeated(cannotComplete, 20), 20, UnresponsiveClientGuard::unansweredLimit},
        {"seven unanswered are not enough", repeated(cannotComplete, 7), 20, 20},
        {"an answer starts the count again", answeredBetween, 20, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedClient client;
        client.codes = c.codes;
        UnresponsiveClientGuard guard(client);
        const Desktop::Element element;
        for (int i = 0; i < c.reads; ++i) {
            switch (i % 4) {
                case 0:
                    (void)guard.copyAttributeValue(element, "AXTitle");
                    break;
                case 1:
                    (void)guard.copyMultipleAttributeValues(element, {"AXRole"});
                    break;
                case 2:
                    (void)guard.copyAttributeNames(element);
                    break;
                default:
                    (void)guard.isAttributeSettable(element, "AXValue");
                    break;
            }
        }
        EXPECT_EQ(client.requests, c.expectedRequests);
    }
}

TEST(UnresponsiveClientGuard, PressesAndTheirActionListStillReachAHungClientAndAnAnswerEndsTheHang) {
    ScriptedClient client;
    client.codes = repeated(cannotComplete, UnresponsiveClientGuard::unansweredLimit);
    UnresponsiveClientGuard guard(client);
    const Desktop::Element element;
    for (int i = 0; i < UnresponsiveClientGuard::unansweredLimit; ++i)
        (void)guard.copyAttributeValue(element, "AXTitle");
    ASSERT_TRUE(guard.clientTakenAsHung());

    const auto skipped = guard.copyAttributeValue(element, "AXTitle");
    EXPECT_EQ(skipped.code, cannotComplete);
    EXPECT_FALSE(skipped.value);
    EXPECT_EQ(client.requests, UnresponsiveClientGuard::unansweredLimit);

    // Closing a popover needs the action list and the press.
    EXPECT_TRUE(guard.copyActionNames(element).succeeded());
    EXPECT_EQ(guard.performAction(element, "AXPress"), success);
    EXPECT_EQ(client.requests, UnresponsiveClientGuard::unansweredLimit + 2);
    // The client answered, so reads go to it again.
    EXPECT_FALSE(guard.clientTakenAsHung());
    EXPECT_TRUE(guard.copyAttributeValue(element, "AXTitle").succeeded());
}

}  // namespace
