#pragma once

// How long what was read from the client stays true. Every request is a round
// trip to the client, and the locator's classifiers, the search-root filters,
// the screen-sharing test and the reader's searches all look at the same
// windows; between two of the tool's own changes to the client's user
// interface (a press, a close, a write) they can share one reading of each
// element. A change starts a new window state, and nothing read in an earlier
// one is used again.

#include <cstdint>

namespace RoomcodeCore {

class WindowState {
public:
    // Stamped on every reading, so that a reading of an earlier state can be told apart.
    std::uint64_t current() const { return current_; }
    // The tool has sent the client something that may change what it shows.
    void changed() { ++current_; }

private:
    std::uint64_t current_ = 0;
};

}  // namespace RoomcodeCore
