#pragma once

// A desktop scene as plain values: what the simulated desktop shows before any
// tool touches it. Loaded once from JSON, then only read; whatever a tool changes
// lives in the simulated desktop's own state.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Desktop/Accessibility.hpp"
#include "Desktop/AudioHardware.hpp"
#include "Desktop/WindowServer.hpp"

namespace Desktop::Sim {

// A scene that cannot be used: where in the document (a JSON pointer, empty for
// the whole document) and what is wrong there.
class SceneError : public std::runtime_error {
public:
    // Where, then what: the order every fault of a scene is told in.
    // NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
    SceneError(std::string pointer, const std::string& message)
        : std::runtime_error(message), pointer_(std::move(pointer)) {}
    const std::string& pointer() const { return pointer_; }

private:
    std::string pointer_;
};

using NodeIndex = std::size_t;

// An attribute value as the scene wrote it; element references are resolved to
// the index of the element they name.
struct ElementRef {
    NodeIndex node = 0;
};
// The call succeeds but gives no value.
struct NoValue {};

struct SceneValue;
using SceneList = std::vector<SceneValue>;
struct SceneValue {
    std::variant<std::string, std::int64_t, double, bool, ElementRef, SceneList, Point, Size, Url, OtherValue,
                 NoValue>
        data;
};

// An attribute read: a value, or the AXError the read fails with.
struct AttributeRead {
    std::int32_t error = 0;
    SceneValue value;
};

struct PressEffect {
    std::optional<std::int32_t> error;  // the press fails with this AXError and changes nothing
    std::vector<NodeIndex> show;
    std::vector<NodeIndex> hide;
    std::vector<NodeIndex> toggle;
};

// An application element or any element below it (windows included).
struct SceneElement {
    std::optional<std::string> id;
    std::string pointer;  // where the element sits in the scene file
    std::size_t application = 0;
    std::optional<NodeIndex> parent;
    bool isApplication = false;

    // Attributes in the order the names list gives them.
    std::vector<std::pair<std::string, AttributeRead>> attributes;
    // Names listed beyond the attributes present, or the error of the names call.
    SceneList extraAttributeNames;
    std::optional<std::int32_t> attributeNamesError;
    SceneList actions;
    std::optional<std::int32_t> actionNamesError;
    std::vector<std::string> settable;
    std::optional<std::int32_t> setError;

    // AXChildren, and for an application also AXWindows, when the scene did not
    // give these attributes itself.
    std::vector<NodeIndex> children;
    std::vector<NodeIndex> windows;
    std::optional<NodeIndex> focusedWindow;
    std::optional<NodeIndex> mainWindow;

    std::uint64_t hash = 0;
    std::optional<double> responseTime;
    bool hidden = false;
    std::optional<PressEffect> press;

    const AttributeRead* attribute(std::string_view name) const;
};

struct SceneApplication {
    Pid pid = 0;
    std::optional<std::string> name;
    std::optional<std::string> bundleId;
    NodeIndex element = 0;
    std::optional<double> responseTime;
    // After this many Accessibility requests the application is gone.
    std::optional<std::uint64_t> quitAfterRequests;
};

// A Core Audio property: its value, and the statuses its reads and writes fail with.
template <typename T>
struct AudioProperty {
    std::optional<T> value;  // absent: the read succeeds without a value (strings only)
    std::int32_t readError = 0;
    std::int32_t writeError = 0;
};

struct ChannelLayout {
    std::vector<std::uint32_t> buffers;  // channel count of each buffer
    std::int32_t error = 0;
};

struct SceneDevice {
    AudioObjectId id = 0;
    std::string pointer;
    AudioProperty<std::string> name;
    AudioProperty<std::string> uid;
    ChannelLayout inputChannels;
    ChannelLayout outputChannels;
    AudioProperty<std::uint32_t> running;
    std::optional<AudioProperty<std::uint32_t>> mute;
    std::optional<AudioProperty<float>> volume;
};

struct SceneAudio {
    std::vector<SceneDevice> devices;
    std::int32_t deviceListError = 0;
    AudioProperty<std::uint32_t> defaultInput;
    AudioProperty<std::uint32_t> defaultOutput;
};

// A change the desktop makes by itself while a tool runs: a headset that drops
// out or comes back, the user choosing another output. It happens `after`
// seconds on the scene's clock from the first journal event named `afterEvent`
// (from the start of the run when there is none).
struct RemoveDevice {
    AudioObjectId id = 0;
};
struct AddDevice {
    SceneDevice device;
};
struct SetDefaultOutput {
    AudioObjectId id = 0;
};
struct AudioChange {
    std::string pointer;
    std::optional<std::string> afterEvent;
    double after = 0;
    std::variant<RemoveDevice, AddDevice, SetDefaultOutput> what;
};

// What playing one path does, in place of decoding the file.
struct SceneFile {
    std::optional<double> duration;
    std::optional<std::string> loadError;
    bool playSucceeds = true;
    bool stalls = false;  // the player never reports the end of playback
    bool exists = true;
};

struct Scene {
    std::string description;
    bool realClock = false;
    bool accessibilityTrusted = false;
    std::optional<std::size_t> frontmost;  // index into applications
    std::vector<SceneApplication> applications;
    std::vector<SceneElement> elements;
    std::optional<std::vector<std::optional<WindowDictionary>>> windowList =
        std::vector<std::optional<WindowDictionary>>{};
    SceneAudio audio;
    std::vector<AudioChange> audioChanges;
    std::map<std::string, SceneFile> files;

    const SceneApplication* application(Pid pid) const;
    const SceneDevice* device(AudioObjectId id) const;
};

// Reads a scene from JSON text; throws SceneError naming the place of the fault.
Scene parseScene(std::string_view json);
// The same for a file; a file that cannot be read is a SceneError too.
Scene readSceneFile(const std::string& path);
// The one line that reports a broken scene file.
std::string describeSceneError(const std::string& path, const SceneError& error);

// The longest text a scene may generate (`{"repeat": ...}`): room for the
// multi-megabyte titles and values hostile scenes need, no room for a typo
// in a count to exhaust memory.
inline constexpr std::size_t maxGeneratedStringBytes = std::size_t{64} * 1024 * 1024;

// The platform's default messaging time-out, used until one is set.
inline constexpr double defaultMessagingTimeout = 6.0;

}  // namespace Desktop::Sim
