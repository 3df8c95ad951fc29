#pragma once
// Character references of the stored HTML fragments (&amp; &laquo; &#171; &#xAB; ...) turned
// into the characters they stand for, for the places that show or index plain text.
#include <string>
#include <string_view>

namespace orv {

// Decodes the named references common in the reference texts and every numeric one (decimal
// or hexadecimal, up to U+10FFFF, neither NUL nor a surrogate) that ends in ";". Anything else,
// an unknown name or a reference without ";", stays as it is. UTF-8 in and out.
std::string DecodeEntities(std::string_view text);

}  // namespace orv
