#include "Desktop/macos/MacFileSystem.hpp"

#include <Foundation/Foundation.h>

namespace Desktop::MacOS {

bool MacFileSystem::exists(const std::string& path) {
    // Nothing exists at an empty path; Foundation is not asked to convert one.
    if (path.empty()) return false;
    @autoreleasepool {
        NSFileManager* manager = NSFileManager.defaultManager;
        NSString* filePath = [manager stringWithFileSystemRepresentation:path.c_str() length:path.size()];
        return [manager fileExistsAtPath:filePath];
    }
}

}  // namespace Desktop::MacOS
