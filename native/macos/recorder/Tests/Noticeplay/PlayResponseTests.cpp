#include <gtest/gtest.h>

#include "FakeAudio.hpp"
#include "Noticeplay/PlayResponse.hpp"

namespace {

using Noticeplay::PlayResponse;
using NoticeplayTesting::success;

TEST(PlayResponse, EncodesWithSortedKeysAndWithoutAbsentFields) {
    struct Case {
        PlayResponse response;
        const char* line;
    };
    const Case cases[] = {
        {PlayResponse::failure("MISSING_FILE", "Missing --file"),
         R"({"errorCode":"MISSING_FILE","errorMessage":"Missing --file","ok":false})"},
        {PlayResponse::failure("FILE_NOT_FOUND", "Audio file not found: /tmp/a b/\"x\".wav"),
         R"({"errorCode":"FILE_NOT_FOUND","errorMessage":"Audio file not found: \/tmp\/a b\/\"x\".wav","ok":false})"},
        {success("BuiltInSpeakerDevice", "MacBook Pro Speakers", true),
         R"({"deviceId":"BuiltInSpeakerDevice","deviceName":"MacBook Pro Speakers","ok":true,"restoredDefault":true})"},
        {success(std::nullopt,
                 "Haut-parleurs MacBook\xC2\xA0"
                 "Air",
                 false),
         "{\"deviceName\":\"Haut-parleurs MacBook\xC2\xA0"
         "Air\",\"ok\":true,\"restoredDefault\":false}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Noticeplay::encodeResponse(c.response), std::string(c.line) + "\n");
    }
}

TEST(PlayResponse, TextThatCannotBeEncodedGivesTheFixedFallbackLine) {
    const auto response = PlayResponse::failure("FILE_NOT_FOUND", "Audio file not found: /tmp/\xFF.wav");
    EXPECT_EQ(Noticeplay::encodeResponse(response), std::nullopt);

    ::testing::internal::CaptureStdout();
    const bool written = Noticeplay::emit(response);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "{\"ok\":false,\"errorCode\":\"ENCODE_FAILED\"}\n");
    EXPECT_FALSE(written);
}

}  // namespace
