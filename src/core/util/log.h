#pragma once
// One line for every failure the code carries on after. The core knows no Qt: its lines go to
// the sink the program sets (the desktop program forwards them to its own categorised log);
// with no sink they go to standard error.
//
//   LogLine("index", "не удалось удалить временную таблицу: " + e.what());
//   // stderr: "orvanta: index: не удалось удалить временную таблицу: ..."
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace orv {

// `area` names the part that failed ("db", "index", ...); `text` is already cut.
using LogSink = std::function<void(std::string_view area, std::string_view text)>;

// Sets where the lines go and returns the sink set before; an empty sink means standard error.
LogSink SetLogSink(LogSink sink);

// Longest text of one line, in characters; a longer one is cut with "…".
inline constexpr std::size_t kMaxLogChars = 300;

// The line as it goes to standard error with no sink set: "orvanta: <area>: <text>".
void WriteLogToStderr(std::string_view area, std::string_view text);

// Writes one line; never throws, from any thread.
void LogLine(std::string_view area, std::string_view text) noexcept;

// Inside a catch block: the text of the exception being handled, "?" for one without text.
std::string CaughtText();
// Inside a catch block: "<failed>: <CaughtText()>".
void LogCaught(std::string_view area, std::string_view failed) noexcept;

}  // namespace orv
