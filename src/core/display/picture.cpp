#include "display/picture.h"

#include "util/paths.h"
#include "util/text.h"

namespace orv {

std::string PicturePath(const std::string& pictDir, std::int64_t id) {
    const std::string candidate = pictDir + "fi" + ZeroPad(id, 7);
    if (FileExists(candidate + ".jpg"))
        return candidate + ".jpg";
    if (FileExists(candidate + ".gif"))
        return candidate + ".gif";
    return {};
}

}  // namespace orv
