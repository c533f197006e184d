// What only a process of its own shows: the environment, the exit status of a
// broken scene, and a journal that outlives _exit from the signal thread.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ChildProcess.hpp"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class SimProcessTest : public testing::Test {
protected:
    fs::path dir_;

    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("sim-process-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& text) {
        const auto path = dir_ / name;
        std::ofstream(path) << text;
        return path;
    }

    static std::string read(const fs::path& path) {
        std::ifstream in(path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static EndToEnd::ChildResult probe(const std::string& mode,
                                       std::map<std::string, std::string> environment) {
        EndToEnd::ChildRun run;
        run.program = SIM_PROBE_PATH;
        run.args = {mode};
        run.setEnvironment = std::move(environment);
        for (const char* name : {"DESKTOP_SCENE", "DESKTOP_JOURNAL", "DESKTOP_REQUEST_COUNTS"}) {
            if (!run.setEnvironment.contains(name)) run.unsetEnvironment.emplace_back(name);
        }
        return EndToEnd::runChild(run);
    }
};

TEST_F(SimProcessTest, WithoutASceneTheDesktopIsEmpty) {
    const auto counts = dir_ / "counts.json";
    const auto result = probe("summary", {{"DESKTOP_REQUEST_COUNTS", counts.string()}});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.stderrBytes, "");
    EXPECT_EQ(result.stdoutBytes, "{\"trusted\":false,\"applications\":0,\"windows\":0,\"deviceBytes\":0}\n");
    // Counts are written at exit for benchmarks and tests that run the programs.
    const auto written = json::parse(read(counts));
    EXPECT_EQ(written["accessibility.isProcessTrusted"], 1);
    EXPECT_EQ(written["workspace.runningApplications"], 1);
}

TEST_F(SimProcessTest, BrokenSceneStopsTheProgramWithItsPlaceAndStatus70) {
    const auto scene = write("broken.json", R"({"applications": [{"pid": 1, "windows": [{},
        {"attributes": {"AXValue": {"flot": 1}}}]}]})");
    const auto result = probe("summary", {{"DESKTOP_SCENE", scene.string()}});
    EXPECT_EQ(result.exitStatus, 70);
    EXPECT_EQ(result.stdoutBytes, "");
    EXPECT_EQ(result.stderrBytes,
              "desktop scene " + scene.string() +
                  ": /applications/0/windows/1/attributes/AXValue: unknown value type \"flot\"\n");

    const auto missing = probe("summary", {{"DESKTOP_SCENE", (dir_ / "absent.json").string()}});
    EXPECT_EQ(missing.exitStatus, 70);
    EXPECT_NE(missing.stderrBytes.find("absent.json: cannot be read"), std::string::npos)
        << missing.stderrBytes;
}

TEST_F(SimProcessTest, JournalIsCompleteAfterExitFromTheSignalThread) {
    const auto scene = write("audio.json", R"({"audio": {"defaultOutput": 42, "devices": [
        {"id": 41, "outputChannels": [2], "mute": 0}, {"id": 42, "outputChannels": [2]}]}})");
    const auto journal = dir_ / "journal.jsonl";
    const auto result = probe("restore-on-signal",
                              {{"DESKTOP_SCENE", scene.string()}, {"DESKTOP_JOURNAL", journal.string()}});
    EXPECT_EQ(result.exitStatus, 143);
    EXPECT_EQ(result.stderrBytes, "");

    std::vector<json> lines;
    std::istringstream text(read(journal));
    for (std::string line; std::getline(text, line);)
        lines.push_back(json::parse(line));
    EXPECT_EQ(lines, (std::vector<json>{
                         {{"event", "setDefaultOutput"}, {"before", 42}, {"after", 41}, {"status", 0}},
                         {{"event", "setMute"}, {"device", 41}, {"before", 0}, {"after", 1}, {"status", 0}},
                         {{"event", "setMute"}, {"device", 41}, {"before", 1}, {"after", 0}, {"status", 0}},
                         {{"event", "setDefaultOutput"}, {"before", 41}, {"after", 42}, {"status", 0}},
                     }));
}

TEST_F(SimProcessTest, JournalThatCannotBeOpenedStopsTheProgram) {
    const auto result = probe("summary", {{"DESKTOP_JOURNAL", (dir_ / "no-such-dir" / "journal").string()}});
    EXPECT_EQ(result.exitStatus, 70);
    EXPECT_NE(result.stderrBytes.find("desktop journal"), std::string::npos);
}

}  // namespace
