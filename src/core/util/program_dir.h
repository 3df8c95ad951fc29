#pragma once
// ProgramDir: the one folder that holds the reference (source.bin), the page files, the
// pictures, the packet files and the update log.
//
//   ORVANTA_HOME set                 -> that folder (created, and seeded when it has no
//                                       source.bin and the installed copy exists)
//   the executable's folder holds    -> that folder: the build folder, a portable copy
//   source.bin
//   otherwise (a package install)    -> $XDG_DATA_HOME/orvanta (~/.local/share/orvanta),
//                                       seeded at first start from <prefix>/share/orvanta
//
// Seeding copies the installed folder into a temporary folder inside the target and then
// renames each entry into place, source.bin last: a target holding source.bin is complete,
// and a failed seeding leaves no half-copied reference behind.
//
//   ProgramDirPlaces p{.executableDir = "/usr/bin/", .orvantaHome = "",
//                      .dataHome = "/home/anna/.local/share", .shareDir = "/usr/share/orvanta/"};
//   ResolveProgramDir(p)  // "/home/anna/.local/share/orvanta/", seeded on the first call
#include <string>

namespace orv {

struct ProgramDirPlaces {
    std::string executableDir;  // the running program's folder
    std::string orvantaHome;    // ORVANTA_HOME; empty when unset
    std::string dataHome;       // $XDG_DATA_HOME, else $HOME/.local/share
    std::string shareDir;       // the installed copy: <executable>/../share/orvanta
};

// The places as this process sees them (environment, executable, home folder).
ProgramDirPlaces ProgramDirPlacesFromEnvironment();

// The program folder with a trailing slash, created and seeded as above. Throws Error with
// the user's message when the folder cannot be made ready (not writable, disk full, the
// installed copy missing, ORVANTA_HOME naming a file).
std::string ResolveProgramDir(const ProgramDirPlaces& places);
std::string ProgramDir();  // ResolveProgramDir(ProgramDirPlacesFromEnvironment())

// Copies `share` into `target` (created when missing) as described above; entries the target
// already has are kept. Throws Error on failure, having removed what it copied.
void SeedProgramDir(const std::string& share, const std::string& target);

}  // namespace orv
