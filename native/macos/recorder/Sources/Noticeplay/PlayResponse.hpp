#pragma once

#include <optional>
#include <string>

namespace Noticeplay {

// The one line noticeplay prints.
struct PlayResponse {
    bool ok = false;
    std::optional<std::string> errorCode{};
    std::optional<std::string> errorMessage{};
    std::optional<std::string> deviceId{};
    std::optional<std::string> deviceName{};
    std::optional<bool> restoredDefault{};

    static PlayResponse failure(std::string code, std::string message) {
        PlayResponse response;
        response.errorCode = std::move(code);
        response.errorMessage = std::move(message);
        return response;
    }

    bool operator==(const PlayResponse&) const = default;
};

// Written when the response cannot be encoded; its keys are deliberately not sorted.
inline constexpr char encodeFailedLine[] = "{\"ok\":false,\"errorCode\":\"ENCODE_FAILED\"}\n";

// The response as one JSON line with sorted keys, or absent when it cannot be
// encoded (text that is not valid UTF-8).
std::optional<std::string> encodeResponse(const PlayResponse& response);

// Writes the response line, or the fixed fallback line, to standard output and
// flushes it. False when the fallback line was written.
bool emit(const PlayResponse& response);

}  // namespace Noticeplay
