#include "Desktop/Desktop.hpp"
#include "RoomcodeCLI/RoomcodeMain.hpp"
#include "RoomcodeCLI/TerminationGuard.hpp"

// Arguments are ignored: the host starts roomcode without any.
int main() {
    auto& platform = Desktop::current();
    // Deliberately leaked: a termination handler may still reach it while the
    // process exits.
    static auto* const termination = new RoomcodeCLI::TerminationGuard(platform.clock());
    RoomcodeCLI::installTerminationHandlers(platform.terminationSignals(), *termination);
    return RoomcodeCLI::runRoomcode(platform, termination);
}
