#pragma once

// A built program started on a simulated desktop of its own scene, for the
// tests that run it many times and end it at chosen moments.

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace Testing {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh folder under /tmp; the test ends with status 2 when none can be made.
inline std::filesystem::path temporaryFolder(std::string_view prefix) {
    std::string name = "/tmp/" + std::string(prefix) + "-XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    return name;
}

struct SceneRun {
    std::vector<std::string> arguments;  // the program first
    std::filesystem::path scene;
    std::filesystem::path journal;  // emptied before the start
    std::filesystem::path out;      // standard output
    std::filesystem::path err;      // standard error
};

// Starts the program with the scene and the journal in its environment, in place
// of any desktop the test itself was given; the test ends with status 2 when it
// cannot start. The caller waits for the returned process.
inline pid_t startOnScene(const SceneRun& run) {
    std::filesystem::remove(run.journal);
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        if (!variable.starts_with("DESKTOP_")) environment.push_back(variable);
    }
    environment.push_back("DESKTOP_SCENE=" + run.scene.string());
    environment.push_back("DESKTOP_JOURNAL=" + run.journal.string());
    std::vector<std::string> arguments = run.arguments;
    const auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> list;
        for (auto& text : strings)
            list.push_back(text.data());
        list.push_back(nullptr);
        return list;
    };
    auto argv = pointers(arguments);
    auto envp = pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, run.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, run.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::cerr << "cannot start " << run.arguments.front() << ": " << std::strerror(spawned) << "\n";
        std::exit(2);
    }
    return pid;
}

}  // namespace Testing
