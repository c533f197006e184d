#pragma once

#include "Desktop/System.hpp"

namespace Desktop::MacOS {

// File existence through Foundation's file manager.
class MacFileSystem final : public FileSystem {
public:
    bool exists(const std::string& path) override;
};

}  // namespace Desktop::MacOS
