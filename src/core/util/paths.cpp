#include "util/paths.h"

#include <filesystem>

namespace orv {

std::string ExecutablePath() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

std::string ExecutableDir() {
    std::filesystem::path p = ExecutablePath();
    std::string dir = p.has_parent_path() ? p.parent_path().string() : std::string(".");
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace orv
