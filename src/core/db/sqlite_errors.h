#pragma once
// SQLite's own errors in the user's words: what happened and what to do.
#include <string>
#include <string_view>

namespace orv {

// `code` is SQLite's (extended) result code, `message` its English text.
std::string SqliteErrorText(int code, std::string_view message);

}  // namespace orv
