#include "Noticeplay/PlayResponse.hpp"

#include <cstdio>

#include "Text/JsonLine.hpp"

namespace Noticeplay {

std::optional<std::string> encodeResponse(const PlayResponse& response) {
    return Text::JsonLine(Text::JsonLine::KeyOrder::sorted)
        .add("ok", response.ok)
        .add("errorCode", response.errorCode)
        .add("errorMessage", response.errorMessage)
        .add("deviceId", response.deviceId)
        .add("deviceName", response.deviceName)
        .add("restoredDefault", response.restoredDefault)
        .finish();
}

bool emit(const PlayResponse& response) {
    const auto line = encodeResponse(response);
    const std::string& text = line ? *line : std::string(encodeFailedLine);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return line.has_value();
}

}  // namespace Noticeplay
