#pragma once

// The record of every change a tool makes to the simulated desktop, in order.
// Each entry reaches the journal file with one write(2) before the change
// returns, so the file is complete however the process ends afterwards.

#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace Desktop::Sim {

class Journal {
public:
    Journal() = default;
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;
    ~Journal();

    // Appends to the file from now on; false (with errno set) when it cannot be opened.
    bool openFile(const std::string& path);

    void record(const nlohmann::ordered_json& entry);
    std::vector<nlohmann::ordered_json> entries() const;
    // Forgets the entries kept in memory; the file keeps what it has.
    void clearMemory();

private:
    mutable std::mutex mutex_;
    int fd_ = -1;
    std::vector<nlohmann::ordered_json> entries_;
};

// A 32-bit float as the shortest decimal that reads back as the same float, so
// that 0.85f is journaled as 0.85 rather than 0.8500000238418579.
nlohmann::ordered_json floatNumber(float value);

}  // namespace Desktop::Sim
