#include "Desktop/sim/Scene.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

namespace Desktop::Sim {

const AttributeRead* SceneElement::attribute(std::string_view name) const {
    for (const auto& [attributeName, read] : attributes) {
        if (attributeName == name) return &read;
    }
    return nullptr;
}

const SceneApplication* Scene::application(Pid pid) const {
    for (const auto& app : applications) {
        if (app.pid == pid) return &app;
    }
    return nullptr;
}

const SceneDevice* Scene::device(AudioObjectId id) const {
    for (const auto& device : audio.devices) {
        if (device.id == id) return &device;
    }
    return nullptr;
}

namespace {

using Json = nlohmann::ordered_json;

std::string at(const std::string& pointer, std::string_view key) {
    std::string out = pointer + "/";
    for (char c : key) {
        if (c == '~') {
            out += "~0";
        } else if (c == '/') {
            out += "~1";
        } else {
            out += c;
        }
    }
    return out;
}

std::string at(const std::string& pointer, std::size_t index) {
    return pointer + "/" + std::to_string(index);
}

[[noreturn]] void fail(const std::string& pointer, const std::string& message) {
    throw SceneError(pointer, message);
}

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

const char* typeName(const Json& j) {
    if (j.is_number_integer()) return "integer";
    if (j.is_number_float()) return "floating-point number";
    return j.type_name();
}

void expectObject(const Json& j, const std::string& pointer, std::initializer_list<std::string_view> keys) {
    if (!j.is_object()) fail(pointer, std::string("expected an object, found ") + typeName(j));
    for (const auto& [key, value] : j.items()) {
        if (key == "comment") continue;
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            fail(at(pointer, key), "unknown key " + inQuotes(key));
        }
    }
}

const std::string& asString(const Json& j, const std::string& pointer) {
    if (!j.is_string()) fail(pointer, std::string("expected a string, found ") + typeName(j));
    return j.get_ref<const std::string&>();
}

bool asBool(const Json& j, const std::string& pointer) {
    if (!j.is_boolean()) fail(pointer, std::string("expected true or false, found ") + typeName(j));
    return j.get<bool>();
}

double asNumber(const Json& j, const std::string& pointer) {
    if (!j.is_number()) fail(pointer, std::string("expected a number, found ") + typeName(j));
    return j.get<double>();
}

double asDuration(const Json& j, const std::string& pointer) {
    const double seconds = asNumber(j, pointer);
    if (!(seconds >= 0) || !std::isfinite(seconds)) fail(pointer, "expected a number of seconds, 0 or more");
    return seconds;
}

template <typename Int>
Int asInteger(const Json& j, const std::string& pointer) {
    if (j.is_number_unsigned()) {
        const auto v = j.get<std::uint64_t>();
        if (v <= static_cast<std::uint64_t>(std::numeric_limits<Int>::max())) return static_cast<Int>(v);
        fail(pointer, "integer out of range");
    }
    if (j.is_number_integer()) {
        const auto v = j.get<std::int64_t>();
        if (v >= static_cast<std::int64_t>(std::numeric_limits<Int>::min()) &&
            (v < 0 ||
             static_cast<std::uint64_t>(v) <= static_cast<std::uint64_t>(std::numeric_limits<Int>::max()))) {
            return static_cast<Int>(v);
        }
        fail(pointer, "integer out of range");
    }
    fail(pointer, std::string("expected an integer, found ") + typeName(j));
}

struct NamedCode {
    std::string_view name;
    std::int32_t code;
};

constexpr NamedCode axErrorNames[] = {
    {"failure", AxError::failure},
    {"illegalArgument", AxError::illegalArgument},
    {"invalidUIElement", AxError::invalidUIElement},
    {"invalidUIElementObserver", AxError::invalidUIElementObserver},
    {"cannotComplete", AxError::cannotComplete},
    {"attributeUnsupported", AxError::attributeUnsupported},
    {"actionUnsupported", AxError::actionUnsupported},
    {"notificationUnsupported", AxError::notificationUnsupported},
    {"notImplemented", AxError::notImplemented},
    {"notificationAlreadyRegistered", AxError::notificationAlreadyRegistered},
    {"notificationNotRegistered", AxError::notificationNotRegistered},
    {"apiDisabled", AxError::apiDisabled},
    {"noValue", AxError::noValue},
    {"parameterizedAttributeUnsupported", AxError::parameterizedAttributeUnsupported},
    {"notEnoughPrecision", AxError::notEnoughPrecision},
};

// An AXError: its number, or its name with or without the "kAXError" prefix.
std::int32_t axErrorCode(const Json& j, const std::string& pointer) {
    if (j.is_string()) {
        std::string_view name = j.get_ref<const std::string&>();
        if (name.starts_with("kAXError") && name.size() > 8) {
            std::string lowered(name.substr(8));
            lowered[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(lowered[0])));
            for (const auto& entry : axErrorNames) {
                if (entry.name == lowered) return entry.code;
            }
        }
        for (const auto& entry : axErrorNames) {
            if (entry.name == name) return entry.code;
        }
        fail(pointer, "unknown AXError name " + inQuotes(name));
    }
    const auto code = asInteger<std::int32_t>(j, pointer);
    if (code == 0) fail(pointer, "an error code cannot be 0 (success)");
    return code;
}

// An OSStatus: its number, or its four characters ("nope", "who?").
std::int32_t osStatus(const Json& j, const std::string& pointer) {
    if (j.is_string()) {
        const auto& text = j.get_ref<const std::string&>();
        if (text.size() != 4)
            fail(pointer, "a status is an integer or four characters, found " + inQuotes(text));
        const char chars[5] = {text[0], text[1], text[2], text[3], 0};
        return static_cast<std::int32_t>(fourCharCode(chars));
    }
    const auto code = asInteger<std::int32_t>(j, pointer);
    if (code == 0) fail(pointer, "an error status cannot be 0 (success)");
    return code;
}

struct Entry {
    std::string key;
    const Json* value = nullptr;
};

// An object with exactly one key, as typed values and errors are written.
std::optional<Entry> singleKey(const Json& j) {
    if (!j.is_object() || j.size() != 1) return std::nullopt;
    const auto first = j.begin();
    return Entry{first.key(), &first.value()};
}

// A text written short, so that a scene can hold megabytes without the file
// doing so: `repeat` `count` times, between an optional `prefix` and `suffix`.
// An object with a "repeat" key is always one; anything wrong in it is a fault.
bool isGeneratedString(const Json& j) {
    return j.is_object() && j.contains("repeat");
}

std::string generatedString(const Json& j, const std::string& pointer) {
    expectObject(j, pointer, {"repeat", "count", "prefix", "suffix"});
    const auto& unit = asString(j["repeat"], at(pointer, "repeat"));
    if (unit.empty()) fail(at(pointer, "repeat"), "nothing to repeat: the text is empty");
    if (!j.contains("count")) fail(pointer, "a generated string needs a \"count\"");
    const auto countPointer = at(pointer, "count");
    const auto& countJson = j["count"];
    if (countJson.is_number_integer() && !countJson.is_number_unsigned() &&
        countJson.get<std::int64_t>() < 0) {
        fail(countPointer, "a count cannot be negative");
    }
    const auto count = asInteger<std::uint64_t>(countJson, countPointer);
    const std::string prefix = j.contains("prefix") ? asString(j["prefix"], at(pointer, "prefix")) : "";
    const std::string suffix = j.contains("suffix") ? asString(j["suffix"], at(pointer, "suffix")) : "";
    const std::size_t fixed = prefix.size() + suffix.size();
    if (fixed > maxGeneratedStringBytes || count > (maxGeneratedStringBytes - fixed) / unit.size()) {
        fail(countPointer, "the generated string would be longer than " +
                               std::to_string(maxGeneratedStringBytes) + " bytes");
    }
    std::string text;
    text.reserve(fixed + unit.size() * count);
    text += prefix;
    for (std::uint64_t i = 0; i < count; ++i)
        text += unit;
    text += suffix;
    return text;
}

class Loader {
public:
    explicit Loader(const Json& root) : root_(root) {}

    Scene load() {
        expectObject(root_, "",
                     {"description", "clock", "accessibilityTrusted", "frontmost", "applications",
                      "windowList", "audio", "files", "runs"});
        if (root_.contains("description"))
            scene_.description = asString(root_["description"], "/description");
        if (root_.contains("clock")) {
            const auto& clock = asString(root_["clock"], "/clock");
            if (clock == "real") {
                scene_.realClock = true;
            } else if (clock != "virtual") {
                fail("/clock", "expected \"virtual\" or \"real\", found " + inQuotes(clock));
            }
        }
        if (root_.contains("accessibilityTrusted")) {
            scene_.accessibilityTrusted = asBool(root_["accessibilityTrusted"], "/accessibilityTrusted");
        }
        loadApplications();
        loadFrontmost();
        if (root_.contains("windowList")) loadWindowList(root_["windowList"], "/windowList");
        if (root_.contains("audio")) loadAudio(root_["audio"], "/audio");
        if (root_.contains("files")) loadFiles(root_["files"], "/files");
        if (root_.contains("runs") && !root_["runs"].is_array()) {
            fail("/runs", std::string("expected an array, found ") + typeName(root_["runs"]));
        }
        return std::move(scene_);
    }

private:
    const Json& root_;
    Scene scene_;
    std::vector<const Json*> sources_;  // each element's JSON, by node index
    std::map<std::string, NodeIndex> ids_;
    struct ChildRef {
        NodeIndex parent = 0;
        std::size_t slot = 0;
        const Json* id = nullptr;
        std::string pointer;
    };
    std::vector<ChildRef> childRefs_;

    void loadApplications() {
        if (!root_.contains("applications")) return;
        const auto& apps = root_["applications"];
        if (!apps.is_array())
            fail("/applications", std::string("expected an array, found ") + typeName(apps));
        // First the shape of every tree, so that references may point anywhere,
        // also forwards and into other applications.
        for (std::size_t i = 0; i < apps.size(); ++i) {
            const auto pointer = at("/applications", i);
            const auto& app = apps[i];
            expectObject(app, pointer,
                         {"pid",
                          "name",
                          "bundleId",
                          "windows",
                          "children",
                          "attributes",
                          "attributeNames",
                          "actions",
                          "settable",
                          "setError",
                          "hash",
                          "responseTime",
                          "quitAfterRequests",
                          "id",
                          "role",
                          "subrole",
                          "roleDescription",
                          "title",
                          "description",
                          "help",
                          "identifier",
                          "value",
                          "url"});
            SceneApplication application;
            if (!app.contains("pid")) fail(pointer, "an application needs a \"pid\"");
            application.pid = asInteger<Pid>(app["pid"], at(pointer, "pid"));
            if (scene_.application(application.pid) != nullptr) {
                fail(at(pointer, "pid"), "another application has pid " + std::to_string(application.pid));
            }
            if (app.contains("name")) application.name = asString(app["name"], at(pointer, "name"));
            if (app.contains("bundleId"))
                application.bundleId = asString(app["bundleId"], at(pointer, "bundleId"));
            if (app.contains("responseTime")) {
                application.responseTime = asDuration(app["responseTime"], at(pointer, "responseTime"));
            }
            if (app.contains("quitAfterRequests")) {
                application.quitAfterRequests =
                    asInteger<std::uint64_t>(app["quitAfterRequests"], at(pointer, "quitAfterRequests"));
            }
            application.element = addElement(app, pointer, i, std::nullopt, true);
            scene_.applications.push_back(std::move(application));
        }
        for (const auto& ref : childRefs_) {
            const NodeIndex child = reference(*ref.id, ref.pointer);
            scene_.elements[ref.parent].children[ref.slot] = child;
        }
        for (NodeIndex node = 0; node < scene_.elements.size(); ++node)
            loadDetails(node);
        assignHashes();
    }

    NodeIndex addElement(const Json& j, const std::string& pointer, std::size_t app,
                         std::optional<NodeIndex> parent, bool isApplication) {
        if (!j.is_object()) fail(pointer, std::string("expected an element object, found ") + typeName(j));
        const NodeIndex index = scene_.elements.size();
        SceneElement element;
        element.pointer = pointer;
        element.application = app;
        element.parent = parent;
        element.isApplication = isApplication;
        if (j.contains("id")) {
            const auto& id = asString(j["id"], at(pointer, "id"));
            if (id.empty()) fail(at(pointer, "id"), "an id cannot be empty");
            if (const auto existing = ids_.find(id); existing != ids_.end()) {
                fail(at(pointer, "id"), "duplicate id " + inQuotes(id) + " (also at " +
                                            scene_.elements[existing->second].pointer + ")");
            }
            ids_.emplace(id, index);
            element.id = id;
        }
        scene_.elements.push_back(std::move(element));
        sources_.push_back(&j);

        auto addList = [&](std::string_view key) {
            std::vector<NodeIndex> nodes;
            const auto listPointer = at(pointer, key);
            const auto& list = j[std::string(key)];
            if (!list.is_array())
                fail(listPointer, std::string("expected an array, found ") + typeName(list));
            for (std::size_t i = 0; i < list.size(); ++i) {
                const auto entryPointer = at(listPointer, i);
                if (key == "children" && list[i].is_object() && list[i].contains("ref")) {
                    // An element shown again under another parent (a cycle when it is an
                    // ancestor): resolved once every id is known.
                    expectObject(list[i], entryPointer, {"ref"});
                    childRefs_.push_back({index, nodes.size(), &list[i]["ref"], at(entryPointer, "ref")});
                    nodes.push_back(index);
                    continue;
                }
                nodes.push_back(addElement(list[i], entryPointer, app, index, false));
            }
            return nodes;
        };
        if (isApplication && j.contains("windows")) {
            auto windows = addList("windows");
            scene_.elements[index].windows = std::move(windows);
        }
        if (j.contains("children")) {
            auto children = addList("children");
            scene_.elements[index].children = std::move(children);
        } else if (isApplication) {
            scene_.elements[index].children = scene_.elements[index].windows;
        }
        return index;
    }

    void loadDetails(NodeIndex node) {
        const Json& j = *sources_[node];
        // Copy what is needed up front: parsing values does not add elements,
        // but keeping no reference across calls keeps this obviously safe.
        const std::string pointer = scene_.elements[node].pointer;
        const bool isApplication = scene_.elements[node].isApplication;
        const bool isWindow =
            !isApplication && scene_.elements[node].parent.has_value() &&
            scene_.elements[*scene_.elements[node].parent].isApplication &&
            std::ranges::count(scene_.elements[*scene_.elements[node].parent].windows, node) > 0;
        if (!isApplication) {
            expectObject(j, pointer, {"id",           "role",        "subrole",    "roleDescription",
                                      "title",        "description", "help",       "identifier",
                                      "value",        "url",         "attributes", "attributeNames",
                                      "actions",      "settable",    "setError",   "hash",
                                      "responseTime", "hidden",      "press",      "children",
                                      "focused",      "main"});
        }
        SceneElement& element = scene_.elements[node];

        static constexpr std::pair<std::string_view, std::string_view> shorthands[] = {
            {"role", "AXRole"},
            {"subrole", "AXSubrole"},
            {"roleDescription", "AXRoleDescription"},
            {"title", "AXTitle"},
            {"description", "AXDescription"},
            {"help", "AXHelp"},
            {"identifier", "AXIdentifier"},
            {"value", "AXValue"},
            {"url", "AXURL"},
        };
        for (const auto& [key, attribute] : shorthands) {
            if (!j.contains(key)) continue;
            const auto& value = j[std::string(key)];
            AttributeRead read;
            if (key == "url" && value.is_string()) {
                read.value.data = Url{value.get<std::string>()};
            } else {
                read = attributeRead(value, at(pointer, key));
            }
            element.attributes.emplace_back(attribute, std::move(read));
        }
        if (j.contains("attributes")) {
            const auto attributesPointer = at(pointer, "attributes");
            const auto& attributes = j["attributes"];
            if (!attributes.is_object()) {
                fail(attributesPointer, std::string("expected an object, found ") + typeName(attributes));
            }
            for (const auto& [name, value] : attributes.items()) {
                if (element.attribute(name) != nullptr) {
                    fail(at(attributesPointer, name), "attribute " + inQuotes(name) + " is given twice");
                }
                element.attributes.emplace_back(name, attributeRead(value, at(attributesPointer, name)));
            }
        }
        if (isApplication) {
            // What every application element says about itself, unless the scene says otherwise.
            if (element.attribute("AXRole") == nullptr) {
                element.attributes.insert(
                    element.attributes.begin(),
                    {"AXRole", AttributeRead{0, SceneValue{std::string("AXApplication")}}});
            }
            if (element.attribute("AXTitle") == nullptr && j.contains("name")) {
                element.attributes.emplace_back("AXTitle",
                                                AttributeRead{0, SceneValue{j["name"].get<std::string>()}});
            }
        }
        if (j.contains("attributeNames")) {
            namesOrError(j["attributeNames"], at(pointer, "attributeNames"), element.extraAttributeNames,
                         element.attributeNamesError);
        }
        if (j.contains("actions")) {
            namesOrError(j["actions"], at(pointer, "actions"), element.actions, element.actionNamesError);
        }
        if (j.contains("settable")) {
            const auto settablePointer = at(pointer, "settable");
            const auto& settable = j["settable"];
            if (!settable.is_array()) {
                fail(settablePointer, std::string("expected an array of names, found ") + typeName(settable));
            }
            for (std::size_t i = 0; i < settable.size(); ++i) {
                element.settable.push_back(asString(settable[i], at(settablePointer, i)));
            }
        }
        if (j.contains("setError")) element.setError = axErrorCode(j["setError"], at(pointer, "setError"));
        if (j.contains("hash")) element.hash = asInteger<std::uint64_t>(j["hash"], at(pointer, "hash"));
        if (j.contains("responseTime") && !isApplication) {
            element.responseTime = asDuration(j["responseTime"], at(pointer, "responseTime"));
        }
        if (j.contains("hidden")) element.hidden = asBool(j["hidden"], at(pointer, "hidden"));
        if (j.contains("press")) element.press = pressEffect(j["press"], at(pointer, "press"));
        for (const auto* flag : {"focused", "main"}) {
            if (!j.contains(flag)) continue;
            const auto flagPointer = at(pointer, flag);
            if (!asBool(j[flag], flagPointer)) continue;
            if (!isWindow) fail(flagPointer, std::string("only a window of an application can be ") + flag);
            auto& app = scene_.elements[*scene_.elements[node].parent];
            auto& slot = std::string_view(flag) == "focused" ? app.focusedWindow : app.mainWindow;
            if (slot) {
                fail(flagPointer, std::string("another window of this application is already ") + flag +
                                      " (" + scene_.elements[*slot].pointer + ")");
            }
            slot = node;
        }
    }

    void assignHashes() {
        std::set<std::uint64_t> used;
        for (NodeIndex node = 0; node < scene_.elements.size(); ++node) {
            if (sources_[node]->contains("hash")) used.insert(scene_.elements[node].hash);
        }
        // Distinct from each other and from every hash the scene chose, and the same
        // on every run of the same scene.
        std::uint64_t next = 0x51A0000;
        for (NodeIndex node = 0; node < scene_.elements.size(); ++node) {
            if (sources_[node]->contains("hash")) continue;
            while (used.contains(next))
                ++next;
            scene_.elements[node].hash = next++;
        }
    }

    NodeIndex reference(const Json& j, const std::string& pointer) {
        const auto& id = asString(j, pointer);
        const auto found = ids_.find(id);
        if (found == ids_.end()) fail(pointer, "no element has the id " + inQuotes(id));
        return found->second;
    }

    std::vector<NodeIndex> references(const Json& j, const std::string& pointer) {
        if (!j.is_array()) fail(pointer, std::string("expected an array of ids, found ") + typeName(j));
        std::vector<NodeIndex> nodes;
        for (std::size_t i = 0; i < j.size(); ++i)
            nodes.push_back(reference(j[i], at(pointer, i)));
        return nodes;
    }

    PressEffect pressEffect(const Json& j, const std::string& pointer) {
        expectObject(j, pointer, {"show", "hide", "toggle", "error"});
        PressEffect effect;
        if (j.contains("error")) effect.error = axErrorCode(j["error"], at(pointer, "error"));
        if (j.contains("show")) effect.show = references(j["show"], at(pointer, "show"));
        if (j.contains("hide")) effect.hide = references(j["hide"], at(pointer, "hide"));
        if (j.contains("toggle")) effect.toggle = references(j["toggle"], at(pointer, "toggle"));
        return effect;
    }

    void namesOrError(const Json& j, const std::string& pointer, SceneList& names,
                      std::optional<std::int32_t>& error) {
        if (const auto entry = singleKey(j); entry && entry->key == "error") {
            error = axErrorCode(*entry->value, at(pointer, "error"));
            return;
        }
        if (!j.is_array())
            fail(pointer, std::string("expected an array of names or an error, found ") + typeName(j));
        for (std::size_t i = 0; i < j.size(); ++i)
            names.push_back(value(j[i], at(pointer, i)));
    }

    AttributeRead attributeRead(const Json& j, const std::string& pointer) {
        if (const auto entry = singleKey(j); entry && entry->key == "error") {
            return AttributeRead{axErrorCode(*entry->value, at(pointer, "error")), SceneValue{NoValue{}}};
        }
        return AttributeRead{0, value(j, pointer)};
    }

    static std::pair<double, double> pair(const Json& j, const std::string& pointer) {
        if (!j.is_array() || j.size() != 2) fail(pointer, "expected an array of two numbers");
        return {asNumber(j[0], at(pointer, 0)), asNumber(j[1], at(pointer, 1))};
    }

    SceneValue value(const Json& j, const std::string& pointer) {
        switch (j.type()) {
            case Json::value_t::string:
                return SceneValue{j.get<std::string>()};
            case Json::value_t::boolean:
                return SceneValue{j.get<bool>()};
            case Json::value_t::number_integer:
            case Json::value_t::number_unsigned:
                return SceneValue{asInteger<std::int64_t>(j, pointer)};
            case Json::value_t::number_float:
                return SceneValue{j.get<double>()};
            case Json::value_t::null:
                return SceneValue{NoValue{}};
            case Json::value_t::array: {
                SceneList list;
                for (std::size_t i = 0; i < j.size(); ++i)
                    list.push_back(value(j[i], at(pointer, i)));
                return SceneValue{std::move(list)};
            }
            default:
                break;
        }
        if (isGeneratedString(j)) return SceneValue{generatedString(j, pointer)};
        const auto entry = singleKey(j);
        if (!entry) {
            fail(pointer, "a typed value is an object with one key (\"int\", \"float\", \"ref\", ...)");
        }
        const std::string& type = entry->key;
        const Json& content = *entry->value;
        const auto contentPointer = at(pointer, type);
        if (type == "string") return SceneValue{asString(content, contentPointer)};
        if (type == "int") return SceneValue{asInteger<std::int64_t>(content, contentPointer)};
        if (type == "float") return SceneValue{asNumber(content, contentPointer)};
        if (type == "bool") return SceneValue{asBool(content, contentPointer)};
        if (type == "ref") return SceneValue{ElementRef{reference(content, contentPointer)}};
        if (type == "url") return SceneValue{Url{asString(content, contentPointer)}};
        if (type == "other") return SceneValue{OtherValue{asString(content, contentPointer)}};
        if (type == "point") {
            const auto [x, y] = pair(content, contentPointer);
            return SceneValue{Point{x, y}};
        }
        if (type == "size") {
            const auto [width, height] = pair(content, contentPointer);
            return SceneValue{Size{width, height}};
        }
        if (type == "list") {
            if (!content.is_array())
                fail(contentPointer, std::string("expected an array, found ") + typeName(content));
            return value(content, contentPointer);
        }
        if (type == "error")
            fail(pointer, "an error can stand only for a whole attribute read, not inside a list");
        fail(pointer, "unknown value type " + inQuotes(type));
    }

    void loadFrontmost() {
        if (!root_.contains("frontmost") || root_["frontmost"].is_null()) return;
        const auto pid = asInteger<Pid>(root_["frontmost"], "/frontmost");
        for (std::size_t i = 0; i < scene_.applications.size(); ++i) {
            if (scene_.applications[i].pid == pid) {
                scene_.frontmost = i;
                return;
            }
        }
        fail("/frontmost", "no application has pid " + std::to_string(pid));
    }

    static LooseValue looseValue(const Json& j, const std::string& pointer) {
        if (isGeneratedString(j)) return generatedString(j, pointer);
        switch (j.type()) {
            case Json::value_t::string:
                return j.get<std::string>();
            case Json::value_t::boolean:
                return j.get<bool>();
            case Json::value_t::number_integer:
                return j.get<std::int64_t>();
            case Json::value_t::number_unsigned:
                // CFNumber holds no unsigned 64-bit kind; larger values arrive as floating.
                if (j.get<std::uint64_t>() >
                    static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                    return j.get<double>();
                }
                return j.get<std::int64_t>();
            case Json::value_t::number_float:
                return j.get<double>();
            case Json::value_t::array:
                return OtherValue{"CFArray"};
            case Json::value_t::null:
                return OtherValue{"CFNull"};
            default:
                break;
        }
        if (const auto entry = singleKey(j); entry && entry->key == "other" && entry->value->is_string()) {
            return OtherValue{entry->value->get<std::string>()};
        }
        if (const auto rect = rectangle(j)) return *rect;
        return OtherValue{"CFDictionary"};
    }

    // What CGRectMakeWithDictionaryRepresentation reads: the numbers "X", "Y", "Width" and
    // "Height"; other keys are ignored, and a missing or non-numeric one reads as no rectangle.
    static std::optional<Rect> rectangle(const Json& j) {
        double numbers[4];
        const char* const keys[] = {"X", "Y", "Width", "Height"};
        for (std::size_t i = 0; i < 4; ++i) {
            const auto it = j.find(keys[i]);
            if (it == j.end() || !it->is_number()) return std::nullopt;
            numbers[i] = it->get<double>();
        }
        return Rect{.origin = {.x = numbers[0], .y = numbers[1]},
                    .size = {.width = numbers[2], .height = numbers[3]}};
    }

    void loadWindowList(const Json& j, const std::string& pointer) {
        if (j.is_null()) {
            scene_.windowList.reset();
            return;
        }
        if (!j.is_array()) fail(pointer, std::string("expected an array or null, found ") + typeName(j));
        auto& list = *scene_.windowList;
        for (std::size_t i = 0; i < j.size(); ++i) {
            const auto& entry = j[i];
            if (!entry.is_object()) {
                list.emplace_back(std::nullopt);
                continue;
            }
            WindowDictionary dictionary;
            for (const auto& [key, value] : entry.items())
                dictionary[key] = looseValue(value, at(at(pointer, i), key));
            list.emplace_back(std::move(dictionary));
        }
    }

    template <typename T, typename ReadValue>
    AudioProperty<T> audioProperty(const Json& j, const std::string& pointer, ReadValue readValue) {
        AudioProperty<T> property;
        if (const auto entry = singleKey(j); entry && entry->key == "error") {
            property.readError = osStatus(*entry->value, at(pointer, "error"));
            return property;
        }
        if (j.is_object()) {
            expectObject(j, pointer, {"value", "readError", "writeError"});
            if (j.contains("value") && !j["value"].is_null())
                property.value = readValue(j["value"], at(pointer, "value"));
            if (j.contains("readError"))
                property.readError = osStatus(j["readError"], at(pointer, "readError"));
            if (j.contains("writeError"))
                property.writeError = osStatus(j["writeError"], at(pointer, "writeError"));
            return property;
        }
        if (!j.is_null()) property.value = readValue(j, pointer);
        return property;
    }

    static std::uint32_t uint32Value(const Json& j, const std::string& pointer) {
        if (j.is_boolean()) return j.get<bool>() ? 1 : 0;
        return asInteger<std::uint32_t>(j, pointer);
    }

    static float float32Value(const Json& j, const std::string& pointer) {
        return static_cast<float>(asNumber(j, pointer));
    }

    static std::string stringValue(const Json& j, const std::string& pointer) { return asString(j, pointer); }

    AudioProperty<std::uint32_t> uint32Property(const Json& j, const std::string& pointer) {
        auto property = audioProperty<std::uint32_t>(j, pointer, uint32Value);
        if (!property.value && property.readError == 0) property.value = 0;
        return property;
    }

    ChannelLayout channels(const Json& j, const std::string& pointer) {
        ChannelLayout layout;
        if (const auto entry = singleKey(j); entry && entry->key == "error") {
            layout.error = osStatus(*entry->value, at(pointer, "error"));
            return layout;
        }
        if (!j.is_array()) fail(pointer, "expected an array of channel counts, one per buffer, or an error");
        for (std::size_t i = 0; i < j.size(); ++i)
            layout.buffers.push_back(asInteger<std::uint32_t>(j[i], at(pointer, i)));
        return layout;
    }

    SceneDevice audioDevice(const Json& d, const std::string& devicePointer) {
        expectObject(d, devicePointer,
                     {"id", "name", "uid", "inputChannels", "outputChannels", "running", "mute", "volume"});
        SceneDevice device;
        device.pointer = devicePointer;
        if (!d.contains("id")) fail(devicePointer, "a device needs an \"id\"");
        device.id = deviceId(d["id"], at(devicePointer, "id"));
        if (d.contains("name"))
            device.name = audioProperty<std::string>(d["name"], at(devicePointer, "name"), stringValue);
        if (d.contains("uid"))
            device.uid = audioProperty<std::string>(d["uid"], at(devicePointer, "uid"), stringValue);
        if (d.contains("inputChannels"))
            device.inputChannels = channels(d["inputChannels"], at(devicePointer, "inputChannels"));
        if (d.contains("outputChannels")) {
            device.outputChannels = channels(d["outputChannels"], at(devicePointer, "outputChannels"));
        }
        device.running.value = 0;
        if (d.contains("running"))
            device.running = uint32Property(d["running"], at(devicePointer, "running"));
        if (d.contains("mute")) {
            device.mute = uint32Property(d["mute"], at(devicePointer, "mute"));
        }
        if (d.contains("volume")) {
            device.volume = audioProperty<float>(d["volume"], at(devicePointer, "volume"), float32Value);
            if (!device.volume->value && device.volume->readError == 0) device.volume->value = 0.0F;
        }
        return device;
    }

    static AudioObjectId deviceId(const Json& j, const std::string& pointer) {
        const auto id = asInteger<AudioObjectId>(j, pointer);
        if (id == CoreAudio::unknownObject || id == CoreAudio::systemObject) {
            fail(pointer, "device ids 0 and 1 belong to the system");
        }
        return id;
    }

    void loadAudio(const Json& j, const std::string& pointer) {
        expectObject(j, pointer, {"devices", "deviceListError", "defaultInput", "defaultOutput", "changes"});
        auto& audio = scene_.audio;
        if (j.contains("deviceListError"))
            audio.deviceListError = osStatus(j["deviceListError"], at(pointer, "deviceListError"));
        if (j.contains("defaultInput"))
            audio.defaultInput = uint32Property(j["defaultInput"], at(pointer, "defaultInput"));
        if (j.contains("defaultOutput")) {
            audio.defaultOutput = uint32Property(j["defaultOutput"], at(pointer, "defaultOutput"));
        }
        if (j.contains("devices")) {
            const auto devicesPointer = at(pointer, "devices");
            const auto& devices = j["devices"];
            if (!devices.is_array())
                fail(devicesPointer, std::string("expected an array, found ") + typeName(devices));
            for (std::size_t i = 0; i < devices.size(); ++i) {
                auto next = audioDevice(devices[i], at(devicesPointer, i));
                if (scene_.device(next.id) != nullptr) {
                    fail(at(at(devicesPointer, i), "id"), "another device has id " + std::to_string(next.id));
                }
                audio.devices.push_back(std::move(next));
            }
        }
        if (j.contains("changes")) loadAudioChanges(j["changes"], at(pointer, "changes"));
    }

    void loadAudioChanges(const Json& j, const std::string& pointer) {
        if (!j.is_array()) fail(pointer, std::string("expected an array, found ") + typeName(j));
        constexpr std::string_view kinds[] = {"removeDevice", "addDevice", "setDefaultOutput"};
        for (std::size_t i = 0; i < j.size(); ++i) {
            const auto changePointer = at(pointer, i);
            const auto& c = j[i];
            expectObject(c, changePointer,
                         {"afterEvent", "after", "removeDevice", "addDevice", "setDefaultOutput"});
            AudioChange change;
            change.pointer = changePointer;
            if (c.contains("afterEvent"))
                change.afterEvent = asString(c["afterEvent"], at(changePointer, "afterEvent"));
            if (c.contains("after")) change.after = asDuration(c["after"], at(changePointer, "after"));
            const auto given = std::count_if(std::begin(kinds), std::end(kinds),
                                             [&](std::string_view kind) { return c.contains(kind); });
            if (given != 1) {
                fail(changePointer,
                     "a change does one of \"removeDevice\", \"addDevice\" or \"setDefaultOutput\"");
            }
            if (c.contains("removeDevice")) {
                change.what = RemoveDevice{deviceId(c["removeDevice"], at(changePointer, "removeDevice"))};
            } else if (c.contains("addDevice")) {
                change.what = AddDevice{audioDevice(c["addDevice"], at(changePointer, "addDevice"))};
            } else {
                change.what =
                    SetDefaultOutput{deviceId(c["setDefaultOutput"], at(changePointer, "setDefaultOutput"))};
            }
            scene_.audioChanges.push_back(std::move(change));
        }
        // A change that names a device the scene never has is a typo, not a test.
        const auto known = [&](AudioObjectId id) {
            if (scene_.device(id) != nullptr) return true;
            return std::any_of(scene_.audioChanges.begin(), scene_.audioChanges.end(),
                               [id](const AudioChange& c) {
                                   const auto* added = std::get_if<AddDevice>(&c.what);
                                   return added != nullptr && added->device.id == id;
                               });
        };
        for (const auto& change : scene_.audioChanges) {
            if (const auto* removed = std::get_if<RemoveDevice>(&change.what);
                removed && !known(removed->id)) {
                fail(at(change.pointer, "removeDevice"), "no device has id " + std::to_string(removed->id));
            }
            if (const auto* chosen = std::get_if<SetDefaultOutput>(&change.what);
                chosen && !known(chosen->id)) {
                fail(at(change.pointer, "setDefaultOutput"),
                     "no device has id " + std::to_string(chosen->id));
            }
        }
    }

    void loadFiles(const Json& j, const std::string& pointer) {
        if (!j.is_object())
            fail(pointer, std::string("expected an object keyed by path, found ") + typeName(j));
        for (const auto& [path, entry] : j.items()) {
            const auto filePointer = at(pointer, path);
            expectObject(entry, filePointer, {"duration", "loadError", "playReturns", "stalls", "exists"});
            SceneFile file;
            if (entry.contains("duration"))
                file.duration = asDuration(entry["duration"], at(filePointer, "duration"));
            if (entry.contains("loadError"))
                file.loadError = asString(entry["loadError"], at(filePointer, "loadError"));
            if (entry.contains("playReturns"))
                file.playSucceeds = asBool(entry["playReturns"], at(filePointer, "playReturns"));
            if (entry.contains("stalls")) file.stalls = asBool(entry["stalls"], at(filePointer, "stalls"));
            if (entry.contains("exists")) file.exists = asBool(entry["exists"], at(filePointer, "exists"));
            scene_.files.emplace(path, std::move(file));
        }
    }
};

std::string lineAndColumn(std::string_view text, std::size_t byte) {
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < byte && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

Scene parseScene(std::string_view json) {
    Json root;
    try {
        root = Json::parse(json.begin(), json.end());
    } catch (const Json::parse_error& error) {
        // nlohmann reports the byte just past the fault, and its own explanation after the place.
        std::string what = error.what();
        if (const auto place = what.find("column "); place != std::string::npos) {
            if (const auto cut = what.find(": ", place); cut != std::string::npos)
                what = what.substr(cut + 2);
        }
        const std::size_t byte = error.byte > 0 ? error.byte - 1 : 0;
        fail("", "not valid JSON at " + lineAndColumn(json, byte) + ": " + what);
    }
    return Loader(root).load();
}

Scene readSceneFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) fail("", std::string("cannot be read: ") + std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) fail("", std::string("cannot be read: ") + std::strerror(errno));
    return parseScene(text.str());
}

std::string describeSceneError(const std::string& path, const SceneError& error) {
    std::string line = "desktop scene " + path + ": ";
    if (!error.pointer().empty()) line += error.pointer() + ": ";
    return line + error.what();
}

}  // namespace Desktop::Sim
