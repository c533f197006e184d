// Runs on the desktop that DESKTOP_SCENE names and does one thing to it:
//   summary            prints what the desktop holds, as one JSON line
//   restore-on-signal  switches the default output and mutes, then a SIGTERM
//                      watcher restores both and leaves through _Exit(143)

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Desktop/Desktop.hpp"

namespace {

const Desktop::PropertyAddress defaultOutput{.selector = Desktop::CoreAudio::defaultOutputDevice};
const Desktop::PropertyAddress muteAddress{.selector = Desktop::CoreAudio::mute,
                                           .scope = Desktop::CoreAudio::scopeOutput};

int summary() {
    auto& desktop = Desktop::current();
    const auto windows = desktop.windowServer().onScreenWindows();
    const auto devices = desktop.audioHardware().propertyDataSize(
        Desktop::CoreAudio::systemObject, {.selector = Desktop::CoreAudio::hardwareDevices});
    std::printf("{\"trusted\":%s,\"applications\":%zu,\"windows\":%zu,\"deviceBytes\":%u}\n",
                desktop.accessibility().isProcessTrusted() ? "true" : "false",
                desktop.workspace().runningApplications().size(), windows ? windows->size() : 0,
                devices.value.value_or(0));
    return 0;
}

int restoreOnSignal() {
    auto& desktop = Desktop::current();
    auto& audio = desktop.audioHardware();
    desktop.terminationSignals().ignore(SIGTERM);
    desktop.terminationSignals().watch(SIGTERM, [&audio] {
        audio.writeUInt32(41, muteAddress, 0);
        audio.writeUInt32(Desktop::CoreAudio::systemObject, defaultOutput, 42);
        std::_Exit(143);
    });
    audio.writeUInt32(Desktop::CoreAudio::systemObject, defaultOutput, 41);
    audio.writeUInt32(41, muteAddress, 1);
    ::kill(::getpid(), SIGTERM);
    for (int i = 0; i < 500; ++i)
        ::usleep(10000);
    return 1;  // the watcher never ran
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "summary") return summary();
    if (mode == "restore-on-signal") return restoreOnSignal();
    std::fprintf(stderr, "usage: DesktopSimProbe summary | restore-on-signal\n");
    return 2;
}
