#include "RoomcodeCLI/MeetingIdOutput.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "Text/JsonLine.hpp"

namespace RoomcodeCLI {

namespace {

// The host reads until end of file, so a short write must not cut the line.
void writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace

std::optional<std::string> encodedLine(const MeetingIdOutput& output) {
    Text::JsonLine line;
    line.add("ok", output.ok).add("meetingId", output.meetingId).add("code", output.code);
    return line.finish();
}

void emit(const MeetingIdOutput& output) {
    const std::optional<std::string> line = encodedLine(output);
    if (!line) {
        writeAll(STDERR_FILENO, "encode_failed\n");
        std::exit(3);
    }
    writeAll(STDOUT_FILENO, *line);
    // A pipe cannot be synchronised; that error means nothing to the host.
    (void)::fsync(STDOUT_FILENO);
}

}  // namespace RoomcodeCLI
