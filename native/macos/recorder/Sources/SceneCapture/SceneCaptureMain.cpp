#include "SceneCapture/SceneCaptureMain.hpp"

#include <charconv>
#include <cmath>
#include <ostream>

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

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto value = [&]() -> const std::string* {
            return i + 1 < arguments.size() ? &arguments[++i] : nullptr;
        };
        const auto missing = [&] { return ParsedOptions{std::nullopt, argument + " needs a value"}; };
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--only") {
            options.applications.onlyNamed = true;
        } else if (argument == "--all-apps") {
            options.applications.all = true;
        } else if (argument == "--redact") {
            options.output.redact = true;
        } else if (argument == "--app") {
            const auto* name = value();
            if (name == nullptr) return missing();
            options.applications.named.push_back(*name);
        } else if (argument == "--depth") {
            const auto* text = value();
            if (text == nullptr) return missing();
            const auto depth = wholeNumber<int>(*text, 0);
            if (!depth) return {std::nullopt, "--depth takes a whole number, 0 or more: " + *text};
            options.limits.depth = *depth;
        } else if (argument == "--elements") {
            const auto* text = value();
            if (text == nullptr) return missing();
            const auto count = wholeNumber<std::size_t>(*text, 1);
            if (!count) return {std::nullopt, "--elements takes a whole number, 1 or more: " + *text};
            options.limits.elementsPerApplication = *count;
        } else if (argument == "--timeout") {
            const auto* text = value();
            if (text == nullptr) return missing();
            const auto timeout = positiveSeconds(*text);
            if (!timeout) return {std::nullopt, "--timeout takes seconds, more than 0: " + *text};
            options.limits.timeout = *timeout;
        } else if (argument == "--settable") {
            const auto* text = value();
            if (text == nullptr) return missing();
            if (*text == "all") {
                options.limits.settable = {.mode = SettableQuery::Mode::all};
            } else if (*text == "none") {
                options.limits.settable = {.mode = SettableQuery::Mode::none};
            } else {
                options.limits.settable = {.mode = SettableQuery::Mode::named, .names = commaList(*text)};
            }
        } else if (argument == "--description") {
            const auto* text = value();
            if (text == nullptr) return missing();
            options.output.description = *text;
        } else {
            return {std::nullopt, "unknown argument " + argument};
        }
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
