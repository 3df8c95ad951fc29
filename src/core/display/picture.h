#pragma once
#include <cstdint>
#include <string>

namespace orv {

// The picture of a preparation: pictDir + "fi" + the id in 7 digits, the JPEG before the GIF.
// Empty when neither file exists (a missing folder included).
std::string PicturePath(const std::string& pictDir, std::int64_t id);

}  // namespace orv
