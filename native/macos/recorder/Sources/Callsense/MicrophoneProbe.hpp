#pragma once

#include "Desktop/AudioHardware.hpp"

namespace Callsense {

// Whether any process runs I/O on the default input device. Every Core Audio
// error reads as "not running": the probe is evidence, never a failure.
bool defaultInputIsRunning(Desktop::AudioHardware& audio);

}  // namespace Callsense
