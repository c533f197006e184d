#include <string>
#include <vector>

#include "Callsense/CallsenseMain.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    return Callsense::main(arguments, Desktop::current());
}
