#pragma once

// What a call failed with, read from the exception it threw through the
// exception's own accessor: `failureOf<&SearchException::failure>(run)` is the
// SearchFailure `run` threw, or nothing when it returned.

#include <functional>
#include <optional>
#include <type_traits>

namespace Testing {

template <typename Accessor>
struct ExceptionAccessor;

template <typename Exception, typename Code>
struct ExceptionAccessor<Code (Exception::*)() const> {
    using Thrown = Exception;
    using Result = std::decay_t<Code>;
};

template <auto accessor>
std::optional<typename ExceptionAccessor<decltype(accessor)>::Result> failureOf(
    const std::function<void()>& run) {
    using Thrown = typename ExceptionAccessor<decltype(accessor)>::Thrown;
    try {
        run();
    } catch (const Thrown& exception) {
        return (exception.*accessor)();
    }
    return std::nullopt;
}

}  // namespace Testing
