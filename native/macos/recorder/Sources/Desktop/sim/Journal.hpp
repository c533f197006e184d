#pragma once

// The record of every change a tool makes to the simulated desktop, in order.
// Each entry reaches the journal file with one write(2) before the change
// returns, so the file is complete however the process ends afterwards.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Desktop/sim/SimClock.hpp"

namespace Desktop::Sim {

class Journal {
public:
    // `clock` tells when each kind of event was first recorded.
    explicit Journal(const SimClock& clock) : clock_(clock) {}
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;
    ~Journal();

    // Appends to the file from now on; false (with errno set) when it cannot be opened.
    bool openFile(const std::string& path);

    void record(const nlohmann::ordered_json& entry);
    std::vector<nlohmann::ordered_json> entries() const;
    // The clock's reading when an entry with this "event" was first recorded.
    std::optional<double> firstRecorded(const std::string& event) const;
    // Forgets the entries kept in memory; the file keeps what it has.
    void clearMemory();

private:
    const SimClock& clock_;
    mutable std::mutex mutex_;
    int fd_ = -1;
    std::vector<nlohmann::ordered_json> entries_;
    std::map<std::string, double, std::less<>> firstRecorded_;
};

// A 32-bit float as the shortest decimal that reads back as the same float, so
// that 0.85f is journaled as 0.85 rather than 0.8500000238418579.
nlohmann::ordered_json floatNumber(float value);

}  // namespace Desktop::Sim
