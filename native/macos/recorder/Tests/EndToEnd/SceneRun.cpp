// scenerun: runs the built programs on the desktop scenes and checks what they
// print, their exit status and what they changed on the desktop.
//
//   scenerun --bin DIR (--scenes DIR | SCENE.json ...)          compare every run
//   scenerun --demo --bin DIR (--scenes DIR | SCENE.json ...)   show every run
//
// Exit status: 0 when every run matched, 1 when one did not or a scene is
// broken, 77 when runs were given but none of their programs is built.

#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ChildProcess.hpp"
#include "Desktop/sim/Scene.hpp"

namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

constexpr int skippedStatus = 77;

struct Run {
    std::string description;
    std::string tool;
    std::vector<std::string> args;
    std::optional<std::string> stdoutBytes;
    int exitStatus = 0;
    std::string stderrBytes;
    std::optional<std::vector<Json>> journal;
    std::optional<int> signal;
    double signalAfter = 0;
    std::optional<std::string> signalAfterEvent;
    // Bounds on what the run cost the desktop: virtual seconds, and
    // Accessibility requests of every kind together.
    std::optional<double> virtualSecondsAtMost;
    std::optional<std::uint64_t> accessibilityRequestsAtMost;
};

struct RunError {
    std::string message;
};

int signalNumber(const Json& j) {
    if (j.is_number_integer()) return j.get<int>();
    if (j.is_string()) {
        const auto& name = j.get_ref<const std::string&>();
        if (name == "SIGINT") return SIGINT;
        if (name == "SIGTERM") return SIGTERM;
        if (name == "SIGHUP") return SIGHUP;
        if (name == "SIGQUIT") return SIGQUIT;
        if (name == "SIGKILL") return SIGKILL;
    }
    throw RunError{"signal/send: expected \"SIGINT\", \"SIGTERM\" or a signal number"};
}

Run parseRun(const Json& j) {
    if (!j.is_object()) throw RunError{"a run is an object"};
    Run run;
    for (const auto& [key, value] : j.items()) {
        if (key == "description" || key == "comment") {
            if (!value.is_string()) throw RunError{key + ": expected a string"};
            if (key == "description") run.description = value.get<std::string>();
        } else if (key == "tool") {
            if (!value.is_string()) throw RunError{"tool: expected a string"};
            run.tool = value.get<std::string>();
        } else if (key == "args") {
            if (!value.is_array()) throw RunError{"args: expected an array of strings"};
            for (const auto& arg : value) {
                if (!arg.is_string()) throw RunError{"args: expected an array of strings"};
                run.args.push_back(arg.get<std::string>());
            }
        } else if (key == "stdout" || key == "stderr") {
            if (!value.is_string()) throw RunError{key + ": expected a string"};
            (key == "stdout" ? run.stdoutBytes.emplace() : run.stderrBytes) = value.get<std::string>();
        } else if (key == "exitStatus") {
            if (!value.is_number_integer()) throw RunError{"exitStatus: expected an integer"};
            run.exitStatus = value.get<int>();
        } else if (key == "journal") {
            if (!value.is_array()) throw RunError{"journal: expected an array of objects"};
            run.journal = value.get<std::vector<Json>>();
        } else if (key == "signal") {
            if (!value.is_object() || !value.contains("send")) {
                throw RunError{
                    "signal: expected {\"send\": \"SIGINT\", \"after\": seconds, \"afterEvent\": event}"};
            }
            run.signal = signalNumber(value["send"]);
            if (value.contains("after")) {
                if (!value["after"].is_number()) throw RunError{"signal/after: expected seconds"};
                run.signalAfter = value["after"].get<double>();
            }
            if (value.contains("afterEvent")) {
                if (!value["afterEvent"].is_string())
                    throw RunError{"signal/afterEvent: expected an event name"};
                run.signalAfterEvent = value["afterEvent"].get<std::string>();
            }
        } else if (key == "virtualSecondsAtMost") {
            if (!value.is_number() || !(value.get<double>() >= 0) || !std::isfinite(value.get<double>())) {
                throw RunError{"virtualSecondsAtMost: expected a number of seconds, 0 or more"};
            }
            run.virtualSecondsAtMost = value.get<double>();
        } else if (key == "accessibilityRequestsAtMost") {
            if (!value.is_number_unsigned()) {
                throw RunError{"accessibilityRequestsAtMost: expected an integer, 0 or more"};
            }
            run.accessibilityRequestsAtMost = value.get<std::uint64_t>();
        } else {
            throw RunError{"unknown key \"" + key + "\""};
        }
    }
    if (run.tool.empty()) throw RunError{"a run needs a \"tool\""};
    if (run.tool.find('/') != std::string::npos) throw RunError{"tool: a program name, not a path"};
    if (run.virtualSecondsAtMost && run.signal) {
        throw RunError{"virtualSecondsAtMost: a run that is sent a signal needs the real clock"};
    }
    return run;
}

std::string shellQuoted(const std::string& arg) {
    if (!arg.empty() &&
        arg.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_./=:,+@") ==
            std::string::npos) {
        return arg;
    }
    std::string quoted = "'";
    for (char c : arg) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string commandLine(const fs::path& scene, const Run& run) {
    std::string line = "DESKTOP_SCENE=" + shellQuoted(scene.filename().string()) + " " + run.tool;
    for (const auto& arg : run.args)
        line += " " + shellQuoted(arg);
    if (run.signal) {
        line += "   # " + std::string(strsignal(*run.signal)) + " after " + std::to_string(run.signalAfter) +
                " s" +
                (run.signalAfterEvent ? " from the first \"" + *run.signalAfterEvent + "\" event" : "");
    }
    return line;
}

// Bytes as a JSON string, so that line feeds and stray characters show.
std::string visible(const std::string& bytes) {
    return Json(bytes).dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct Outcome {
    int ran = 0;
    int skipped = 0;
    int failed = 0;
};

class SceneRunner {
public:
    SceneRunner(fs::path bin, bool demo) : bin_(std::move(bin)), demo_(demo) {}

    void runScene(const fs::path& scene, Outcome& outcome) {
        // The scene must load, whether or not any program is run on it.
        bool realClock = false;
        try {
            realClock = Desktop::Sim::readSceneFile(scene.string()).realClock;
        } catch (const Desktop::Sim::SceneError& error) {
            std::cout << "FAIL " << Desktop::Sim::describeSceneError(scene.string(), error) << "\n";
            ++outcome.failed;
            return;
        }
        Json root;
        {
            std::ifstream in(scene);
            root = Json::parse(in);
        }
        std::vector<Run> runs;
        if (root.contains("runs")) {
            for (std::size_t i = 0; i < root["runs"].size(); ++i) {
                try {
                    runs.push_back(parseRun(root["runs"][i]));
                    if (realClock && runs.back().virtualSecondsAtMost) {
                        throw RunError{"virtualSecondsAtMost: the scene runs on the real clock"};
                    }
                } catch (const RunError& error) {
                    std::cout << "FAIL " << scene.string() << ": /runs/" << i << ": " << error.message
                              << "\n";
                    ++outcome.failed;
                    return;
                }
            }
        }
        if (runs.empty() && demo_) {
            // A scene without expectations still shows what the tools make of it.
            for (const char* tool : {"callsense", "roomcode"}) {
                Run run;
                run.tool = tool;
                runs.push_back(std::move(run));
            }
        }
        for (std::size_t i = 0; i < runs.size(); ++i)
            runOne(scene, runs[i], i, outcome);
    }

private:
    fs::path bin_;
    bool demo_;

    void runOne(const fs::path& scene, const Run& run, std::size_t index, Outcome& outcome) {
        const fs::path program = fs::absolute(bin_ / run.tool);
        const std::string label = scene.filename().string() + " run " + std::to_string(index) +
                                  (run.description.empty() ? "" : " (" + run.description + ")");
        if (::access(program.c_str(), X_OK) != 0) {
            std::cout << (demo_ ? "" : "skip ") << label << ": " << run.tool << " is not built yet\n";
            ++outcome.skipped;
            return;
        }
        if (!demo_ && !run.stdoutBytes) {
            std::cout << "FAIL " << label << ": the run gives no \"stdout\"\n";
            ++outcome.failed;
            return;
        }
        const std::string suffix = std::to_string(::getpid());
        const fs::path journal = fs::temp_directory_path() / ("scenerun-journal-" + suffix);
        const fs::path clockAtExit = fs::temp_directory_path() / ("scenerun-clock-" + suffix);
        const fs::path requestCounts = fs::temp_directory_path() / ("scenerun-requests-" + suffix);
        fs::remove(journal);
        fs::remove(clockAtExit);
        fs::remove(requestCounts);
        EndToEnd::ChildRun child;
        child.program = program.string();
        child.args = run.args;
        child.workingDirectory = scene.parent_path().string();
        child.setEnvironment = {{"DESKTOP_SCENE", fs::absolute(scene).string()},
                                {"DESKTOP_JOURNAL", journal.string()}};
        // What the run does not ask for must not leak in from scenerun's own environment.
        if (run.virtualSecondsAtMost) {
            child.setEnvironment["DESKTOP_CLOCK_AT_EXIT"] = clockAtExit.string();
        } else {
            child.unsetEnvironment.push_back("DESKTOP_CLOCK_AT_EXIT");
        }
        if (run.accessibilityRequestsAtMost) {
            child.setEnvironment["DESKTOP_REQUEST_COUNTS"] = requestCounts.string();
        } else {
            child.unsetEnvironment.push_back("DESKTOP_REQUEST_COUNTS");
        }
        child.signal = run.signal;
        child.signalAfter = run.signalAfter;
        child.signalAfterEvent = run.signalAfterEvent;
        child.journalPath = journal.string();
        const auto result = EndToEnd::runChild(child);
        const auto journalLines = readLines(journal.string());
        const auto clockLines = readLines(clockAtExit.string());
        const auto countLines = readLines(requestCounts.string());
        fs::remove(journal);
        fs::remove(clockAtExit);
        fs::remove(requestCounts);
        ++outcome.ran;

        if (demo_) {
            std::cout << "$ " << commandLine(scene, run) << "\n" << result.stdoutBytes << result.stderrBytes;
            if (result.startError) std::cout << *result.startError << "\n";
            std::cout << "(exit status " << result.exitStatus << (result.timedOut ? ", timed out" : "")
                      << ")\n\n";
            return;
        }

        std::vector<std::string> faults;
        if (result.startError) faults.push_back(*result.startError);
        if (result.timedOut) faults.push_back("timed out after " + std::to_string(child.timeout) + " s");
        if (result.stdoutBytes != *run.stdoutBytes) {
            faults.push_back("stdout\n    expected " + visible(*run.stdoutBytes) + "\n    actual   " +
                             visible(result.stdoutBytes));
        }
        if (result.exitStatus != run.exitStatus) {
            faults.push_back("exit status: expected " + std::to_string(run.exitStatus) + ", actual " +
                             std::to_string(result.exitStatus));
        }
        if (result.stderrBytes != run.stderrBytes) {
            faults.push_back("stderr\n    expected " + visible(run.stderrBytes) + "\n    actual   " +
                             visible(result.stderrBytes));
        }
        if (run.journal) compareJournal(*run.journal, journalLines, faults);
        if (run.virtualSecondsAtMost) checkVirtualSeconds(*run.virtualSecondsAtMost, clockLines, faults);
        if (run.accessibilityRequestsAtMost)
            checkAccessibilityRequests(*run.accessibilityRequestsAtMost, countLines, faults);

        if (faults.empty()) {
            std::cout << "ok   " << label << "\n";
            return;
        }
        ++outcome.failed;
        std::cout << "FAIL " << label << "\n  $ " << commandLine(scene, run) << "\n";
        for (const auto& fault : faults)
            std::cout << "  " << fault << "\n";
    }

    // Only a program that ends through exit or a return from main leaves the reading.
    static std::optional<Json> readingAtExit(const std::vector<std::string>& lines) {
        if (lines.size() != 1) return std::nullopt;
        try {
            return Json::parse(lines.front());
        } catch (const Json::parse_error&) {
            return std::nullopt;
        }
    }

    static void checkVirtualSeconds(double atMost, const std::vector<std::string>& lines,
                                    std::vector<std::string>& faults) {
        const auto seconds = readingAtExit(lines);
        if (!seconds || !seconds->is_number()) {
            faults.push_back("virtual clock: the program left no reading of it at exit");
            return;
        }
        // The clock sums floating-point seconds, so 0.4 + 0.25 + 0.2 may read a
        // hair above 0.85; a nanosecond is far below any step the sim takes.
        if (seconds->get<double>() > atMost + 1e-9) {
            faults.push_back("virtual clock: expected at most " + Json(atMost).dump() +
                             " s at exit, actual " + seconds->dump() + " s");
        }
    }

    static void checkAccessibilityRequests(std::uint64_t atMost, const std::vector<std::string>& lines,
                                           std::vector<std::string>& faults) {
        const auto counts = readingAtExit(lines);
        if (!counts || !counts->is_object()) {
            faults.push_back("request counts: the program left none at exit");
            return;
        }
        std::uint64_t total = 0;
        for (const auto& [kind, count] : counts->items()) {
            if (kind.starts_with("accessibility.")) total += count.get<std::uint64_t>();
        }
        if (total > atMost) {
            faults.push_back("Accessibility requests: expected at most " + std::to_string(atMost) +
                             ", actual " + std::to_string(total) + " (" + counts->dump() + ")");
        }
    }

    static void compareJournal(const std::vector<Json>& expected, const std::vector<std::string>& lines,
                               std::vector<std::string>& faults) {
        std::vector<Json> actual;
        for (const auto& line : lines) {
            try {
                actual.push_back(Json::parse(line));
            } catch (const Json::parse_error&) {
                faults.push_back("journal: a line is not JSON: " + visible(line));
                return;
            }
        }
        if (actual == expected) return;
        std::string text = "journal\n    expected:";
        for (const auto& entry : expected)
            text += "\n      " + entry.dump();
        text += "\n    actual:";
        for (const auto& entry : actual)
            text += "\n      " + entry.dump();
        faults.push_back(text);
    }
};

int usage() {
    std::cerr << "usage: scenerun [--demo] --bin DIR (--scenes DIR | SCENE.json ...)\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool demo = false;
    std::optional<fs::path> bin;
    std::vector<fs::path> scenes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--demo") {
            demo = true;
        } else if (arg == "--bin" && i + 1 < argc) {
            bin = argv[++i];
        } else if (arg == "--scenes" && i + 1 < argc) {
            const fs::path dir = argv[++i];
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(dir, error)) {
                if (entry.path().extension() == ".json") scenes.push_back(entry.path());
            }
            if (error) {
                std::cerr << "scenerun: " << dir.string() << ": " << error.message() << "\n";
                return 2;
            }
        } else if (!arg.starts_with("--")) {
            scenes.emplace_back(arg);
        } else {
            return usage();
        }
    }
    if (!bin) return usage();
    std::sort(scenes.begin(), scenes.end());

    SceneRunner runner(*bin, demo);
    Outcome outcome;
    for (const auto& scene : scenes)
        runner.runScene(scene, outcome);
    if (demo) return 0;
    std::cout << outcome.ran << " run(s), " << outcome.failed << " failed, " << outcome.skipped
              << " skipped\n";
    if (outcome.failed > 0) return 1;
    if (outcome.ran == 0 && outcome.skipped > 0) return skippedStatus;
    return 0;
}
