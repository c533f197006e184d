#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Every module, a folder under Sources named as its headers are included, and
// the modules it may include besides itself. A folder inside another module's
// folder is a module of its own: "RoomcodeCore/system" is not "RoomcodeCore".
struct Module {
    std::string_view name;
    std::vector<std::string_view> mayInclude;
};

const std::vector<Module> modules = {
    {"Text", {}},
    {"ConferenceEvidence", {"Text"}},
    // The seam: its interfaces include nothing of ours; each implementation only the interfaces,
    // and the macOS one the text conversions its converters share.
    {"Desktop", {}},
    {"Desktop/macos", {"Desktop", "Text"}},
    {"Desktop/sim", {"Desktop"}},
    {"AccessibilityValues", {"Desktop", "Text"}},
    // Everything that decides in roomcode works on its own node and runtime interfaces;
    // only the system adapters reach the seam.
    {"RoomcodeCore", {"Text"}},
    {"RoomcodeCore/system", {"RoomcodeCore", "AccessibilityValues", "Desktop", "Text"}},
    // The programs: none includes another's module.
    {"Callsense", {"ConferenceEvidence", "AccessibilityValues", "Desktop", "Text"}},
    {"RoomcodeCLI", {"RoomcodeCore", "RoomcodeCore/system", "Desktop", "Text"}},
    {"Noticeplay", {"Desktop", "Text"}},
    // It keeps a text whole where masking it would change what a tool's rule answers.
    {"SceneCapture", {"ConferenceEvidence", "RoomcodeCore", "AccessibilityValues", "Desktop", "Text"}},
};

const fs::path sources = RECORDER_SOURCES_DIR;

// The module a path under Sources (a file or an include) belongs to: the longest
// module name that is a folder prefix of it.
const Module* moduleOf(const std::string& path) {
    const Module* found = nullptr;
    for (const auto& module : modules) {
        const std::string prefix = std::string(module.name) + "/";
        if (path.starts_with(prefix) && (found == nullptr || module.name.size() > found->name.size())) {
            found = &module;
        }
    }
    return found;
}

bool isSource(const fs::path& path) {
    static const std::vector<std::string> extensions = {".cpp", ".hpp", ".h", ".mm"};
    return std::find(extensions.begin(), extensions.end(), path.extension().string()) != extensions.end();
}

std::vector<std::string> sourceFiles() {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(sources)) {
        if (entry.is_regular_file() && isSource(entry.path())) {
            files.push_back(entry.path().lexically_relative(sources).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The quoted includes and imports of a file; the angle-bracket ones are the
// system's and the platform's.
std::vector<std::string> quotedIncludes(const std::string& file) {
    static const std::regex include(R"re(^\s*#\s*(?:include|import)\s*"([^"]+)")re");
    std::vector<std::string> includes;
    std::ifstream in(sources / file);
    std::string line;
    std::smatch match;
    while (std::getline(in, line)) {
        if (std::regex_search(line, match, include)) includes.push_back(match[1].str());
    }
    return includes;
}

TEST(Layering, EveryFileBelongsToAModule) {
    const auto files = sourceFiles();
    ASSERT_GT(files.size(), 50U);
    for (const auto& file : files) {
        EXPECT_NE(moduleOf(file), nullptr) << file << " is in no module of the table";
    }
}

TEST(Layering, EachModuleIncludesOnlyWhatItMay) {
    for (const auto& file : sourceFiles()) {
        const Module* module = moduleOf(file);
        if (module == nullptr) continue;
        SCOPED_TRACE(file);
        for (const auto& include : quotedIncludes(file)) {
            const Module* included = moduleOf(include);
            ASSERT_NE(included, nullptr) << "includes \"" << include << "\", which is in no module";
            const bool allowed =
                included == module || std::find(module->mayInclude.begin(), module->mayInclude.end(),
                                                included->name) != module->mayInclude.end();
            EXPECT_TRUE(allowed) << module->name << " may not include \"" << include << "\" ("
                                 << included->name << ")";
        }
    }
}

TEST(Layering, TheTableNamesOnlyModulesThatExist) {
    for (const auto& module : modules) {
        SCOPED_TRACE(module.name);
        EXPECT_TRUE(fs::is_directory(sources / module.name));
        for (const auto name : module.mayInclude) {
            EXPECT_TRUE(std::any_of(modules.begin(), modules.end(), [&](const Module& other) {
                return other.name == name;
            })) << name;
        }
    }
}

}  // namespace
