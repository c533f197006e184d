#include "SceneCapture/SceneWriter.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <variant>

#include <nlohmann/json.hpp>

#include "SceneCapture/Redaction.hpp"
#include "Text/Text.hpp"

namespace SceneCapture {

namespace {

using Json = nlohmann::ordered_json;
using Desktop::AxValue;
using Desktop::PlatformResult;

// The string attributes a scene can write by a short key.
constexpr std::array<std::pair<std::string_view, std::string_view>, 8> shorthands = {{
    {"AXRole", "role"},
    {"AXSubrole", "subrole"},
    {"AXRoleDescription", "roleDescription"},
    {"AXTitle", "title"},
    {"AXDescription", "description"},
    {"AXHelp", "help"},
    {"AXIdentifier", "identifier"},
    {"AXValue", "value"},
}};

// Below this a measured response time is the capture's own overhead, not the application's.
constexpr double shortestResponseTime = 5e-5;

double seconds(double value) {
    if (value < shortestResponseTime) return 0;
    return std::round(value * 1e6) / 1e6;
}

Json errorJson(std::int32_t code) {
    return Json{{"error", code}};
}

Json otherJson(std::string typeName) {
    return Json{{"other", std::move(typeName)}};
}

Json numberJson(double value) {
    // JSON has no NaN or infinity; the type is what is left of such a number.
    if (!std::isfinite(value)) return otherJson("CFNumber");
    return Json(value);
}

bool finite(double a, double b) {
    return std::isfinite(a) && std::isfinite(b);
}

// A window-list value: one case per kind the window server's dictionaries give.
struct LooseValueJson {
    bool redact;

    Json operator()(const std::string& text) const { return redact ? Json(redactedText(text)) : Json(text); }
    Json operator()(std::int64_t number) const { return Json(number); }
    Json operator()(double number) const { return numberJson(number); }
    Json operator()(bool flag) const { return Json(flag); }
    Json operator()(const Desktop::OtherValue& other) const { return otherJson(other.typeName); }
    // The keys CGRectCreateDictionaryRepresentation writes, which the scene reader reads back as a rectangle.
    Json operator()(const Desktop::Rect& rect) const {
        Json bounds = Json::object();
        bounds["X"] = numberJson(rect.origin.x);
        bounds["Y"] = numberJson(rect.origin.y);
        bounds["Width"] = numberJson(rect.size.width);
        bounds["Height"] = numberJson(rect.size.height);
        return bounds;
    }
};

// The lines of a dump, the last one included even when it is empty.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

constexpr std::size_t widestJoinedLine = 100;

// The container that opens on `lines[firstLine]` and closes with `closing`, on one
// line, if it fits; joined only while it can still fit, so a large container
// costs nothing here.
std::optional<std::string> joinedIfItFits(const std::vector<std::string>& lines, std::size_t firstLine,
                                          std::string_view closing) {
    std::string joined = lines[firstLine];
    for (std::size_t i = firstLine + 1; i < lines.size(); ++i) {
        const std::string& inner = lines[i];
        joined += (i == firstLine + 1 ? "" : " ") + inner.substr(inner.find_first_not_of(' '));
        if (joined.size() > widestJoinedLine) return std::nullopt;
    }
    joined += closing;
    if (joined.size() > widestJoinedLine) return std::nullopt;
    return joined;
}

// Puts every object or array on one line when it fits and all it holds fits on
// one line too, so that points, sizes, references and errors read as one value each. The
// dump writes one member per line and escapes line breaks inside strings, so
// lines are safe to join.
std::string compacted(const std::string& dumped) {
    struct Open {
        std::size_t firstLine;
        bool plain = true;  // nothing inside it stayed on several lines
    };
    std::vector<std::string> lines;
    std::vector<Open> open;
    for (auto& line : linesOf(dumped)) {
        const std::size_t indent = line.find_first_not_of(' ');
        const char first = indent == std::string::npos ? '\0' : line[indent];
        if ((first == '}' || first == ']') && !open.empty()) {
            const Open opened = open.back();
            open.pop_back();
            auto joined = opened.plain
                              ? joinedIfItFits(lines, opened.firstLine, std::string_view(line).substr(indent))
                              : std::nullopt;
            if (joined) {
                lines.resize(opened.firstLine);
                lines.push_back(std::move(*joined));
            } else {
                lines.push_back(std::move(line));
                if (!open.empty()) open.back().plain = false;
            }
            continue;
        }
        const bool opens = !line.empty() && (line.back() == '{' || line.back() == '[');
        lines.push_back(std::move(line));
        if (opens) open.push_back({lines.size() - 1});
    }
    return Text::joined(lines, "\n");
}

class Writer {
public:
    Writer(const CapturedDesktop& desktop, const WriteOptions& options)
        : desktop_(desktop), options_(options), referenced_(desktop.elements.size(), false) {}

    std::string write() {
        // The first pass finds which elements are referred to, so that the second
        // can give exactly those an id before the first reference is written.
        withIds_ = false;
        (void)scene();
        withIds_ = true;
        return compacted(scene().dump(2, ' ', false, Json::error_handler_t::replace)) + "\n";
    }

private:
    const CapturedDesktop& desktop_;
    const WriteOptions& options_;
    std::vector<bool> referenced_;
    std::vector<bool> written_;
    bool withIds_ = false;
    std::set<std::string> unplacedNotes_;

    const std::vector<CapturedElement>& elements() const { return desktop_.elements; }

    static std::string idOf(std::size_t node) { return "e" + std::to_string(node); }

    Json reference(std::size_t node) {
        if (!elements()[node].placed) {
            unplacedNotes_.insert("an element that no captured tree holds is written as an unknown value");
            return otherJson("AXUIElement");
        }
        referenced_[node] = true;
        return Json{{"ref", idOf(node)}};
    }

    // No attribute stands for texts that are never a person's: names lists, action
    // names, an application's own title.
    static constexpr std::string_view notAPersonsText{};

    bool redacts(std::string_view attribute) const {
        return options_.redact && !attribute.empty() && !isStructuralAttribute(attribute);
    }

    // Both passes, and every element showing the same text, ask once.
    std::map<std::string, std::string, std::less<>> redactions_;

    const std::string& redacted(const std::string& text) {
        auto found = redactions_.find(text);
        if (found == redactions_.end()) found = redactions_.emplace(text, redactedText(text)).first;
        return found->second;
    }

    Json valueJson(const AxValue& value, std::string_view attribute) {
        return std::visit([&](const auto& v) { return json(v, attribute); }, value.data);
    }

    // One case for each type of value the seam gives.
    Json json(const std::string& text, std::string_view attribute) {
        return redacts(attribute) ? Json(redacted(text)) : Json(text);
    }
    static Json json(std::int64_t number, std::string_view) { return Json(number); }
    static Json json(bool flag, std::string_view) { return Json(flag); }
    static Json json(double number, std::string_view) { return numberJson(number); }
    Json json(const Desktop::Element& element, std::string_view) {
        const auto found = desktop_.elementEntries.find(element.handle());
        if (element.isNull() || found == desktop_.elementEntries.end()) return otherJson("AXUIElement");
        return reference(found->second);
    }
    Json json(const Desktop::AxList& list, std::string_view attribute) {
        Json entries = Json::array();
        for (const auto& entry : list)
            entries.push_back(valueJson(entry, attribute));
        return entries;
    }
    static Json json(const Desktop::Point& point, std::string_view) {
        if (!finite(point.x, point.y)) return otherJson("AXValue");
        return Json{{"point", {point.x, point.y}}};
    }
    static Json json(const Desktop::Size& size, std::string_view) {
        if (!finite(size.width, size.height)) return otherJson("AXValue");
        return Json{{"size", {size.width, size.height}}};
    }
    Json json(const Desktop::Url& url, std::string_view attribute) {
        return Json{{"url", redacts(attribute) ? redacted(url.absoluteString) : url.absoluteString}};
    }
    static Json json(const Desktop::OtherValue& other, std::string_view) { return otherJson(other.typeName); }

    Json readJson(const PlatformResult<AxValue>& read, std::string_view attribute) {
        if (read.code != 0) return errorJson(read.code);
        if (!read.value) return nullptr;
        return valueJson(*read.value, attribute);
    }

    // The element's own place, or a reference when it has its place elsewhere.
    Json entry(std::size_t child, std::size_t parent) {
        const auto& element = elements()[child];
        if (element.placed && element.parent == parent && !written_[child]) return elementJson(child);
        return reference(child);
    }

    Json entries(const std::vector<std::size_t>& nodes, std::size_t parent) {
        Json list = Json::array();
        for (const std::size_t node : nodes)
            list.push_back(entry(node, parent));
        return list;
    }

    double applicationResponseTime(const CapturedElement& root) const {
        if (root.state == CapturedElement::State::unanswered) return unansweredResponseTime;
        return seconds(root.responseTime.value_or(0));
    }

    double timeout() const { return desktop_.limits.timeout.value_or(platformMessagingTimeout); }

    Json elementJson(std::size_t node) {
        written_[node] = true;
        const auto& element = elements()[node];
        const bool isApplication = !element.parent.has_value();
        Json j = Json::object();
        if (!element.unreadReason.empty()) j["comment"] = element.unreadReason;
        if (element.state == CapturedElement::State::unanswered && element.unreadReason.empty()) {
            j["comment"] = "left a request unanswered for " + Json(timeout()).dump() + " s";
        }
        if (withIds_ && referenced_[node]) j["id"] = idOf(node);
        if (element.state == CapturedElement::State::read) writeReading(j, element, isApplication);
        j["hash"] = element.hash;
        if (!isApplication) writeResponseTime(j, element);

        std::vector<std::size_t> children = element.children;
        children.insert(children.end(), element.adopted.begin(), element.adopted.end());
        if (isApplication) {
            if (!element.windows.empty()) j["windows"] = entries(element.windows, node);
            if (children != element.windows) j["children"] = entries(children, node);
        } else if (!children.empty()) {
            j["children"] = entries(children, node);
        }
        return j;
    }

    // What an element that answered gave: its attributes, names, actions and settable attributes.
    void writeReading(Json& j, const CapturedElement& element, bool isApplication) {
        writeShorthands(j, element, isApplication);
        if (const auto* url = element.attribute("AXURL")) j["url"] = urlJson(*url);
        const bool childrenAsRead = element.childrenAsRead || !element.adopted.empty();
        Json attributes = Json::object();
        for (const auto& [name, read] : element.attributes) {
            if (isShorthand(name) || name == "AXURL") continue;
            if (name == "AXChildren" && !childrenAsRead) continue;
            if (isApplication && name == "AXWindows" && !element.windowsAsRead) continue;
            attributes[name] = readJson(read, name);
        }
        if (!attributes.empty()) j["attributes"] = std::move(attributes);
        if (element.namesError != 0) {
            j["attributeNames"] = errorJson(element.namesError);
        } else if (!element.otherNames.empty()) {
            j["attributeNames"] = listJson(element.otherNames);
        }
        if (element.actions.code != 0 || !element.actions.value) {
            j["actions"] =
                errorJson(element.actions.code != 0 ? element.actions.code : Desktop::AxError::failure);
        } else if (!element.actions.value->empty()) {
            j["actions"] = listJson(*element.actions.value);
        }
        if (!element.settable.empty()) j["settable"] = element.settable;
    }

    static bool isShorthand(std::string_view attribute) {
        return std::ranges::any_of(shorthands,
                                   [&](const auto& shorthand) { return shorthand.first == attribute; });
    }

    void writeShorthands(Json& j, const CapturedElement& element, bool isApplication) {
        for (const auto& [attribute, key] : shorthands) {
            if (const auto* read = element.attribute(attribute)) {
                const bool ownName = isApplication && attribute == "AXTitle";
                j[std::string(key)] = readJson(*read, ownName ? notAPersonsText : attribute);
            } else if (isApplication &&
                       (attribute == "AXRole" ||
                        (attribute == "AXTitle" &&
                         desktop_.applications[element.application].running.localizedName))) {
                // A scene's application element has both unless told otherwise.
                j[std::string(key)] = errorJson(Desktop::AxError::attributeUnsupported);
            }
        }
    }

    // A URL as the scene writes it; a string in AXURL is marked as one.
    Json urlJson(const PlatformResult<AxValue>& url) {
        if (url.succeeded() && std::holds_alternative<Desktop::Url>(url.value->data)) {
            return readJson(url, "AXURL")["url"];
        }
        Json read = readJson(url, "AXURL");
        if (read.is_string()) return Json{{"string", std::move(read)}};
        return read;
    }

    // Names and actions, which are never a person's texts.
    Json listJson(const Desktop::AxList& values) {
        Json list = Json::array();
        for (const auto& value : values)
            list.push_back(valueJson(value, notAPersonsText));
        return list;
    }

    // An element's own response time where it differs from its application's.
    void writeResponseTime(Json& j, const CapturedElement& element) {
        const auto& root = elements()[*desktop_.applications[element.application].root];
        const double base = applicationResponseTime(root);
        if (element.state == CapturedElement::State::unanswered) {
            if (base != unansweredResponseTime) j["responseTime"] = unansweredResponseTime;
        } else if (element.state == CapturedElement::State::read) {
            const double own = seconds(element.responseTime.value_or(0));
            if (std::abs(own - base) > 1e-3) j["responseTime"] = own;
        }
    }

    Json applicationJson(const CapturedApplication& application) {
        Json j = Json::object();
        if (!application.comment.empty()) j["comment"] = application.comment;
        j["pid"] = application.running.pid;
        if (application.running.localizedName) j["name"] = *application.running.localizedName;
        if (application.running.bundleIdentifier) j["bundleId"] = *application.running.bundleIdentifier;
        if (!application.root) {
            if (desktop_.accessibilityTrusted) {
                j["comment"] = (application.comment.empty() ? "" : application.comment + "; ") +
                               std::string("accessibility tree not captured");
            }
            return j;
        }
        const auto& root = elements()[*application.root];
        const double responseTime = applicationResponseTime(root);
        if (responseTime > 0) j["responseTime"] = responseTime;
        Json element = elementJson(*application.root);
        if (element.contains("comment")) {
            j["comment"] = (j.contains("comment") ? j["comment"].get<std::string>() + "; " : std::string()) +
                           element["comment"].get<std::string>();
            element.erase("comment");
        }
        for (auto& [key, value] : element.items())
            j[key] = std::move(value);
        return j;
    }

    Json windowListJson() {
        if (!desktop_.windowList) return nullptr;
        Json list = Json::array();
        for (const auto& window : *desktop_.windowList) {
            if (!window) {
                list.push_back("not a dictionary");
                continue;
            }
            Json dictionary = Json::object();
            for (const auto& [key, value] : *window) {
                const bool redact = options_.redact && key == "kCGWindowName";
                dictionary[key] = std::visit(LooseValueJson{redact}, value);
            }
            list.push_back(std::move(dictionary));
        }
        return list;
    }

    template <typename T>
    static Json propertyJson(const PlatformResult<T>& read) {
        if (read.code != 0) return errorJson(read.code);
        if (!read.value) return nullptr;
        if constexpr (std::is_same_v<T, float>) {
            return numberJson(static_cast<double>(*read.value));
        } else {
            return Json(*read.value);
        }
    }

    Json audioJson(std::vector<std::string>& notes) {
        const auto& audio = desktop_.audio;
        Json j = Json::object();
        j["defaultInput"] = propertyJson(audio.defaultInput);
        j["defaultOutput"] = propertyJson(audio.defaultOutput);
        if (audio.deviceListError != 0) j["deviceListError"] = audio.deviceListError;
        Json devices = Json::array();
        std::set<Desktop::AudioObjectId> seen;
        for (const auto& device : audio.devices) {
            if (device.id == Desktop::CoreAudio::unknownObject ||
                device.id == Desktop::CoreAudio::systemObject || !seen.insert(device.id).second) {
                notes.push_back("audio device id " + std::to_string(device.id) + " left out");
                continue;
            }
            Json d = Json::object();
            d["id"] = device.id;
            d["name"] = propertyJson(device.name);
            d["uid"] = propertyJson(device.uid);
            d["inputChannels"] = propertyJson(device.inputChannels);
            d["outputChannels"] = propertyJson(device.outputChannels);
            d["running"] = propertyJson(device.running);
            if (device.mute) d["mute"] = propertyJson(*device.mute);
            if (device.volume) d["volume"] = propertyJson(*device.volume);
            devices.push_back(std::move(d));
        }
        j["devices"] = std::move(devices);
        return j;
    }

    std::string comment(const std::vector<std::string>& notes) const {
        const auto& limits = desktop_.limits;
        std::vector<std::string> captured;
        std::size_t unread = 0;
        std::vector<std::string> hung;
        for (const auto& application : desktop_.applications) {
            if (!application.root) continue;
            const std::string name =
                application.running.localizedName.value_or("pid " + std::to_string(application.running.pid));
            captured.push_back(name);
            unread += application.elementsUnread;
            if (application.stoppedAnswering) hung.push_back(name);
        }
        std::string text = "Captured by scenecapture. Accessibility trees";
        if (captured.empty()) {
            text += ": none";
        } else {
            text += " of";
            for (std::size_t i = 0; i < captured.size(); ++i)
                text += (i == 0 ? " " : ", ") + captured[i];
        }
        text += "; read to " + std::to_string(limits.depth) + " levels below each application, at most " +
                std::to_string(limits.elementsPerApplication) + " elements each";
        text += unread == 0
                    ? ", nothing cut"
                    : "; " + std::to_string(unread) + " listed elements were left unread by these limits";
        for (const auto& name : hung)
            text += "; " + name + " stopped answering, its remaining elements were not asked";
        if (limits.settable.mode == SettableQuery::Mode::none) text += "; settable attributes not asked";
        if (limits.settable.mode == SettableQuery::Mode::named)
            text += "; settable asked only of some attributes";
        text += ". Nothing was pressed or changed, so no press effects are known.";
        if (options_.redact) {
            text += " Redacted: texts that no rule of the tools reads have their letters replaced by x.";
        }
        for (const auto& note : notes)
            text += " " + note + ".";
        for (const auto& note : unplacedNotes_)
            text += " " + note + ".";
        return text;
    }

    Json scene() {
        written_.assign(elements().size(), false);
        std::vector<std::string> notes = desktop_.notes;
        Json j = Json::object();
        j["description"] = options_.description;
        j["comment"] = "";
        j["accessibilityTrusted"] = desktop_.accessibilityTrusted;
        j["frontmost"] = desktop_.frontmost ? Json(desktop_.frontmost->pid) : Json(nullptr);
        Json applications = Json::array();
        for (const auto& application : desktop_.applications)
            applications.push_back(applicationJson(application));
        j["applications"] = std::move(applications);
        j["windowList"] = windowListJson();
        j["audio"] = audioJson(notes);
        j["comment"] = comment(notes);
        return j;
    }
};

}  // namespace

std::string writeScene(const CapturedDesktop& desktop, const WriteOptions& options) {
    return Writer(desktop, options).write();
}

}  // namespace SceneCapture
