#pragma once
// Checks a published mirror folder the way a client would use it.
#include <filesystem>
#include <string>
#include <vector>

namespace orv {

// One line per problem, empty when the mirror is sound: list.txt missing or not a list; a
// listed packet missing, of another size than listed, not inflating, or carrying another
// number; a packet in the folder that the list does not name.
std::vector<std::string> CheckMirror(const std::filesystem::path& root);

}  // namespace orv
