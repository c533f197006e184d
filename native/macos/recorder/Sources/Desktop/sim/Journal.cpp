#include "Desktop/sim/Journal.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>

namespace Desktop::Sim {

Journal::~Journal() {
    if (fd_ >= 0) ::close(fd_);
}

bool Journal::openFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::lock_guard lock(mutex_);
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
    return true;
}

void Journal::record(const nlohmann::ordered_json& entry) {
    const std::string line = entry.dump() + "\n";
    std::lock_guard lock(mutex_);
    entries_.push_back(entry);
    if (const auto event = entry.find("event"); event != entry.end() && event->is_string()) {
        const auto& name = event->get_ref<const std::string&>();
        if (!firstRecorded_.contains(name)) firstRecorded_.emplace(name, clock_.now());
    }
    if (fd_ < 0) return;
    // O_APPEND keeps each line whole; a short write is finished rather than lost.
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(fd_, line.data() + written, line.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        written += static_cast<std::size_t>(n);
    }
}

std::vector<nlohmann::ordered_json> Journal::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::optional<double> Journal::firstRecorded(const std::string& event) const {
    std::lock_guard lock(mutex_);
    if (const auto found = firstRecorded_.find(event); found != firstRecorded_.end()) return found->second;
    return std::nullopt;
}

void Journal::clearMemory() {
    std::lock_guard lock(mutex_);
    entries_.clear();
    firstRecorded_.clear();
}

nlohmann::ordered_json floatNumber(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::strtod(std::string(buffer, result.ptr).c_str(), nullptr);
}

}  // namespace Desktop::Sim
