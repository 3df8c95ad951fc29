#pragma once
// Runs a command line as a user would, and returns its exit code and what it printed.
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orv::test {

struct CommandResult {
    int code = -1;
    std::string out;
    std::string err;  // empty when the errors were merged into `out`
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// `command` is a shell command line; with mergeErrors its standard error goes to `out` too.
inline CommandResult RunCommand(const std::string& command, bool mergeErrors = false) {
    char errPath[] = "/tmp/orvanta-stderr-XXXXXX";
    const int fd = mergeErrors ? -1 : mkstemp(errPath);
    if (fd >= 0)
        close(fd);
    const std::string cmd = command + (mergeErrors ? " 2>&1" : " 2>" + ShellQuote(errPath));
    CommandResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr)
        return r;
    std::array<char, 4096> buf{};
    for (size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;)
        r.out.append(buf.data(), n);
    const int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (fd >= 0) {
        std::ifstream in(errPath);
        std::stringstream ss;
        ss << in.rdbuf();
        r.err = ss.str();
        std::remove(errPath);
    }
    return r;
}

// orvanta-cli of this build with the given arguments, each quoted.
inline std::string CliCommandLine(const std::vector<std::string>& args) {
    std::string cmd = ORVANTA_BIN_DIR "/orvanta-cli";
    for (const auto& a : args)
        cmd += " " + ShellQuote(a);
    return cmd;
}

}  // namespace orv::test
