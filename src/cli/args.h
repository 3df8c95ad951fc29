#pragma once
// Command-line arguments of one orvanta-cli subcommand.
#include <optional>
#include <string>
#include <vector>

namespace orv::cli {

class Args {
  public:
    explicit Args(std::vector<std::string> args) : args_(std::move(args)) {}

    bool Flag(const std::string& name);                          // --name, consumed
    std::optional<std::string> Option(const std::string& name);  // --name VALUE or --name=VALUE
    std::vector<std::string> Options(const std::string& name);   // every occurrence
    std::string Dir();  // --dir DIR, default: the executable's folder; with a trailing slash
    // What is left after the options were taken; throws on an unknown option.
    std::vector<std::string> Positionals();

  private:
    std::vector<std::string> args_;
};

// A usage or input error: printed as one line, exit code 2.
struct UsageError {
    std::string message;
};

}  // namespace orv::cli
