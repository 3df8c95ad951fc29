#pragma once
// The description page: fixed head and style sheet, the heading row with the optional picture,
// the ticked sections in list order, optionally the typed search words marked.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "display/display_rec.h"
#include "util/stored_forms.h"

namespace orv {

// A preparation the page links to (`href="prep:ID"`); clicking it opens that preparation.
struct PageLink {
    std::int64_t id = 0;
    std::string name;
};

struct PageOptions {
    std::vector<CheckEntry> sections;  // captions and ticks, in the user's order
    std::string picturePath;           // empty: the heading has no image
    bool highlightSearchWords = false;
    std::string filterText;  // the words to mark when highlighting
    // The other preparations with the same INN: the line "Аналоги" after "Синонимы", only
    // when there are any. `analoguesTotal` counts them all when `analogues` holds a part.
    std::vector<PageLink> analogues;
    int analoguesTotal = 0;
};

inline constexpr const char* kAnaloguesCaption = "Аналоги";
inline constexpr const char* kPageLinkScheme = "prep";
// The three rows of the "Аналоги" line; nothing when there are no analogues.
void AppendAnalogues(std::vector<std::string>& lines, const PageOptions& options);

// Appends the three rows of one section; nothing for an unknown caption or a blank text.
void AppendSection(std::vector<std::string>& lines, std::string_view caption,
                   const TDisplayRec& rec);

// The page as lines of UTF-8 text.
std::vector<std::string> BuildDescriptionPage(const TDisplayRec& rec, const PageOptions& options);

// The bytes of the page file: windows-1251, CR LF after every line, no byte-order mark.
std::string EncodePage(const std::vector<std::string>& lines);

// Writes (replaces) the page file. Throws orv::Error naming the file when it cannot be written.
void WriteDescriptionPage(const std::string& fileName, const TDisplayRec& rec,
                          const PageOptions& options);

}  // namespace orv
