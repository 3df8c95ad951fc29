#include "util/log.h"

#include <cstdio>
#include <exception>
#include <mutex>
#include <string>

#include "util/message_text.h"

namespace orv {

namespace {

std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

LogSink& Sink() {
    static LogSink sink;
    return sink;
}

}  // namespace

LogSink SetLogSink(LogSink sink) {
    std::lock_guard lock(SinkMutex());
    LogSink before = std::move(Sink());
    Sink() = std::move(sink);
    return before;
}

void WriteLogToStderr(std::string_view area, std::string_view text) {
    std::fprintf(stderr, "orvanta: %.*s: %.*s\n", static_cast<int>(area.size()), area.data(),
                 static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
}

void LogLine(std::string_view area, std::string_view text) noexcept {
    try {
        const std::string cut = CutForMessage(text, kMaxLogChars);
        std::lock_guard lock(SinkMutex());
        if (Sink()) {
            Sink()(area, cut);
            return;
        }
        WriteLogToStderr(area, cut);
    } catch (...) {
        // No memory even for the line: it is lost, and the caller carries on.
    }
}

std::string CaughtText() {
    if (std::exception_ptr caught = std::current_exception()) {
        try {
            std::rethrow_exception(caught);
        } catch (const std::exception& e) {
            return e.what();
        } catch (...) {
        }
    }
    return "?";
}

void LogCaught(std::string_view area, std::string_view failed) noexcept {
    try {
        LogLine(area, std::string(failed) + ": " + CaughtText());
    } catch (...) {
        // No memory even for the line: it is lost, and the caller carries on.
    }
}

}  // namespace orv
