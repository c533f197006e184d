#include "Desktop/sim/RequestCounts.hpp"

namespace Desktop::Sim {

void RequestCounts::add(std::string_view kind) {
    std::lock_guard lock(mutex_);
    if (const auto found = counts_.find(kind); found != counts_.end()) {
        ++found->second;
    } else {
        counts_.emplace(std::string(kind), 1);
    }
}

std::uint64_t RequestCounts::count(std::string_view kind) const {
    std::lock_guard lock(mutex_);
    const auto found = counts_.find(kind);
    return found == counts_.end() ? 0 : found->second;
}

std::map<std::string, std::uint64_t, std::less<>> RequestCounts::all() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

void RequestCounts::clear() {
    std::lock_guard lock(mutex_);
    counts_.clear();
}

}  // namespace Desktop::Sim
