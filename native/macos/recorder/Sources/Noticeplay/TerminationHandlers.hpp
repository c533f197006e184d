#pragma once

#include "Desktop/System.hpp"
#include "Noticeplay/PlaybackRestoreContext.hpp"

namespace Noticeplay {

inline constexpr int sigtermExitStatus = 143;  // 128 + SIGTERM
inline constexpr int sigintExitStatus = 130;   // 128 + SIGINT

// SIGTERM and SIGINT stop ending the process by themselves; instead a handler off
// the main thread puts everything back and ends the process with 128 plus the
// signal number, printing nothing. Install before anything can be changed.
void installTerminationHandlers(Desktop::TerminationSignals& signals, PlaybackRestoreContext& context);

}  // namespace Noticeplay
