#include "RoomcodeCore/AXNode.hpp"

namespace RoomcodeCore {

const char* SearchException::what() const noexcept {
    switch (failure_) {
        case SearchFailure::budgetExhausted:
            return "budgetExhausted";
        case SearchFailure::cannotComplete:
            return "cannotComplete";
        case SearchFailure::notImplemented:
            return "notImplemented";
    }
    return "searchFailure";
}

}  // namespace RoomcodeCore
