#include "util/stored_forms.h"

#include <string>

#include "util/error.h"
#include "util/text.h"

namespace orv {

std::string FontToText(const FontSpec* font) {
    if (font == nullptr)
        return {};
    auto flag = [](bool b) { return b ? "1" : "0"; };
    return font->name + "|" + std::to_string(font->size) + "|" + flag(font->bold) + "|" +
           flag(font->italic) + "|" + flag(font->underline) + "|" + flag(font->strikeOut) + "|" +
           std::to_string(font->color);
}

namespace {
std::int32_t ToInt(const std::string& piece) {
    std::int32_t v;
    if (!ParseIntegerText(piece, v)) {
        throw ConversionError("'" + piece + "' не является целым числом");
    }
    return v;
}
}  // namespace

void TextToFont(std::string_view text, FontSpec& font) {
    std::vector<std::string> p = SplitText(text, "|");
    if (p.size() < 6)
        return;
    FontSpec f = font;
    f.name = p[0];
    f.size = ToInt(p[1]);
    f.bold = p[2] == "1";
    f.italic = p[3] == "1";
    f.underline = p[4] == "1";
    f.strikeOut = p[5] == "1";
    if (p.size() == 7)
        f.color = ToInt(p[6]);
    font = f;
}

std::string CheckListToText(const std::vector<CheckEntry>& list) {
    std::string out;
    for (const auto& e : list) {
        out += e.checked ? 'y' : 'n';
        out += e.caption;
        out += "\r\n";
    }
    return out;
}

void TextToCheckList(std::string_view text, std::vector<CheckEntry>& list) {
    list.clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find_first_of("\r\n", i);
        std::string_view line = text.substr(i, end == std::string_view::npos ? text.npos : end - i);
        CheckEntry e;
        if (!line.empty()) {
            e.checked = line[0] == 'y';
            // The first character, not the first byte: a Cyrillic one takes two.
            size_t first = 1;
            while (first < line.size() && (static_cast<unsigned char>(line[first]) & 0xC0) == 0x80)
                ++first;
            e.caption = std::string(line.substr(first));
        }
        list.push_back(std::move(e));
        if (end == std::string_view::npos)
            break;
        i = end + 1;
        if (text[end] == '\r' && i < text.size() && text[i] == '\n')
            ++i;
    }
}

}  // namespace orv
