#include "util/user_socket.h"

#include <cerrno>
#include <cstdlib>

#ifdef _WIN32
#include <filesystem>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orv {

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::string(v) : std::string();
}

std::string WithoutSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

#ifndef _WIN32
std::string TempFolder() {
    std::string tmp = Env("TMPDIR");
    return WithoutSlash(tmp.empty() || tmp.front() != '/' ? std::string("/tmp") : tmp);
}

// $XDG_RUNTIME_DIR, when it is a folder of ours that others cannot write into.
std::string RuntimeFolder() {
    const std::string dir = Env("XDG_RUNTIME_DIR");
    if (dir.empty() || dir.front() != '/')
        return {};
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid() ||
        (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return {};
    return WithoutSlash(dir);
}

// tmp/orvanta-<uid>: made private, or checked to be ours and private (never a link).
std::string PrivateTempFolder() {
    std::string dir = TempFolder() + "/orvanta-" + std::to_string(geteuid());
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid())
        return {};
    if ((st.st_mode & 077) != 0 && chmod(dir.c_str(), 0700) != 0)
        return {};
    return dir;
}
#endif

}  // namespace

std::string UserSocketPath(std::string_view name) {
    if (name.find('/') != std::string_view::npos)
        return std::string(name);
#ifdef _WIN32
    // Pipe names are machine-wide: the user's name goes into the name.
    return std::string(name) + "-" + Env("USERNAME");
#else
    std::string dir = RuntimeFolder();
    if (dir.empty())
        dir = PrivateTempFolder();
    if (dir.empty())
        return TempFolder() + "/" + std::string(name) + "-" + std::to_string(geteuid());
    return dir + "/" + std::string(name);
#endif
}

std::string UserSocketLockPath(std::string_view name) {
#ifdef _WIN32
    return (std::filesystem::temp_directory_path() / (UserSocketPath(name) + ".lock")).string();
#else
    return UserSocketPath(name) + ".lock";
#endif
}

}  // namespace orv
