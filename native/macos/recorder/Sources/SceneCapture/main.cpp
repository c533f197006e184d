#include <iostream>
#include <string>
#include <vector>

#include "Desktop/Desktop.hpp"
#include "SceneCapture/SceneCaptureMain.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return SceneCapture::runSceneCapture(arguments, Desktop::current(), std::cout, std::cerr);
}
