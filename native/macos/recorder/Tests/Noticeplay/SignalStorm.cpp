// Runs the built noticeplay many times on a real-time simulated desktop and ends
// each run with SIGINT or SIGTERM at a random moment, from its start to its end.
// Whatever moment the signal hits, the journal must show the default output, mute
// and volume back where the user had them, the status must say how the run ended,
// and a run ended by a signal must print nothing.
//
//   NoticeplaySignalStorm <path to noticeplay> [runs]

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "Support/ProgramOnScene.hpp"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t headphones = 42;
constexpr std::uint32_t speakers = 41;
constexpr unsigned seed = 20240611;
constexpr int workers = 4;

// The user's desktop before a run: what every run must leave behind.
struct Desktop {
    const char* name;
    std::uint32_t defaultOutput;
    std::optional<std::uint32_t> mute;
    std::optional<double> volume;
    json speakerDevice;
};

std::vector<Desktop> desktops() {
    const json base = {{"id", speakers},
                       {"name", "MacBook Pro Speakers"},
                       {"uid", "BuiltInSpeakerDevice"},
                       {"outputChannels", {2}}};
    auto muted = base;
    muted["mute"] = 1;
    muted["volume"] = 0.25;
    auto alreadyDefault = base;
    alreadyDefault["mute"] = 0;
    alreadyDefault["volume"] = 0.5;
    auto noVolume = base;
    noVolume["mute"] = 1;
    auto unreadableVolume = base;
    unreadableVolume["mute"] = 1;
    unreadableVolume["volume"] = {{"value", 0.75}, {"readError", "what"}};
    return {
        {"headphones default, speakers muted", headphones, 1, 0.25, muted},
        {"speakers already the default", speakers, 0, 0.5, alreadyDefault},
        {"speakers without volume", headphones, 1, std::nullopt, noVolume},
        {"speakers with an unreadable volume", headphones, 1, 0.75, unreadableVolume},
    };
}

json sceneFor(const Desktop& desktop) {
    return {{"description", std::string("signal storm: ") + desktop.name},
            {"clock", "real"},
            {"audio",
             {{"defaultOutput", desktop.defaultOutput},
              {"devices",
               {{{"id", 40}, {"name", "MacBook Pro Microphone"}, {"inputChannels", {1}}},
                {{"id", headphones},
                 {"name", "AirPods Pro"},
                 {"uid", "AirPodsPro-1"},
                 {"outputChannels", {2}},
                 {"mute", 0},
                 {"volume", 0.6}},
                desktop.speakerDevice}}}}};
}

// 8 kHz, 8-bit mono PCM of silence: the duration is all that matters here.
void writeWav(const fs::path& path, double seconds) {
    const auto samples = static_cast<std::uint32_t>(seconds * 8000);
    std::ofstream out(path, std::ios::binary);
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const auto u16 = [&](std::uint16_t v) {
        out.put(static_cast<char>(v & 0xFF));
        out.put(static_cast<char>(v >> 8));
    };
    out.write("RIFF", 4);
    u32(36 + samples);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);     // PCM
    u16(1);     // mono
    u32(8000);  // sample rate
    u32(8000);  // byte rate
    u16(1);     // block align
    u16(8);     // bits per sample
    out.write("data", 4);
    u32(samples);
    for (std::uint32_t i = 0; i < samples; ++i)
        out.put(static_cast<char>(0x80));
}

// When the signal goes out: `delay` seconds after the start, or after the first
// change the program makes (the switch of the default output). Start-up takes
// very different times in different builds and under load; counting from the
// switch keeps the signals spread over the part of the run that changes things.
struct Trigger {
    bool fromSwitch = false;
    double delay = 0;
};

struct Outcome {
    int waitStatus = 0;
    std::optional<double> switchedAt;  // seconds after the start, when watched for
    std::string stdoutText;
    std::string stderrText;
    std::vector<json> journal;
    double seconds = 0;
};

// Starts the program, sends `signal` when the trigger (if any) says, and waits for it.
Outcome runOnce(const fs::path& program, const fs::path& scene, const fs::path& wav, const fs::path& dir,
                std::optional<Trigger> trigger, int signal) {
    const auto out = dir / "stdout", err = dir / "stderr", journal = dir / "journal";
    const auto start = Clock::now();
    const pid_t pid =
        Testing::startOnScene({.arguments = {program.string(), "play-speakers", "--file", wav.string()},
                               .scene = scene,
                               .journal = journal,
                               .out = out,
                               .err = err});
    Outcome outcome;
    bool reaped = false;
    // Watch for the first journal line, as long as the program runs.
    if (!trigger || trigger->fromSwitch) {
        for (;;) {
            std::error_code error;
            if (fs::file_size(journal, error) > 0 && !error) {
                outcome.switchedAt = std::chrono::duration<double>(Clock::now() - start).count();
                break;
            }
            if (::waitpid(pid, &outcome.waitStatus, WNOHANG) == pid) {
                reaped = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(250));
        }
    }
    if (trigger && !reaped) {
        std::this_thread::sleep_for(std::chrono::duration<double>(trigger->delay));
        ::kill(pid, signal);  // a finished but unreaped child ignores it
    }
    while (!reaped && ::waitpid(pid, &outcome.waitStatus, 0) < 0 && errno == EINTR) {
    }
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    outcome.stdoutText = Testing::readFile(out);
    outcome.stderrText = Testing::readFile(err);
    std::istringstream lines(Testing::readFile(journal));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) outcome.journal.push_back(json::parse(line));
    }
    return outcome;
}

// The desktop the journal leaves behind, starting from the scene's.
struct Left {
    std::uint32_t defaultOutput;
    std::optional<std::uint32_t> mute;
    std::optional<double> volume;
};

std::optional<std::string> checkJournal(const Desktop& desktop, const std::vector<json>& journal,
                                        Left& left) {
    left = {desktop.defaultOutput, desktop.mute, desktop.volume};
    for (const auto& entry : journal) {
        const auto event = entry.value("event", "");
        if (event == "play") continue;
        if (entry.value("status", -1) != 0) return "a change failed: " + entry.dump();
        if (event == "setDefaultOutput") {
            left.defaultOutput = entry["after"].get<std::uint32_t>();
        } else if (event == "setMute" && entry["device"] == speakers) {
            left.mute = entry["after"].get<std::uint32_t>();
        } else if (event == "setVolume" && entry["device"] == speakers) {
            left.volume = entry["after"].get<double>();
        } else {
            return "unexpected change: " + entry.dump();
        }
    }
    if (left.defaultOutput != desktop.defaultOutput) return std::string("default output left switched");
    if (left.mute != desktop.mute) return std::string("mute left changed");
    if (left.volume != desktop.volume) return std::string("volume left changed");
    return std::nullopt;
}

// How far the run had got when it ended, read from its journal.
std::string phaseOf(const std::vector<json>& journal, int exitStatus) {
    if (exitStatus == 0) return "finished (signal during or after the final restore)";
    bool switched = false, volumeSet = false, played = false;
    for (const auto& entry : journal) {
        const auto event = entry.value("event", "");
        if (event == "setDefaultOutput") switched = true;
        if (event == "setMute" || event == "setVolume") volumeSet = true;
        if (event == "play") played = true;
    }
    if (played) return "during playback or its tail";
    if (volumeSet) return "after mute and volume, before playback";
    if (switched) return "between the switch and mute and volume";
    return "before the switch";
}

std::string successLine() {
    return R"({"deviceId":"BuiltInSpeakerDevice","deviceName":"MacBook Pro Speakers","ok":true,"restoredDefault":true})"
           "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: NoticeplaySignalStorm <noticeplay> [runs]\n";
        return 2;
    }
    const fs::path program = fs::absolute(argv[1]);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 240;

    const fs::path work = Testing::temporaryFolder("noticeplay-storm");
    const std::vector<double> durations = {0.1, 0.2, 0.3};
    std::vector<fs::path> wavs;
    for (const auto seconds : durations) {
        wavs.push_back(work / ("notice-" + std::to_string(static_cast<int>(seconds * 1000)) + "ms.wav"));
        writeWav(wavs.back(), seconds);
    }
    const auto allDesktops = desktops();
    std::vector<fs::path> scenes;
    for (std::size_t i = 0; i < allDesktops.size(); ++i) {
        scenes.push_back(work / ("scene-" + std::to_string(i) + ".json"));
        std::ofstream(scenes.back()) << sceneFor(allDesktops[i]).dump(2);
    }

    // An undisturbed run of each length tells how long start-up and the part from
    // the switch to the end take on this machine and build.
    struct Span {
        double startUp = 0, fromSwitch = 0;
    };
    std::vector<Span> fullRun;
    int failures = 0;
    const auto report = [&](const std::string& what, const Outcome& outcome) {
        ++failures;
        std::cerr << "FAIL: " << what << "\n  status " << outcome.waitStatus << "\n  stdout "
                  << outcome.stdoutText << "\n  stderr " << outcome.stderrText << "\n  journal";
        for (const auto& entry : outcome.journal)
            std::cerr << "\n    " << entry.dump();
        std::cerr << "\n";
    };
    fs::create_directories(work / "calibrate");
    for (const auto& wav : wavs) {
        const auto outcome = runOnce(program, scenes[0], wav, work / "calibrate", std::nullopt, 0);
        Left left{};
        if (!WIFEXITED(outcome.waitStatus) || WEXITSTATUS(outcome.waitStatus) != 0 ||
            outcome.stdoutText != successLine() || checkJournal(allDesktops[0], outcome.journal, left)) {
            report("undisturbed run of " + wav.filename().string(), outcome);
        }
        const double switched = outcome.switchedAt.value_or(0);
        fullRun.push_back({switched, outcome.seconds - switched});
    }

    struct Plan {
        std::size_t desktop, wav;
        int signal;
        Trigger trigger;
    };
    std::vector<Plan> plans;
    std::mt19937 random(seed);
    for (int i = 0; i < runs; ++i) {
        Plan plan{};
        plan.desktop = static_cast<std::size_t>(i) % allDesktops.size();
        plan.wav = std::uniform_int_distribution<std::size_t>(0, wavs.size() - 1)(random);
        plan.signal = std::bernoulli_distribution(0.5)(random) ? SIGINT : SIGTERM;
        // A third of the signals in start-up and device choice, counted from the
        // start; a third anywhere from the switch to the final restore; a third
        // around the final restore (the tail, the restore, the response), where
        // the windows are narrow. The final restore comes after the settling
        // sleep, the file and its tail.
        const auto span = fullRun[plan.wav];
        const double restoreAt = 0.15 + durations[plan.wav] + 0.1;
        const auto [fromSwitch, from, to] = i % 3 == 0 ? std::tuple{false, 0.0, span.startUp * 1.2}
                                            : i % 3 == 1
                                                ? std::tuple{true, 0.0, restoreAt + 0.05}
                                                : std::tuple{true, restoreAt - 0.05, restoreAt + 0.1};
        plan.trigger = {.fromSwitch = fromSwitch,
                        .delay = std::uniform_real_distribution<double>(from, to)(random)};
        plans.push_back(plan);
    }

    std::mutex resultsMutex;
    std::map<std::string, int> byStatus, byPhase;
    std::atomic<std::size_t> next = 0;
    const auto started = Clock::now();
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back([&, w] {
            const auto dir = work / ("worker-" + std::to_string(w));
            fs::create_directories(dir);
            for (std::size_t i; (i = next++) < plans.size();) {
                const auto& plan = plans[i];
                const auto& desktop = allDesktops[plan.desktop];
                const auto outcome =
                    runOnce(program, scenes[plan.desktop], wavs[plan.wav], dir, plan.trigger, plan.signal);
                const int signalStatus = 128 + plan.signal;
                std::string status, problem;
                Left left{};
                if (const auto journalProblem = checkJournal(desktop, outcome.journal, left)) {
                    problem = *journalProblem;
                }
                if (WIFEXITED(outcome.waitStatus)) {
                    const int code = WEXITSTATUS(outcome.waitStatus);
                    status = "exit " + std::to_string(code);
                    if (code == 0) {
                        if (outcome.stdoutText != successLine()) problem += " wrong response on exit 0;";
                    } else if (code == signalStatus) {
                        if (!outcome.stdoutText.empty()) problem += " printed on a signal exit;";
                    } else {
                        problem += " unexpected exit status;";
                    }
                } else if (WIFSIGNALED(outcome.waitStatus) && WTERMSIG(outcome.waitStatus) == plan.signal) {
                    // Delivered before main() could install the handlers: acceptable only
                    // when nothing had been touched yet.
                    status = "ended by the signal before its handlers were installed";
                    if (!outcome.journal.empty() || !outcome.stdoutText.empty())
                        problem += " changed or printed;";
                } else {
                    status = "abnormal end " + std::to_string(outcome.waitStatus);
                    problem += " abnormal end;";
                }
                if (!outcome.stderrText.empty()) problem += " wrote to standard error;";

                std::lock_guard lock(resultsMutex);
                ++byStatus[status];
                ++byPhase[phaseOf(outcome.journal, WIFEXITED(outcome.waitStatus)
                                                       ? WEXITSTATUS(outcome.waitStatus)
                                                       : signalStatus)];
                if (!problem.empty()) {
                    report("run " + std::to_string(i) + " (" + desktop.name + ", " +
                               wavs[plan.wav].filename().string() + ", " +
                               (plan.signal == SIGINT ? "SIGINT" : "SIGTERM") + " after " +
                               std::to_string(plan.trigger.delay) + " s after the " +
                               (plan.trigger.fromSwitch ? "switch" : "start") + "): " + problem,
                           outcome);
                }
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    const double wall = std::chrono::duration<double>(Clock::now() - started).count();

    std::cout << "signal storm: " << runs << " runs, seed " << seed << ", " << workers
              << " at a time, wall time " << wall << " s\n";
    std::cout << "undisturbed run lengths:";
    for (std::size_t i = 0; i < wavs.size(); ++i)
        std::cout << " " << durations[i] << " s file: start-up " << fullRun[i].startUp << " s, then "
                  << fullRun[i].fromSwitch << " s;";
    std::cout << "\nexits by status:\n";
    for (const auto& [status, count] : byStatus)
        std::cout << "  " << status << ": " << count << "\n";
    std::cout << "signal arrived:\n";
    for (const auto& [phase, count] : byPhase)
        std::cout << "  " << phase << ": " << count << "\n";
    std::cout << (failures == 0 ? "no run left anything changed\n"
                                : "FAILED runs: " + std::to_string(failures) + "\n");
    if (failures == 0) fs::remove_all(work);
    return failures == 0 ? 0 : 1;
}
