#pragma once
// The text forms in which fonts and check lists are kept in the settings.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

struct FontSpec {
    std::string name = "MS Sans Serif";
    int size = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::int32_t color = 0;  // 0x00BBGGRR; system colours have the top bit set (negative)
    bool operator==(const FontSpec&) const = default;
};

struct CheckEntry {
    std::string caption;
    bool checked = false;
    bool operator==(const CheckEntry&) const = default;
};

std::string FontToText(const FontSpec* font);
// Throws ConversionError when the size or (with seven pieces) the colour is not an integer.
void TextToFont(std::string_view text, FontSpec& font);

std::string CheckListToText(const std::vector<CheckEntry>& list);
void TextToCheckList(std::string_view text, std::vector<CheckEntry>& list);

}  // namespace orv
