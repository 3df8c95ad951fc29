#include "util/message_text.h"

#include "util/cp1251.h"

namespace orv {

std::string CutForMessage(std::string_view utf8, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
            continue;  // a continuation byte
        if (chars == maxChars)
            return std::string(utf8.substr(0, i)) + "…";
        ++chars;
    }
    return std::string(utf8);
}

std::string CutCp1251ForMessage(std::string_view bytes, std::size_t maxChars) {
    if (bytes.size() <= maxChars)
        return Cp1251ToUtf8(bytes);
    return Cp1251ToUtf8(bytes.substr(0, maxChars)) + "…";
}

}  // namespace orv
