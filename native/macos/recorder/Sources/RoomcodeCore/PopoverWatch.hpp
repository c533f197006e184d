#pragma once

// What the program around the reader learns of the popovers the reader opens,
// so that a run can be ended at any moment without leaving one open over the
// meeting. The reader tells it before each press and around each close; the
// program may ask the reader to close what is open at once and stop.

#include <exception>

namespace RoomcodeCore {

class PopoverWatch {
public:
    virtual ~PopoverWatch() = default;

    // Before a press that may open a popover.
    virtual void opening() = 0;
    // The reader is to close what it opened without delay and press nothing else.
    virtual bool stopRequested() const = 0;
    // Until the close begins, no request may reach the client: the reader is
    // on its way to the close, and reading on would only delay it.
    virtual bool requestsHeld() const = 0;
    // The close of what the last press opened begins; requests reach the
    // client again.
    virtual void closing() = 0;
    // What the last press opened is closed, or the press opened nothing.
    virtual void closed() = 0;
};

// Ends a request that was held back (PopoverWatch::requestsHeld), and the
// reading it belongs to. Never reaches past the reader's close.
class ReadingStopped : public std::exception {
public:
    const char* what() const noexcept override { return "reading stopped"; }
};

}  // namespace RoomcodeCore
