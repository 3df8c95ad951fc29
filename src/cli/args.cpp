#include "cli/args.h"

#include "util/program_dir.h"

namespace orv::cli {

bool Args::Flag(const std::string& name) {
    for (auto it = args_.begin(); it != args_.end(); ++it) {
        if (*it == name) {
            args_.erase(it);
            return true;
        }
    }
    return false;
}

std::optional<std::string> Args::Option(const std::string& name) {
    std::optional<std::string> value;
    for (size_t i = 0; i < args_.size();) {
        if (args_[i] == name) {
            if (i + 1 >= args_.size())
                throw UsageError{"для " + name + " не указано значение"};
            value = args_[i + 1];
            args_.erase(args_.begin() + static_cast<long>(i),
                        args_.begin() + static_cast<long>(i) + 2);
        } else if (args_[i].rfind(name + "=", 0) == 0) {
            value = args_[i].substr(name.size() + 1);
            args_.erase(args_.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    return value;
}

std::vector<std::string> Args::Options(const std::string& name) {
    std::vector<std::string> values;
    for (size_t i = 0; i < args_.size();) {
        if (args_[i] == name && i + 1 < args_.size()) {
            values.push_back(args_[i + 1]);
            args_.erase(args_.begin() + static_cast<long>(i),
                        args_.begin() + static_cast<long>(i) + 2);
        } else {
            ++i;
        }
    }
    return values;
}

std::string Args::Dir() {
    // Without --dir: the folder the program itself would use.
    auto option = Option("--dir");
    std::string dir = option ? *option : ProgramDir();
    if (dir.empty())
        dir = ".";
    if (dir.back() != '/')
        dir += '/';
    return dir;
}

std::vector<std::string> Args::Positionals() {
    for (const auto& a : args_) {
        if (a.size() > 2 && a.rfind("--", 0) == 0)
            throw UsageError{"неизвестный параметр " + a};
    }
    return args_;
}

}  // namespace orv::cli
