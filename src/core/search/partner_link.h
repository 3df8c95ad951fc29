#pragma once
// The partner lookup link: an ordering program on the same desktop writes a request into the
// reference's mailbox and reads replies from its own. The text protocol, in windows-1251 bytes:
//   request: CODE [W$B] "$$$" TEXT   (CODE "00" search, "01" selection; W$B the return address)
//   reply:   CODE "$$$" TEXT
// This is the Qt-free half: parsing requests, keeping the return address, building replies,
// and the lookup itself. The sockets live in the program.
#include <optional>
#include <string>
#include <string_view>

#include "db/dataset.h"
#include "search/command_result.h"

namespace orv {

class NameMatcher;

inline constexpr std::string_view kPartnerIdleCaption = "query";
inline constexpr int kPartnerSearchCode = 0;
inline constexpr int kPartnerSelectionCode = 1;

class PartnerLink {
  public:
    // Reads one request (the mailbox caption, windows-1251 bytes). Returns true when a request
    // is pending and must be carried out a moment later (the caller arms its 100 ms timer); a
    // second request before then simply replaces the first.
    bool Receive(std::string_view caption);

    // The pending request's code and text (UTF-8), valid after Receive returned true.
    int PendingCode() const { return pendingCode_; }
    const std::string& Text() const { return text_; }

    // 0 when no partner is linked: then nothing can be sent back.
    long long PartnerWindow() const { return window_; }
    long long PartnerButton() const { return button_; }
    bool Linked() const { return window_ != 0; }
    // Name of the partner's mailbox for the current return address.
    std::string PartnerMailbox() const;

    // The reply bytes (windows-1251) for a code and a UTF-8 payload.
    static std::string Reply(int code, std::string_view payloadUtf8);

  private:
    long long window_ = 0;
    long long button_ = 0;
    std::string text_;
    int pendingCode_ = -1;
};

// The lookup of a request's text: the first name that begins with it, else the first name that
// begins with its first word. Moves qMain's cursor; it stays put when neither matches. With
// `names`, a text whose words begin no name goes to the name it probably meant, when the list
// holds it (before an empty first word falls back to the first row).
struct PartnerSearchResult {
    bool notFound = false;  // the list is empty: show "Препарат не найден!"
    std::optional<NameSuggestion> meant;  // the text found nothing: the row is this name's
};
PartnerSearchResult ESearch(DataSet& qMain, const std::string& nameColumn, const std::string& text,
                            const NameMatcher* names = nullptr);

// The first word of a text as the fallback lookup uses it: non-letters become spaces, the text
// is cut after its first space and collapsed.
std::string PartnerFirstWord(std::string_view text);

}  // namespace orv
