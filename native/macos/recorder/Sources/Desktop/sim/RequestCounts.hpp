#pragma once

// How many platform requests of each kind ("accessibility.copyAttributeValue",
// "audioHardware.readUInt32", ...) the simulated desktop has answered.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace Desktop::Sim {

class RequestCounts {
public:
    void add(std::string_view kind);
    std::uint64_t count(std::string_view kind) const;
    std::map<std::string, std::uint64_t, std::less<>> all() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::uint64_t, std::less<>> counts_;
};

}  // namespace Desktop::Sim
