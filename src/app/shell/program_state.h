#pragma once
// Program-wide values the windows share. One instance, owned by the program and handed to
// every window and controller that needs it.
#include <memory>
#include <string>

#include "db/reference.h"
#include "settings/settings_store.h"

namespace orv::app {

enum class PrintRequest { None, Preview, Quick };

struct ProgramState {
    std::unique_ptr<Reference> ref;  // open after LoadReferenceData
    std::unique_ptr<SettingsStore> settings;
    std::string programDir;  // with a trailing slash
    std::string pictDir;     // programDir + "_pict/"
    int totalPreparations = 0;
    int lastPacket = 0;
    int newestPacket = 0;
    bool background = false;
    bool highlightSearchWords = false;
    PrintRequest printRequest = PrintRequest::None;

    bool HasReference() const { return ref != nullptr; }
    Reference& Ref();  // throws orv::Error when the reference is not open
    const std::string& NameColumn();
};

}  // namespace orv::app
