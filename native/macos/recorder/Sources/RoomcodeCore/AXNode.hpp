#pragma once

// The one view of the Zoom client's user interface that the reader works on:
// a read-mostly accessibility element with its attributes, children and
// actions. Everything above it runs unchanged on hand-built trees.

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace RoomcodeCore {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

// Why a node action failed. `budgetExhausted` is never raised: a search that
// runs out of budget ends quietly with what it found.
enum class SearchFailure { budgetExhausted, cannotComplete, notImplemented };

// Thrown by `AXNode::setValue` and `AXNode::perform`.
class SearchException : public std::exception {
public:
    explicit SearchException(SearchFailure failure) : failure_(failure) {}
    SearchFailure failure() const { return failure_; }
    const char* what() const noexcept override;

private:
    SearchFailure failure_;
};

class AXNode;
using AXNodePtr = std::shared_ptr<AXNode>;

// Reads never fail: an unreadable attribute is absent. Within one window state
// (until the tool next presses or writes) a property reads the same on every
// access, whether the node asks the client again or keeps what it read.
class AXNode {
public:
    virtual ~AXNode() = default;

    // Identity within one tree walk; two nodes with equal keys are one node.
    virtual const std::string& nodeKey() const = 0;
    virtual std::optional<std::string> role() const = 0;
    virtual std::optional<std::string> identifier() const = 0;
    virtual std::optional<std::string> title() const = 0;
    virtual std::optional<std::string> accessibilityDescription() const = 0;
    virtual std::optional<std::string> help() const = 0;
    virtual std::optional<std::string> subrole() const = 0;
    virtual std::optional<std::string> roleDescription() const = 0;
    // Top-left corner in global screen coordinates, y growing downwards.
    virtual std::optional<Point> position() const = 0;
    virtual std::optional<Size> size() const = 0;
    virtual std::optional<std::string> value() const = 0;
    virtual bool enabled() const = 0;
    virtual std::vector<AXNodePtr> children() const = 0;
    virtual bool isSettable(std::string_view attribute) const = 0;
    // Throws SearchException.
    virtual void setValue(std::string_view text) = 0;
    virtual bool supports(std::string_view action) const = 0;
    // Throws SearchException.
    virtual void perform(std::string_view action) = 0;
};

inline constexpr std::string_view pressAction = "AXPress";

}  // namespace RoomcodeCore
