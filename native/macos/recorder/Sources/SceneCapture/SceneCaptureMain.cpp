#include "SceneCapture/SceneCaptureMain.hpp"

#include <charconv>
#include <cmath>
#include <ostream>
#include <string_view>
#include <utility>

namespace SceneCapture {

const char* const usage =
    "usage: scenecapture [options] > scene.json\n"
    "Prints the desktop it runs on as one scene: Accessibility trust, the frontmost and\n"
    "running applications, the on-screen window list, the audio devices, and the\n"
    "accessibility trees of the frontmost application, of every application with an\n"
    "on-screen window of layer 0 and of the Zoom client. Nothing is pressed or changed.\n"
    "\n"
    "  --app PID|NAME|BUNDLE-ID  also capture this application's tree (repeatable)\n"
    "  --only                    capture only the trees named with --app\n"
    "  --all-apps                capture the tree of every running application\n"
    "  --depth N                 levels read below each application element (default 40)\n"
    "  --elements N              elements read per application (default 20000)\n"
    "  --timeout SECONDS         how long an element may take to answer (default: the\n"
    "                            system's 6 s; shorter can take a slow element for a hung one)\n"
    "  --settable all|none|A,B   which listed attributes to ask whether they are settable,\n"
    "                            one request each (default all)\n"
    "  --redact                  replace the letters of texts that no rule of the tools\n"
    "                            reads (participant names, chat messages) by x\n"
    "  --description TEXT        the scene's description\n"
    "  --help                    this text\n";

namespace {

template <typename Number>
std::optional<Number> wholeNumber(const std::string& text, Number least) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < least) return std::nullopt;
    return value;
}

std::optional<double> positiveSeconds(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !(value > 0) || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::vector<std::string> commaList(const std::string& text) {
    std::vector<std::string> items;
    std::string current;
    for (const char c : text) {
        if (c == ',') {
            if (!current.empty()) items.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) items.push_back(current);
    return items;
}

// Options without a value.
struct Flag {
    std::string_view name;
    void (*set)(Options& options);
};

constexpr Flag flags[] = {
    {"--help", [](Options& options) { options.help = true; }},
    {"-h", [](Options& options) { options.help = true; }},
    {"--only", [](Options& options) { options.applications.onlyNamed = true; }},
    {"--all-apps", [](Options& options) { options.applications.all = true; }},
    {"--redact", [](Options& options) { options.output.redact = true; }},
};

// Options followed by a value; `set` gives the reason a value cannot be used.
struct ValuedOption {
    std::string_view name;
    std::optional<std::string> (*set)(Options& options, const std::string& text);
};

constexpr ValuedOption valuedOptions[] = {
    {"--app",
     [](Options& options, const std::string& text) -> std::optional<std::string> {
         options.applications.named.push_back(text);
         return std::nullopt;
     }},
    {"--depth",
     [](Options& options, const std::string& text) -> std::optional<std::string> {
         const auto depth = wholeNumber<int>(text, 0);
         if (!depth) return "--depth takes a whole number, 0 or more: " + text;
         options.limits.depth = *depth;
         return std::nullopt;
     }},
    {"--elements",
     [](Options& options, const std::string& text) -> std::optional<std::string> {
         const auto count = wholeNumber<std::size_t>(text, 1);
         if (!count) return "--elements takes a whole number, 1 or more: " + text;
         options.limits.elementsPerApplication = *count;
         return std::nullopt;
     }},
    {"--timeout",
     [](Options& options, const std::string& text) -> std::optional<std::string> {
         const auto timeout = positiveSeconds(text);
         if (!timeout) return "--timeout takes seconds, more than 0: " + text;
         options.limits.timeout = *timeout;
         return std::nullopt;
     }},
    {"--settable",
     [](Options& options, const std::string& text) -> std::optional<std::string> {
         if (text == "all") {
             options.limits.settable = {.mode = SettableQuery::Mode::all};
         } else if (text == "none") {
             options.limits.settable = {.mode = SettableQuery::Mode::none};
         } else {
             options.limits.settable = {.mode = SettableQuery::Mode::named, .names = commaList(text)};
         }
         return std::nullopt;
     }},
    {"--description",
     [](Options& options, const std::string& text) -> std::optional<std::string> {
         options.output.description = text;
         return std::nullopt;
     }},
};

template <typename Option, std::size_t count>
const Option* findOption(const Option (&options)[count], std::string_view name) {
    for (const auto& option : options) {
        if (option.name == name) return &option;
    }
    return nullptr;
}

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (const auto* flag = findOption(flags, argument)) {
            flag->set(options);
            continue;
        }
        const auto* valued = findOption(valuedOptions, argument);
        if (valued == nullptr) return {std::nullopt, "unknown argument " + argument};
        if (i + 1 == arguments.size()) return {std::nullopt, argument + " needs a value"};
        if (auto error = valued->set(options, arguments[++i])) return {std::nullopt, std::move(*error)};
    }
    if (options.applications.onlyNamed && options.applications.named.empty() && !options.applications.all) {
        return {std::nullopt, "--only needs at least one --app"};
    }
    return {options, ""};
}

int runSceneCapture(const std::vector<std::string>& arguments, Desktop::Platform& platform, std::ostream& out,
                    std::ostream& err) {
    const auto parsed = parseOptions(arguments);
    if (!parsed.options) {
        err << "scenecapture: " << parsed.error << "\n" << usage;
        return 2;
    }
    if (parsed.options->help) {
        out << usage;
        return 0;
    }
    const auto desktop = captureDesktop(platform, parsed.options->applications, parsed.options->limits);
    out << writeScene(desktop, parsed.options->output);
    out.flush();
    return out ? 0 : 1;
}

}  // namespace SceneCapture
