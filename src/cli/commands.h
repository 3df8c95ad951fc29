#pragma once
// Every subcommand of orvanta-cli: one function each, in a file of its own.
#include "cli/args.h"

namespace orv::cli {

struct Command {
    const char* name;
    const char* summary;
    const char* help;  // full --help text
    int (*run)(Args& args);
};

// Each command file defines one of these.
extern const Command kInitCommand;
extern const Command kQueryCommand;
extern const Command kServeCommand;
extern const Command kMirrorCommand;
extern const Command kUpdateCommand;
extern const Command kPackCommand;
extern const Command kUnpackCommand;
extern const Command kApplyCommand;
extern const Command kStatsCommand;
extern const Command kGenerateCommand;
extern const Command kShowCommand;
extern const Command kSettingsCommand;
extern const Command kSearchCommand;
extern const Command kRebuildIndexCommand;
extern const Command kPartnerCommand;
extern const Command kSuggestCommand;

}  // namespace orv::cli
