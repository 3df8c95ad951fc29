#pragma once
// What a search command leaves for the window to show. The list itself (Reference::qMain)
// has already been replaced, opened and put on its row when the command returns.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orv {

// ShowStatus: the first panel of the status bar, repainted at once.
using StatusFn = std::function<void(const std::string& text)>;

struct MessageBoxText {
    enum class Icon { None, Exclamation };
    std::string text;
    std::string title;  // "" = the application title (a plain message box)
    Icon icon = Icon::None;
};

// A name the typed text probably meant ("Возможно, вы имели в виду:").
struct NameSuggestion {
    std::int64_t id = 0;
    std::string name;
};

struct CommandResult {
    bool listChanged = false;           // qMain got a new statement and was reopened
    std::optional<std::string> status;  // final ShowStatus text; nullopt = leave the bar
    // The final text is this followed by qMain's row count, once the list has read its rows
    // (instead of `status`, while they are being read).
    std::optional<std::string> statusBeforeCount;
    std::optional<MessageBoxText> message;     // show this box (the command stopped)
    bool redraw = false;                       // run gbAllClick for the current row
    std::optional<bool> highlightSearchWords;  // the new HighlightSearchWords; nullopt = keep
    bool showListPage = false;                // switch pc1 to the list ("Наименования")
    std::optional<std::string> filterText;    // the box shows this text; no locate follows
    std::vector<NameSuggestion> suggestions;  // offer these names under the box
};

}  // namespace orv
