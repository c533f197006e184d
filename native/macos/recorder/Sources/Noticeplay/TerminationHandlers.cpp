#include "Noticeplay/TerminationHandlers.hpp"

#include <csignal>
#include <cstdlib>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NOTICEPLAY_LEAK_CHECKED 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define NOTICEPLAY_LEAK_CHECKED 1
#endif
#ifdef NOTICEPLAY_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace Noticeplay {

namespace {

// _Exit skips the leak check that sanitizer builds make at exit; make it here,
// so that the signal path is held to the same standard as a normal exit.
void checkLeaksBeforeQuickExit() {
#ifdef NOTICEPLAY_LEAK_CHECKED
    __lsan_do_recoverable_leak_check();
#endif
}

void watchSignal(Desktop::TerminationSignals& signals, PlaybackRestoreContext& context, int signal,
                 int exitStatus) {
    signals.watch(signal, [&context, exitStatus] {
        // _Exit rather than exit: the main thread is still running, and static
        // destructors must not tear down what it is using. Standard output needs
        // no flush, since the main thread only writes after claiming the exit.
        if (context.restoreAllForSignal()) {
            checkLeaksBeforeQuickExit();
            std::_Exit(exitStatus);
        }
    });
}

}  // namespace

void installTerminationHandlers(Desktop::TerminationSignals& signals, PlaybackRestoreContext& context) {
    signals.ignore(SIGTERM);
    signals.ignore(SIGINT);
    watchSignal(signals, context, SIGTERM, sigtermExitStatus);
    watchSignal(signals, context, SIGINT, sigintExitStatus);
}

}  // namespace Noticeplay
