#include "Desktop/Desktop.hpp"
#include "RoomcodeCLI/RoomcodeMain.hpp"

// Arguments are ignored: the host starts roomcode without any.
int main() {
    return RoomcodeCLI::runRoomcode(Desktop::current());
}
