// Runs roomcode and callsense on generated Zoom clients of growing size and
// prints what each run cost: Accessibility round trips by kind, round trips
// per element asked, virtual seconds at exit, the answer and CPU time.
//
//   zoombench --bin build/bin [--nodes 200,1000] [--keep DIR]
//
// It reports; it checks nothing.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ZoomClientScene.hpp"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

struct RunResult {
    std::string stdoutText;
    int exitStatus = -1;
    double cpuSeconds = 0;
    Json counts;
    Json clockAtExit;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The program's CPU time comes from its own resource usage, so the benchmark's
// scene writing and JSON reading do not count.
RunResult run(const fs::path& program, const fs::path& scene, const fs::path& work) {
    const fs::path out = work / "stdout";
    const fs::path counts = work / "counts.json";
    const fs::path clock = work / "clock.json";
    fs::remove(counts);
    fs::remove(clock);

    RunResult result;
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("fork");
        std::exit(1);
    }
    if (child == 0) {
        ::setenv("DESKTOP_SCENE", scene.c_str(), 1);
        ::setenv("DESKTOP_REQUEST_COUNTS", counts.c_str(), 1);
        ::setenv("DESKTOP_CLOCK_AT_EXIT", clock.c_str(), 1);
        ::unsetenv("DESKTOP_JOURNAL");
        if (std::freopen(out.c_str(), "w", stdout) == nullptr) std::_Exit(126);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child) {
        std::perror("wait4");
        std::exit(1);
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.stdoutText = readFile(out);
    result.counts = Json::parse(readFile(counts), nullptr, false);
    result.clockAtExit = Json::parse(readFile(clock), nullptr, false);
    return result;
}

std::uint64_t count(const Json& counts, const char* kind) {
    if (!counts.is_object() || !counts.contains(kind)) return 0;
    return counts[kind].get<std::uint64_t>();
}

std::string answer(const std::string& tool, const RunResult& result) {
    const Json output = Json::parse(result.stdoutText, nullptr, false);
    if (result.exitStatus != 0 || !output.is_object()) return "exit " + std::to_string(result.exitStatus);
    if (tool == "roomcode") {
        std::string text = output.value("code", std::string("?"));
        if (output.contains("meetingId")) text += " " + output["meetingId"].get<std::string>();
        return text;
    }
    return std::string(output.value("callLikely", false) ? "call" : "no call") + ", " +
           output.value("confidence", std::string("?"));
}

std::vector<std::int64_t> parseSizes(const std::string& text) {
    std::vector<std::int64_t> sizes;
    std::stringstream list(text);
    for (std::string item; std::getline(list, item, ',');)
        sizes.push_back(std::stoll(item));
    return sizes;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path bin;
    std::optional<fs::path> keep;
    std::vector<std::int64_t> sizes{200, 1000, 5000, 20000};
    for (int index = 1; index < argc; ++index) {
        const std::string arg = argv[index];
        if (arg == "--bin" && index + 1 < argc) {
            bin = argv[++index];
        } else if (arg == "--nodes" && index + 1 < argc) {
            sizes = parseSizes(argv[++index]);
        } else if (arg == "--keep" && index + 1 < argc) {
            keep = argv[++index];
        } else {
            std::cerr << "usage: zoombench --bin DIR [--nodes 200,1000,...] [--keep DIR]\n";
            return 2;
        }
    }
    if (bin.empty()) bin = fs::path(argv[0]).parent_path();

    char workTemplate[] = "/tmp/zoombench-XXXXXX";
    if (::mkdtemp(workTemplate) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path work = workTemplate;
    const fs::path scenes = keep ? *keep : work;
    fs::create_directories(scenes);

    std::printf(
        "Every request costs %.1f ms of virtual time. Round trips: batch = "
        "AXUIElementCopyMultipleAttributeValues, single = AXUIElementCopyAttributeValue, "
        "actions = AXUIElementCopyActionNames, press = AXUIElementPerformAction, other = attribute "
        "names, settable, writes. Per element: round trips / distinct elements asked. CPU time is the "
        "program's own, "
        "reading the scene file included.\n\n",
        Bench::ZoomClientShape{}.responseTime * 1000);
    std::printf(
        "| nodes | windows | ID shown | tool | batch | single | actions | press | other | round trips | "
        "elements | per element | virtual s | answer | CPU ms |\n");
    std::printf("|---:|---:|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|---:|\n");
    std::fflush(stdout);

    for (const std::int64_t nodes : sizes) {
        for (const int windows : {1, 3, 8}) {
            for (const auto shown : {Bench::MeetingIdShown::inPopover, Bench::MeetingIdShown::inWindow}) {
                const Bench::ZoomClientShape shape{
                    .meetingWindowNodes = nodes, .windows = windows, .idShown = shown};
                const std::string name =
                    "zoom-" + std::to_string(nodes) + "-" + std::to_string(windows) + "w-" +
                    (shown == Bench::MeetingIdShown::inPopover ? "popover" : "visible") + ".json";
                const fs::path scene = scenes / name;
                std::ofstream(scene) << Bench::zoomClientScene(shape).dump() << "\n";

                for (const std::string tool : {"roomcode", "callsense"}) {
                    const RunResult result = run(bin / tool, scene, work);
                    const Json& c = result.counts;
                    const std::uint64_t batch = count(c, "accessibility.copyMultipleAttributeValues");
                    const std::uint64_t single = count(c, "accessibility.copyAttributeValue");
                    const std::uint64_t actions = count(c, "accessibility.copyActionNames");
                    const std::uint64_t press = count(c, "accessibility.performAction");
                    const std::uint64_t other = count(c, "accessibility.copyAttributeNames") +
                                                count(c, "accessibility.isAttributeSettable") +
                                                count(c, "accessibility.setStringAttributeValue");
                    const std::uint64_t trips = batch + single + actions + press + other;
                    const std::uint64_t elements = count(c, "elementsAsked");
                    const double perElement =
                        elements == 0 ? 0 : static_cast<double>(trips) / static_cast<double>(elements);
                    const double seconds =
                        result.clockAtExit.is_number() ? result.clockAtExit.get<double>() : -1;
                    std::printf(
                        "| %lld | %d | %s | %s | %llu | %llu | %llu | %llu | %llu | %llu | %llu | %.2f | "
                        "%.3f | %s | %.0f |\n",
                        static_cast<long long>(nodes), windows,
                        shown == Bench::MeetingIdShown::inPopover ? "popover" : "window", tool.c_str(),
                        static_cast<unsigned long long>(batch), static_cast<unsigned long long>(single),
                        static_cast<unsigned long long>(actions), static_cast<unsigned long long>(press),
                        static_cast<unsigned long long>(other), static_cast<unsigned long long>(trips),
                        static_cast<unsigned long long>(elements), perElement, seconds,
                        answer(tool, result).c_str(), result.cpuSeconds * 1000);
                    std::fflush(stdout);
                }
            }
        }
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return 0;
}
