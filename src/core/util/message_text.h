#pragma once
// Data quoted in a message: cut so that no message grows with the data it quotes.
#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

// The first `maxChars` characters of a UTF-8 text, then "…" when anything was cut.
std::string CutForMessage(std::string_view utf8, std::size_t maxChars = 100);
// The same for windows-1251 bytes (packet fields), converted to UTF-8.
std::string CutCp1251ForMessage(std::string_view bytes, std::size_t maxChars = 100);

}  // namespace orv
