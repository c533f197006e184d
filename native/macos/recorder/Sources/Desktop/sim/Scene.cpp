#include "Desktop/sim/Scene.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
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

template <typename Keys, typename KeyOf>
void expectObjectWith(const Json& j, const std::string& pointer, const Keys& keys, KeyOf keyOf) {
    if (!j.is_object()) fail(pointer, std::string("expected an object, found ") + typeName(j));
    for (const auto& item : j.items()) {
        const std::string& key = item.key();
        if (key == "comment") continue;
        if (std::none_of(keys.begin(), keys.end(), [&](const auto& known) { return keyOf(known) == key; })) {
            fail(at(pointer, key), "unknown key " + inQuotes(key));
        }
    }
}

void expectObject(const Json& j, const std::string& pointer, std::initializer_list<std::string_view> keys) {
    expectObjectWith(j, pointer, keys, [](std::string_view key) { return key; });
}

// One key a scene object may hold, and what reading it does.
struct Field {
    std::string_view key;
    // Empty for a key that the loader's first pass, which lays out the trees, reads.
    std::function<void(const Json& value, const std::string& pointer)> read;
    // For a key the object cannot do without: the fault when it is missing.
    const char* missing = nullptr;
};

// A field read into `target` by `read`, which checks its value and says where it is wrong.
template <typename T, typename Read>
Field field(std::string_view key, T& target, Read read) {
    return {key, [&target, read](const Json& value, const std::string& pointer) {
                target = read(value, pointer);
            }};
}

Field readByTheTreePass(std::string_view key) {
    return {key, {}};
}

Field required(Field known, const char* missing) {
    known.missing = missing;
    return known;
}

// The one way an object of the scene is read, so that the keys it may hold are
// the keys that are read: any other key (but "comment") is a fault, then every
// required key must be there, then each field present is read in the order given.
void readFields(const Json& j, const std::string& pointer, const std::vector<Field>& fields) {
    expectObjectWith(j, pointer, fields, [](const Field& known) { return known.key; });
    for (const auto& known : fields) {
        if (known.missing != nullptr && !j.contains(known.key)) fail(pointer, known.missing);
    }
    for (const auto& known : fields) {
        if (!known.read) continue;
        if (const auto found = j.find(known.key); found != j.end())
            known.read(*found, at(pointer, known.key));
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
        readFields(
            root_, "",
            {
                field("description", scene_.description, asString),
                field("clock", scene_.realClock, realClock),
                field("accessibilityTrusted", scene_.accessibilityTrusted, asBool),
                {"applications", [this](const Json& j, const std::string& p) { loadApplications(j, p); }},
                {"frontmost", [this](const Json& j, const std::string& p) { loadFrontmost(j, p); }},
                {"windowList", [this](const Json& j, const std::string& p) { loadWindowList(j, p); }},
                {"audio", [this](const Json& j, const std::string& p) { loadAudio(j, p); }},
                {"files", [this](const Json& j, const std::string& p) { loadFiles(j, p); }},
                // The runs belong to the scene's tests, not to the desktop.
                {"runs", expectArray},
            });
        return std::move(scene_);
    }

    static bool realClock(const Json& j, const std::string& pointer) {
        const auto& clock = asString(j, pointer);
        if (clock != "real" && clock != "virtual") {
            fail(pointer, "expected \"virtual\" or \"real\", found " + inQuotes(clock));
        }
        return clock == "real";
    }

    static void expectArray(const Json& j, const std::string& pointer) {
        if (!j.is_array()) fail(pointer, std::string("expected an array, found ") + typeName(j));
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

    void loadApplications(const Json& apps, const std::string& appsPointer) {
        expectArray(apps, appsPointer);
        // First the shape of every tree, so that references may point anywhere,
        // also forwards and into other applications.
        for (std::size_t i = 0; i < apps.size(); ++i) {
            const auto pointer = at(appsPointer, i);
            const auto& app = apps[i];
            if (!app.is_object()) fail(pointer, std::string("expected an object, found ") + typeName(app));
            SceneApplication application;
            if (!app.contains("pid")) fail(pointer, "an application needs a \"pid\"");
            application.pid = asInteger<Pid>(app["pid"], at(pointer, "pid"));
            if (scene_.application(application.pid) != nullptr) {
                fail(at(pointer, "pid"), "another application has pid " + std::to_string(application.pid));
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

    // Everything of an element but its place in the tree, once every element exists.
    void loadDetails(NodeIndex node) {
        const Json& j = *sources_[node];
        // Copies: the readers below take the element itself, which stays where it is,
        // since no element is added once the trees are laid out.
        const std::string pointer = scene_.elements[node].pointer;
        const bool isApplication = scene_.elements[node].isApplication;
        std::vector<Field> fields =
            isApplication ? applicationFields(scene_.applications[scene_.elements[node].application])
                          : std::vector<Field>{readByTheTreePass("id"), readByTheTreePass("children")};
        addElementFields(fields, node);
        if (!isApplication) addChildFields(fields, node);
        readFields(j, pointer, fields);
        if (isApplication) addApplicationDefaults(scene_.elements[node], j);
    }

    // What an application object holds besides its element.
    static std::vector<Field> applicationFields(SceneApplication& application) {
        return {
            readByTheTreePass("pid"),
            readByTheTreePass("id"),
            readByTheTreePass("windows"),
            readByTheTreePass("children"),
            field("name", application.name, asString),
            field("bundleId", application.bundleId, asString),
            field("responseTime", application.responseTime, asDuration),
            field("quitAfterRequests", application.quitAfterRequests, asInteger<std::uint64_t>),
        };
    }

    // What an application element says about itself, unless the scene says otherwise.
    static void addApplicationDefaults(SceneElement& element, const Json& j) {
        if (element.attribute("AXRole") == nullptr) {
            element.attributes.insert(element.attributes.begin(),
                                      {"AXRole", AttributeRead{0, SceneValue{std::string("AXApplication")}}});
        }
        if (element.attribute("AXTitle") == nullptr && j.contains("name")) {
            element.attributes.emplace_back("AXTitle",
                                            AttributeRead{0, SceneValue{j["name"].get<std::string>()}});
        }
    }

    // The attributes, names, actions and write of any element, an application's included.
    void addElementFields(std::vector<Field>& fields, NodeIndex node) {
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
        SceneElement& element = scene_.elements[node];
        for (const auto& [key, attribute] : shorthands) {
            fields.push_back({key, [this, &element, key = key, attribute = attribute](
                                       const Json& value, const std::string& pointer) {
                                  AttributeRead read;
                                  if (key == "url" && value.is_string()) {
                                      read.value.data = Url{value.get<std::string>()};
                                  } else {
                                      read = attributeRead(value, pointer);
                                  }
                                  element.attributes.emplace_back(attribute, std::move(read));
                              }});
        }
        fields.push_back({"attributes", [this, &element](const Json& value, const std::string& pointer) {
                              readAttributes(element, value, pointer);
                          }});
        fields.push_back({"attributeNames", [this, &element](const Json& value, const std::string& pointer) {
                              namesOrError(value, pointer, element.extraAttributeNames,
                                           element.attributeNamesError);
                          }});
        fields.push_back({"actions", [this, &element](const Json& value, const std::string& pointer) {
                              namesOrError(value, pointer, element.actions, element.actionNamesError);
                          }});
        fields.push_back(field("settable", element.settable, names));
        fields.push_back(field("setError", element.setError, axErrorCode));
        fields.push_back(field("hash", element.hash, asInteger<std::uint64_t>));
    }

    // What only an element below an application holds.
    void addChildFields(std::vector<Field>& fields, NodeIndex node) {
        SceneElement& element = scene_.elements[node];
        fields.push_back(field("responseTime", element.responseTime, asDuration));
        fields.push_back(field("hidden", element.hidden, asBool));
        fields.push_back({"press", [this, &element](const Json& value, const std::string& pointer) {
                              element.press = pressEffect(value, pointer);
                          }});
        for (const std::string_view flag : {"focused", "main"}) {
            fields.push_back({flag, [this, node, flag](const Json& value, const std::string& pointer) {
                                  if (asBool(value, pointer)) markWindow(node, flag, pointer);
                              }});
        }
    }

    void readAttributes(SceneElement& element, const Json& attributes, const std::string& pointer) {
        if (!attributes.is_object()) {
            fail(pointer, std::string("expected an object, found ") + typeName(attributes));
        }
        for (const auto& [name, value] : attributes.items()) {
            if (element.attribute(name) != nullptr) {
                fail(at(pointer, name), "attribute " + inQuotes(name) + " is given twice");
            }
            element.attributes.emplace_back(name, attributeRead(value, at(pointer, name)));
        }
    }

    static std::vector<std::string> names(const Json& j, const std::string& pointer) {
        if (!j.is_array()) fail(pointer, std::string("expected an array of names, found ") + typeName(j));
        std::vector<std::string> list;
        for (std::size_t i = 0; i < j.size(); ++i)
            list.push_back(asString(j[i], at(pointer, i)));
        return list;
    }

    // The application's focused or main window is this one.
    void markWindow(NodeIndex node, std::string_view flag, const std::string& pointer) {
        const auto parent = scene_.elements[node].parent;
        const bool isWindow = parent && scene_.elements[*parent].isApplication &&
                              std::ranges::count(scene_.elements[*parent].windows, node) > 0;
        if (!isWindow) fail(pointer, "only a window of an application can be " + std::string(flag));
        auto& app = scene_.elements[*parent];
        auto& slot = flag == "focused" ? app.focusedWindow : app.mainWindow;
        if (slot) {
            fail(pointer, "another window of this application is already " + std::string(flag) + " (" +
                              scene_.elements[*slot].pointer + ")");
        }
        slot = node;
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
        PressEffect effect;
        const auto ids = [this](const Json& value, const std::string& at) { return references(value, at); };
        readFields(j, pointer,
                   {
                       field("show", effect.show, ids),
                       field("hide", effect.hide, ids),
                       field("toggle", effect.toggle, ids),
                       field("error", effect.error, axErrorCode),
                   });
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

    void loadFrontmost(const Json& j, const std::string& pointer) {
        if (j.is_null()) return;
        const auto pid = asInteger<Pid>(j, pointer);
        for (std::size_t i = 0; i < scene_.applications.size(); ++i) {
            if (scene_.applications[i].pid == pid) {
                scene_.frontmost = i;
                return;
            }
        }
        fail(pointer, "no application has pid " + std::to_string(pid));
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

    // A property's value, or {"error": status}, or its value and statuses spelt out.
    template <typename T, typename ReadValue>
    static AudioProperty<T> audioProperty(const Json& j, const std::string& pointer, ReadValue readValue) {
        AudioProperty<T> property;
        if (const auto entry = singleKey(j); entry && entry->key == "error") {
            property.readError = osStatus(*entry->value, at(pointer, "error"));
            return property;
        }
        if (j.is_object()) {
            readFields(j, pointer,
                       {
                           {"value",
                            [&](const Json& value, const std::string& at) {
                                if (!value.is_null()) property.value = readValue(value, at);
                            }},
                           field("readError", property.readError, osStatus),
                           field("writeError", property.writeError, osStatus),
                       });
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

    static AudioProperty<std::uint32_t> uint32Property(const Json& j, const std::string& pointer) {
        auto property = audioProperty<std::uint32_t>(j, pointer, uint32Value);
        if (!property.value && property.readError == 0) property.value = 0;
        return property;
    }

    static ChannelLayout channels(const Json& j, const std::string& pointer) {
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

    static AudioProperty<std::string> stringProperty(const Json& j, const std::string& pointer) {
        return audioProperty<std::string>(j, pointer, stringValue);
    }

    static AudioProperty<float> float32Property(const Json& j, const std::string& pointer) {
        auto property = audioProperty<float>(j, pointer, float32Value);
        if (!property.value && property.readError == 0) property.value = 0.0F;
        return property;
    }

    static SceneDevice audioDevice(const Json& d, const std::string& devicePointer) {
        SceneDevice device;
        device.pointer = devicePointer;
        device.running.value = 0;
        readFields(d, devicePointer,
                   {
                       required(field("id", device.id, deviceId), "a device needs an \"id\""),
                       field("name", device.name, stringProperty),
                       field("uid", device.uid, stringProperty),
                       field("inputChannels", device.inputChannels, channels),
                       field("outputChannels", device.outputChannels, channels),
                       field("running", device.running, uint32Property),
                       field("mute", device.mute, uint32Property),
                       field("volume", device.volume, float32Property),
                   });
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
        auto& audio = scene_.audio;
        readFields(
            j, pointer,
            {
                field("deviceListError", audio.deviceListError, osStatus),
                field("defaultInput", audio.defaultInput, uint32Property),
                field("defaultOutput", audio.defaultOutput, uint32Property),
                {"devices", [this](const Json& value, const std::string& at) { loadDevices(value, at); }},
                {"changes",
                 [this](const Json& value, const std::string& at) { loadAudioChanges(value, at); }},
            });
    }

    void loadDevices(const Json& devices, const std::string& pointer) {
        expectArray(devices, pointer);
        for (std::size_t i = 0; i < devices.size(); ++i) {
            auto next = audioDevice(devices[i], at(pointer, i));
            if (scene_.device(next.id) != nullptr) {
                fail(at(at(pointer, i), "id"), "another device has id " + std::to_string(next.id));
            }
            scene_.audio.devices.push_back(std::move(next));
        }
    }

    void loadAudioChanges(const Json& j, const std::string& pointer) {
        expectArray(j, pointer);
        for (std::size_t i = 0; i < j.size(); ++i)
            scene_.audioChanges.push_back(audioChange(j[i], at(pointer, i)));
        // A change that names a device the scene never has is a typo, not a test.
        for (const auto& change : scene_.audioChanges) {
            if (const auto* removed = std::get_if<RemoveDevice>(&change.what);
                removed && !knownDevice(removed->id)) {
                fail(at(change.pointer, "removeDevice"), "no device has id " + std::to_string(removed->id));
            }
            if (const auto* chosen = std::get_if<SetDefaultOutput>(&change.what);
                chosen && !knownDevice(chosen->id)) {
                fail(at(change.pointer, "setDefaultOutput"),
                     "no device has id " + std::to_string(chosen->id));
            }
        }
    }

    static AudioChange audioChange(const Json& j, const std::string& pointer) {
        AudioChange change;
        change.pointer = pointer;
        std::optional<RemoveDevice> removed;
        std::optional<AddDevice> added;
        std::optional<SetDefaultOutput> chosen;
        readFields(j, pointer,
                   {
                       field("afterEvent", change.afterEvent, asString),
                       field("after", change.after, asDuration),
                       field("removeDevice", removed,
                             [](const Json& value, const std::string& at) {
                                 return RemoveDevice{deviceId(value, at)};
                             }),
                       field("addDevice", added,
                             [](const Json& value, const std::string& at) {
                                 return AddDevice{audioDevice(value, at)};
                             }),
                       field("setDefaultOutput", chosen,
                             [](const Json& value, const std::string& at) {
                                 return SetDefaultOutput{deviceId(value, at)};
                             }),
                   });
        if (removed.has_value() + added.has_value() + chosen.has_value() != 1) {
            fail(pointer, "a change does one of \"removeDevice\", \"addDevice\" or \"setDefaultOutput\"");
        }
        if (removed) {
            change.what = *removed;
        } else if (added) {
            change.what = std::move(*added);
        } else {
            change.what = *chosen;
        }
        return change;
    }

    // A device of the scene, or one a change adds.
    bool knownDevice(AudioObjectId id) const {
        if (scene_.device(id) != nullptr) return true;
        return std::any_of(scene_.audioChanges.begin(), scene_.audioChanges.end(),
                           [id](const AudioChange& c) {
                               const auto* added = std::get_if<AddDevice>(&c.what);
                               return added != nullptr && added->device.id == id;
                           });
    }

    void loadFiles(const Json& j, const std::string& pointer) {
        if (!j.is_object())
            fail(pointer, std::string("expected an object keyed by path, found ") + typeName(j));
        for (const auto& [path, entry] : j.items()) {
            SceneFile file;
            readFields(entry, at(pointer, path),
                       {
                           field("duration", file.duration, asDuration),
                           field("loadError", file.loadError, asString),
                           field("playReturns", file.playSucceeds, asBool),
                           field("stalls", file.stalls, asBool),
                           field("exists", file.exists, asBool),
                       });
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
