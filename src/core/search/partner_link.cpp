#include "search/partner_link.h"

#include "search/forgiving_search.h"
#include "util/cp1251.h"
#include "util/text.h"

namespace orv {

namespace {
long long HandleOrZero(std::string_view part) {
    std::int32_t v = 0;
    return ParseIntegerText(part, v) ? v : 0;
}
}  // namespace

bool PartnerLink::Receive(std::string_view caption) {
    if (caption == kPartnerIdleCaption)
        return false;
    const size_t marker = caption.find("$$$");
    // Positions below are 0-based; a marker at index 2 or less leaves no room for an address.
    if (marker == std::string_view::npos || marker < 3) {
        window_ = 0;
    } else {
        std::string_view address = caption.substr(2, marker - 2);
        const size_t dollar = address.find('$');
        if (dollar != std::string_view::npos) {
            window_ = HandleOrZero(address.substr(0, dollar));
            button_ = HandleOrZero(address.substr(dollar + 1));
        }
    }
    std::string_view text = marker == std::string_view::npos
                                ? (caption.size() > 2 ? caption.substr(2) : std::string_view())
                                : caption.substr(marker + 3);
    text_ = Cp1251ToUtf8(text);
    std::int32_t code = 0;
    if (caption.size() < 2 || !ParseIntegerText(caption.substr(0, 2), code))
        return false;
    pendingCode_ = code;
    return true;
}

std::string PartnerLink::PartnerMailbox() const {
    return "orvanta-partner-" + std::to_string(window_) + "-" + std::to_string(button_);
}

std::string PartnerLink::Reply(int code, std::string_view payloadUtf8) {
    return ZeroPad(code, 2) + "$$$" + Utf8ToCp1251(payloadUtf8);
}

std::string PartnerFirstWord(std::string_view text) {
    std::string letters;
    for (size_t pos = 0; pos < text.size();) {
        char32_t c = DecodeUtf8(text, pos);
        AppendUtf8(letters, IsLetter(c) ? c : U' ');
    }
    const size_t space = letters.find(' ');
    if (space != std::string::npos)
        letters.resize(space + 1);
    return CollapseSpaces(letters);
}

PartnerSearchResult ESearch(DataSet& qMain, const std::string& nameColumn, const std::string& text,
                            const NameMatcher* names) {
    const LocateOptions prefix{true, true};
    PartnerSearchResult r;
    if (!qMain.Locate(nameColumn, text, prefix)) {
        const std::string word = PartnerFirstWord(text);
        if (word.empty() || !qMain.Locate(nameColumn, word, prefix)) {
            if (names != nullptr && qMain.Active() && !qMain.IsEmpty()) {
                for (NameSuggestion& s : SuggestNames(*names, text, 1)) {
                    if (qMain.Locate("id", s.id))
                        r.meant = std::move(s);
                }
            }
            if (!r.meant && word.empty())
                qMain.Locate(nameColumn, word, prefix);
        }
    }
    r.notFound = qMain.IsEmpty();
    return r;
}

}  // namespace orv
