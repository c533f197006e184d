#include "Desktop/sim/WavFile.hpp"

#include <cstdint>
#include <fstream>
#include <optional>

namespace Desktop::Sim {

namespace {

std::uint32_t littleEndian32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

}  // namespace

std::variant<double, std::string> wavDuration(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::string(unreadableDescription);
    file.seekg(0, std::ios::end);
    const auto end = static_cast<std::uint64_t>(file.tellg());
    file.seekg(0);

    unsigned char header[12];
    if (!file.read(reinterpret_cast<char*>(header), sizeof header)) return std::string(notAudioDescription);
    if (std::string_view(reinterpret_cast<const char*>(header), 4) != "RIFF" ||
        std::string_view(reinterpret_cast<const char*>(header) + 8, 4) != "WAVE") {
        return std::string(notAudioDescription);
    }

    std::optional<std::uint32_t> byteRate;
    std::optional<std::uint64_t> dataBytes;
    std::uint64_t offset = sizeof header;
    while (offset + 8 <= end && !(byteRate && dataBytes)) {
        unsigned char chunk[8];
        file.seekg(static_cast<std::streamoff>(offset));
        if (!file.read(reinterpret_cast<char*>(chunk), sizeof chunk)) break;
        const std::string_view id(reinterpret_cast<const char*>(chunk), 4);
        const std::uint64_t size = littleEndian32(chunk + 4);
        const std::uint64_t body = offset + 8;
        if (id == "fmt ") {
            unsigned char format[16];
            if (size < sizeof format || !file.read(reinterpret_cast<char*>(format), sizeof format)) break;
            byteRate = littleEndian32(format + 8);
        } else if (id == "data") {
            // A truncated file plays what it holds, as decoders do.
            dataBytes = std::min(size, end - body);
        }
        offset = body + size + (size & 1);  // chunks are padded to even sizes
    }
    if (!byteRate || *byteRate == 0 || !dataBytes) return std::string(notAudioDescription);
    return static_cast<double>(*dataBytes) / static_cast<double>(*byteRate);
}

}  // namespace Desktop::Sim
