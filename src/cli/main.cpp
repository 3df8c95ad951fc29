// orvanta-cli: the headless companion of the reference for administrators, vendors and tests.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "util/error.h"

namespace {

using orv::cli::Command;

const Command* const kCommands[] = {
    &orv::cli::kInitCommand,     &orv::cli::kQueryCommand,        &orv::cli::kServeCommand,
    &orv::cli::kMirrorCommand,   &orv::cli::kUpdateCommand,       &orv::cli::kPackCommand,
    &orv::cli::kUnpackCommand,   &orv::cli::kApplyCommand,        &orv::cli::kStatsCommand,
    &orv::cli::kGenerateCommand, &orv::cli::kShowCommand,         &orv::cli::kSettingsCommand,
    &orv::cli::kSearchCommand,   &orv::cli::kRebuildIndexCommand, &orv::cli::kPartnerCommand,
    &orv::cli::kSuggestCommand,
};

void PrintUsage() {
    std::cout << "Использование: orvanta-cli КОМАНДА [ПАРАМЕТРЫ]\n\nКоманды:\n";
    for (const Command* c : kCommands) {
        std::string name = c->name;
        name.resize(12, ' ');
        std::cout << "  " << name << c->summary << "\n";
    }
    std::cout << "\norvanta-cli КОМАНДА --help печатает описание команды.\n"
                 "--dir ПАПКА указывает папку справочника. Без него — та же папка, что у\n"
                 "программы: папка orvanta-cli, если в ней есть source.bin, иначе переменная\n"
                 "ORVANTA_HOME, иначе ~/.local/share/orvanta (при первом запуске заполняется\n"
                 "из /usr/share/orvanta).\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage();
        return args.empty() ? 2 : 0;
    }
    const std::string name = args[0];
    args.erase(args.begin());
    for (const Command* c : kCommands) {
        if (name != c->name)
            continue;
        for (const auto& a : args) {
            if (a == "--help" || a == "-h") {
                std::cout << c->help;
                return 0;
            }
        }
        try {
            orv::cli::Args parsed(args);
            return c->run(parsed);
        } catch (const orv::cli::UsageError& e) {
            std::cerr << "orvanta-cli " << name << ": " << e.message << " (см. --help)\n";
            return 2;
        } catch (const orv::Error& e) {
            std::cerr << "orvanta-cli " << name << ": " << e.what() << "\n";
            return 1;
        } catch (const std::exception& e) {
            std::cerr << "orvanta-cli " << name << ": " << e.what() << "\n";
            return 1;
        }
    }
    std::cerr << "orvanta-cli: неизвестная команда «" << name << "» (см. orvanta-cli --help)\n";
    return 2;
}
