#include "Noticeplay/TerminationHandlers.hpp"

#include <csignal>
#include <cstdlib>

namespace Noticeplay {

namespace {

void watchSignal(Desktop::TerminationSignals& signals, PlaybackRestoreContext& context, int signal,
                 int exitStatus) {
    signals.watch(signal, [&context, exitStatus] {
        // _Exit rather than exit: the main thread is still running, and static
        // destructors must not tear down what it is using. Standard output needs
        // no flush, since the main thread only writes after claiming the exit.
        if (context.restoreAllForSignal()) std::_Exit(exitStatus);
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
