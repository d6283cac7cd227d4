#pragma once
#include <string>
#include <vector>

namespace netsetup {

// The path a device name resolves to (links followed), or the name itself when it does not.
std::string canonicalPath(const std::string& path);

// The names in a folder, sorted, without "." entries; empty when it cannot be read.
std::vector<std::string> folderEntries(const std::string& folder);

}  // namespace netsetup
