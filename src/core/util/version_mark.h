#pragma once
// The four-part version stamped into the program's executables (src/version_stamp.cpp).
#include <string>

namespace orv {

// Version "first.fourth" of the four-part version stamped into the file, or "?.?".
std::string FileVersionText(const std::string& path);
// The full four-part version stamped into the file, or "" when there is none.
std::string FileVersionFull(const std::string& path);

}  // namespace orv
