// Runs the built roomcode many times on real-time simulated desktops whose Zoom
// client shows the meeting ID only in its information popover, and ends each
// run with SIGINT or SIGTERM at a random moment: before the press, in the wait
// after it, while the popover is read, while it is closed, or after. Whatever
// the moment, every popover the run opened must have been closed again (or the
// client must have refused the close), nothing may be pressed once the signal
// has been answered, and a run that printed its line must not end with 130 or
// 143, nor one that ended so print anything.
//
//   RoomcodeSignalStorm <path to roomcode> [runs]

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
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Support/ProgramOnScene.hpp"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr unsigned seed = 20261210;
constexpr int workers = 4;
constexpr double afterOpenWait = 0.4;  // the reader's wait after a press
const std::string foundLine = "{\"ok\":true,\"meetingId\":\"1234567890\",\"code\":\"meeting_id_found\"}\n";

// The Zoom client of one scene, and which of its controls open and close.
struct Desk {
    const char* name;
    json scene;
    std::set<std::string> openers;
    std::set<std::string> closers;
    // How long the close takes before its press is journaled (the action list
    // of the control it presses) and the press itself.
    double closeLead;
    double closePress;
};

json button(const std::string& id, json attributes) {
    attributes["id"] = id;
    attributes["role"] = "AXButton";
    attributes["actions"] = {"AXPress"};
    return attributes;
}

json text(const std::string& value) {
    return {{"role", "AXStaticText"}, {"value", value}, {"responseTime", 0.03}};
}

// The information popover: slow enough to read that a signal can land in the
// read, with its close control first, so the close finds it already read.
json infoPopover(std::optional<json> close) {
    json children = json::array();
    if (close) children.push_back(*close);
    for (const char* value : {"Meeting ID", "123 456 7890", "Host", "Ann Example", "Passcode", "482913"})
        children.push_back(text(value));
    return {{"id", "infoPopover"},
            {"role", "AXGroup"},
            {"description", "Meeting information"},
            {"hidden", true},
            {"children", children}};
}

json zoomScene(const std::string& description, std::vector<json> controls) {
    json children = {
        {{"role", "AXButton"},
         {"subrole", "AXCloseButton"},
         {"actions", {"AXPress"}},
         {"attributes", {{"AXPosition", {{"point", {108, 56}}}}}}},
        {{"role", "AXButton"},
         {"subrole", "AXMinimizeButton"},
         {"actions", {"AXPress"}},
         {"attributes", {{"AXPosition", {{"point", {128, 56}}}}}}},
    };
    for (auto& control : controls)
        children.push_back(std::move(control));
    // Call controls that answer slowly, so that the part of the run before the
    // press lasts long enough for signals to land in it.
    json callControls = json::array();
    for (const char* title : {"Mute", "Start Video", "Participants", "Leave"})
        callControls.push_back(button(title, {{"title", title}, {"responseTime", 0.025}}));
    children.push_back(
        {{"role", "AXGroup"}, {"description", "Meeting controls"}, {"children", callControls}});
    return {
        {"description", "roomcode signal storm: " + description},
        {"clock", "real"},
        {"accessibilityTrusted", true},
        {"applications",
         {{{"pid", 501},
           {"name", "zoom.us"},
           {"bundleId", "us.zoom.xos"},
           {"windows",
            {{{"id", "meeting"},
              {"role", "AXWindow"},
              {"title", "Zoom Meeting"},
              {"attributes", {{"AXPosition", {{"point", {100, 50}}}}, {"AXSize", {{"size", {1000, 700}}}}}},
              {"children", children}}}}}}}};
}

json infoButton(double responseTime = 0) {
    return button("info", {{"description", "Meeting information"},
                           {"press", {{"toggle", {"infoPopover"}}}},
                           {"responseTime", responseTime},
                           {"attributes", {{"AXPosition", {{"point", {200, 70}}}}}}});
}

json closeControl(json press) {
    return button("infoClose", {{"title", "Close"},
                                {"identifier", "meeting-information-close"},
                                {"responseTime", 0.1},
                                {"press", std::move(press)}});
}

std::vector<Desk> desks() {
    std::vector<Desk> all;
    all.push_back({"closed by its close control",
                   zoomScene("closed by its close control",
                             {infoButton(), infoPopover(closeControl({{"hide", {"infoPopover"}}}))}),
                   {"info"},
                   {"infoClose"},
                   0.1,
                   0.1});
    all.push_back(
        {"closed by the button that opened it",
         zoomScene("closed by the button that opened it", {infoButton(0.05), infoPopover(std::nullopt)}),
         {"info"},
         {},
         0.05,
         0.05});
    all.push_back({"a close control the client refuses",
                   zoomScene("a close control the client refuses",
                             {infoButton(), infoPopover(closeControl({{"error", "cannotComplete"}}))}),
                   {"info"},
                   {"infoClose"},
                   0.1,
                   0.1});
    // A first candidate whose panel holds no ID: two popovers open and close in turn.
    json reactions = button("reactions", {{"description", "Meeting info"},
                                          {"press", {{"toggle", {"reactionsPanel"}}}},
                                          {"attributes", {{"AXPosition", {{"point", {180, 70}}}}}}});
    json panel = {
        {"id", "reactionsPanel"},
        {"role", "AXGroup"},
        {"hidden", true},
        {"children",
         {text("Reactions"),
          button("reactionsClose",
                 {{"title", "Close"}, {"responseTime", 0.1}, {"press", {{"hide", {"reactionsPanel"}}}}})}}};
    all.push_back(
        {"two candidates, the first without the ID",
         zoomScene("two candidates, the first without the ID",
                   {reactions, panel, infoButton(), infoPopover(closeControl({{"hide", {"infoPopover"}}}))}),
         {"reactions", "info"},
         {"infoClose", "reactionsClose"},
         0.1,
         0.1});
    return all;
}

struct Line {
    double at;  // seconds after the start, when first seen in the file
    json entry;
};

struct Outcome {
    int waitStatus = 0;
    std::optional<double> openedAt;  // the first press, when seen
    std::optional<double> signalledAt;
    double endedAt = 0;
    std::string stdoutText;
    std::string stderrText;
    std::vector<Line> journal;
};

enum class From { start, firstPress };

struct Trigger {
    From from = From::start;
    double delay = 0;
};

// Runs the program once, watching its journal as it grows, and sends `signal`
// when the trigger says.
Outcome runOnce(const fs::path& program, const fs::path& scene, const fs::path& dir,
                std::optional<Trigger> trigger, int signal) {
    const auto out = dir / "stdout", err = dir / "stderr", journalPath = dir / "journal";
    const auto start = Clock::now();
    const auto since = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    const pid_t pid = Testing::startOnScene(
        {.arguments = {program.string()}, .scene = scene, .journal = journalPath, .out = out, .err = err});

    Outcome outcome;
    std::string pending;
    std::size_t readSoFar = 0;
    const auto collect = [&] {
        std::ifstream in(journalPath, std::ios::binary);
        if (!in) return;
        in.seekg(static_cast<std::streamoff>(readSoFar));
        std::string chunk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        readSoFar += chunk.size();
        pending += chunk;
        for (std::size_t newline; (newline = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            if (line.empty()) continue;
            outcome.journal.push_back({since(), json::parse(line)});
            if (!outcome.openedAt && outcome.journal.back().entry.value("event", "") == "perform")
                outcome.openedAt = outcome.journal.back().at;
        }
    };
    for (;;) {
        collect();
        if (trigger && !outcome.signalledAt) {
            const std::optional<double> from =
                trigger->from == From::start ? std::optional<double>(0.0) : outcome.openedAt;
            if (from && since() >= *from + trigger->delay) {
                ::kill(pid, signal);
                outcome.signalledAt = since();
            }
        }
        if (::waitpid(pid, &outcome.waitStatus, WNOHANG) == pid) break;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    outcome.endedAt = since();
    collect();
    outcome.stdoutText = Testing::readFile(out);
    outcome.stderrText = Testing::readFile(err);
    return outcome;
}

// Walks the presses: each opening press the client took must be followed by a
// close press, the control that opened it pressed again, or the client's
// refusal of both; and once a signal was sent, at most the opening press that
// raced it may follow, and then only its close.
std::optional<std::string> checkPresses(const Desk& desk, const Outcome& outcome, bool endedBySignal) {
    std::optional<std::string> open;  // the control that opened what is open
    bool closeRefused = false;
    int openingsAfterSignal = 0;
    for (const auto& [at, entry] : outcome.journal) {
        if (entry.value("event", "") != "perform") return "unexpected change: " + entry.dump();
        const std::string element = entry.value("element", "");
        const bool accepted = entry.value("status", -1) == 0;
        if (!open) {
            if (!desk.openers.contains(element)) return "pressed " + element + " with nothing open";
            if (endedBySignal && outcome.signalledAt && at > *outcome.signalledAt) ++openingsAfterSignal;
            if (accepted) open = element;
            continue;
        }
        if (element == *open) {
            open.reset();  // the toggle closes it, or nothing would
            closeRefused = false;
        } else if (desk.closers.contains(element) && !closeRefused) {
            if (accepted) {
                open.reset();
            } else {
                closeRefused = true;  // the reader presses the opening control next
            }
        } else {
            return "pressed " + element + " while " + *open + "'s popover was open";
        }
    }
    if (open && !closeRefused) return "the popover " + *open + " opened was left open";
    if (openingsAfterSignal > 1) return std::string("pressed to open again after the signal");
    return std::nullopt;
}

enum class Moment { beforePress, wait, read, close, after };

const char* momentName(Moment moment) {
    switch (moment) {
        case Moment::beforePress:
            return "before a press";
        case Moment::wait:
            return "during the wait after the press";
        case Moment::read:
            return "during the read";
        case Moment::close:
            return "during the close";
        case Moment::after:
            return "after the close";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: RoomcodeSignalStorm <roomcode> [runs]\n";
        return 2;
    }
    const fs::path program = fs::absolute(argv[1]);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 240;

    const fs::path work = Testing::temporaryFolder("roomcode-storm");
    const auto allDesks = desks();
    std::vector<fs::path> scenes;
    for (std::size_t i = 0; i < allDesks.size(); ++i) {
        scenes.push_back(work / ("scene-" + std::to_string(i) + ".json"));
        std::ofstream(scenes.back()) << allDesks[i].scene.dump(2);
    }

    int failures = 0;
    std::mutex resultsMutex;
    const auto report = [&](const std::string& what, const Outcome& outcome) {
        ++failures;
        std::cerr << "FAIL: " << what << "\n  status " << outcome.waitStatus << "\n  stdout "
                  << outcome.stdoutText << "\n  stderr " << outcome.stderrText << "\n  journal";
        for (const auto& line : outcome.journal)
            std::cerr << "\n    " << line.at << " s: " << line.entry.dump();
        if (outcome.signalledAt) std::cerr << "\n  signalled at " << *outcome.signalledAt << " s";
        std::cerr << "\n";
    };

    // An undisturbed run of each desk shows where its first press and its
    // first close fall on this machine and build.
    struct Timeline {
        double opened = 0;  // the first press, from the start
        double closed = 0;  // the press that closed the first popover, from the first press
    };
    std::vector<Timeline> timelines;
    fs::create_directories(work / "calibrate");
    for (std::size_t i = 0; i < allDesks.size(); ++i) {
        const auto outcome = runOnce(program, scenes[i], work / "calibrate", std::nullopt, 0);
        if (!WIFEXITED(outcome.waitStatus) || WEXITSTATUS(outcome.waitStatus) != 0 ||
            outcome.stdoutText != foundLine || checkPresses(allDesks[i], outcome, false) ||
            outcome.journal.size() < 2) {
            report(std::string("undisturbed run of ") + allDesks[i].name, outcome);
            timelines.push_back({0.05, 1.0});
            continue;
        }
        timelines.push_back({outcome.journal[0].at, outcome.journal[1].at - outcome.journal[0].at});
    }

    struct Plan {
        std::size_t desk;
        int signal;
        Moment moment;
        Trigger trigger;
    };
    std::vector<Plan> plans;
    std::mt19937 random(seed);
    const auto uniform = [&](double from, double to) {
        return std::uniform_real_distribution<double>(from, std::max(from, to))(random);
    };
    for (int i = 0; i < runs; ++i) {
        Plan plan{};
        plan.desk = static_cast<std::size_t>(i) % allDesks.size();
        plan.moment = static_cast<Moment>((i / static_cast<int>(allDesks.size())) % 5);
        plan.signal = std::bernoulli_distribution(0.5)(random) ? SIGINT : SIGTERM;
        const auto& desk = allDesks[plan.desk];
        const auto& time = timelines[plan.desk];
        // The close begins `closeLead` before its press is journaled; the read
        // lies between the wait and the close.
        const double closeBegins = time.closed - desk.closeLead;
        switch (plan.moment) {
            case Moment::beforePress:
                plan.trigger = {From::start, uniform(0, time.opened * 0.9)};
                break;
            case Moment::wait:
                plan.trigger = {From::firstPress, uniform(0, afterOpenWait)};
                break;
            case Moment::read:
                plan.trigger = {From::firstPress, uniform(afterOpenWait, closeBegins)};
                break;
            case Moment::close:
                plan.trigger = {From::firstPress, uniform(closeBegins, time.closed + desk.closePress)};
                break;
            case Moment::after:
                plan.trigger = {From::firstPress, uniform(time.closed + desk.closePress, time.closed + 0.4)};
                break;
        }
        plans.push_back(plan);
    }

    struct Tally {
        int runs = 0;
        int printed = 0;
        int endedBySignal = 0;
        int endedBeforeHandlers = 0;
        int closes = 0;  // runs that pressed to close a popover after the signal came
        double longestSignalToExit = 0;
    };
    std::map<Moment, Tally> byMoment;
    std::atomic<std::size_t> next = 0;
    const auto started = Clock::now();
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back([&, w] {
            const auto dir = work / ("worker-" + std::to_string(w));
            fs::create_directories(dir);
            for (std::size_t i; (i = next++) < plans.size();) {
                const auto& plan = plans[i];
                const auto& desk = allDesks[plan.desk];
                const auto outcome = runOnce(program, scenes[plan.desk], dir, plan.trigger, plan.signal);
                const int signalStatus = 128 + plan.signal;
                std::string problem;
                bool endedBySignal = false, printed = false, beforeHandlers = false;
                if (WIFEXITED(outcome.waitStatus)) {
                    const int code = WEXITSTATUS(outcome.waitStatus);
                    printed = !outcome.stdoutText.empty();
                    if (code == 0) {
                        if (outcome.stdoutText != foundLine) problem += " wrong line on exit 0;";
                    } else if (code == signalStatus) {
                        endedBySignal = true;
                        if (printed)
                            problem += " printed a line and ended with " + std::to_string(code) + ";";
                    } else {
                        problem += " unexpected exit status " + std::to_string(code) + ";";
                    }
                } else if (WIFSIGNALED(outcome.waitStatus) && WTERMSIG(outcome.waitStatus) == plan.signal) {
                    // Delivered before the handlers were installed: acceptable only
                    // while nothing had been pressed or printed.
                    beforeHandlers = true;
                    if (!outcome.journal.empty() || !outcome.stdoutText.empty())
                        problem += " pressed or printed;";
                } else {
                    problem += " abnormal end " + std::to_string(outcome.waitStatus) + ";";
                }
                if (const auto pressProblem = checkPresses(desk, outcome, endedBySignal)) {
                    problem += " " + *pressProblem + ";";
                }
                if (!outcome.stderrText.empty()) problem += " wrote to standard error;";

                const std::lock_guard lock(resultsMutex);
                auto& tally = byMoment[plan.moment];
                ++tally.runs;
                tally.printed += printed ? 1 : 0;
                tally.endedBySignal += endedBySignal ? 1 : 0;
                tally.endedBeforeHandlers += beforeHandlers ? 1 : 0;
                if (endedBySignal && outcome.signalledAt) {
                    tally.longestSignalToExit =
                        std::max(tally.longestSignalToExit, outcome.endedAt - *outcome.signalledAt);
                    const bool closedAfterSignal =
                        std::any_of(outcome.journal.begin(), outcome.journal.end(),
                                    [&](const Line& line) { return line.at >= *outcome.signalledAt; });
                    tally.closes += closedAfterSignal ? 1 : 0;
                }
                if (!problem.empty()) {
                    report("run " + std::to_string(i) + " (" + desk.name + ", " +
                               (plan.signal == SIGINT ? "SIGINT " : "SIGTERM ") + momentName(plan.moment) +
                               ", " + std::to_string(plan.trigger.delay) + " s after the " +
                               (plan.trigger.from == From::start ? "start" : "first press") + "):" + problem,
                           outcome);
                }
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    const double wall = std::chrono::duration<double>(Clock::now() - started).count();

    std::cout << "roomcode signal storm: " << runs << " runs on " << allDesks.size() << " desks, seed "
              << seed << ", " << workers << " at a time, wall time " << wall << " s\n";
    std::cout << "undisturbed runs (first press after the start; its close press after the first press):";
    for (std::size_t i = 0; i < allDesks.size(); ++i)
        std::cout << "\n  " << allDesks[i].name << ": " << timelines[i].opened << " s; "
                  << timelines[i].closed << " s";
    std::cout
        << "\n| signal sent | runs | printed the line (exit 0) | ended 143/130, nothing printed | of "
           "those, pressed to close after the signal | ended before the handlers | longest signal to exit |\n"
        << "|---|---|---|---|---|---|---|\n";
    for (const auto& [moment, tally] : byMoment) {
        std::cout << "| " << momentName(moment) << " | " << tally.runs << " | " << tally.printed << " | "
                  << tally.endedBySignal << " | " << tally.closes << " | " << tally.endedBeforeHandlers
                  << " | " << tally.longestSignalToExit << " s |\n";
    }
    std::cout << (failures == 0 ? "every popover opened was closed, nothing was pressed after the close\n"
                                : "FAILED runs: " + std::to_string(failures) + "\n");
    if (failures == 0) fs::remove_all(work);
    return failures == 0 ? 0 : 1;
}
