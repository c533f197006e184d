#include "Desktop/macos/MacTerminationSignals.hpp"

#include <dispatch/dispatch.h>

#include <csignal>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

namespace Desktop::MacOS {

namespace {

// A source delivers only while something holds it, and a signal can arrive at
// any moment until the process is gone, even while static objects are being
// destroyed; so the sources are held by a list that is never destroyed.
void keepForLifeOfProcess(dispatch_source_t source) {
    static std::mutex* const guard = new std::mutex();
    static std::vector<dispatch_source_t>* const sources = new std::vector<dispatch_source_t>();
    const std::lock_guard<std::mutex> lock(*guard);
    sources->push_back(source);
}

}  // namespace

void MacTerminationSignals::ignore(int signal) {
    std::signal(signal, SIG_IGN);
}

void MacTerminationSignals::watch(int signal, std::function<void()> handler) {
    dispatch_source_t source =
        dispatch_source_create(DISPATCH_SOURCE_TYPE_SIGNAL, static_cast<uintptr_t>(signal), 0,
                               dispatch_get_global_queue(QOS_CLASS_DEFAULT, 0));
    if (source == nil) return;
    dispatch_source_set_event_handler(source, ^{
      handler();
    });
    dispatch_resume(source);
    keepForLifeOfProcess(source);
}

}  // namespace Desktop::MacOS
