#pragma once
#include <string>

namespace orv {

// Folder of the running executable, with a trailing slash.
std::string ExecutableDir();
std::string ExecutablePath();

bool FileExists(const std::string& path);

}  // namespace orv
