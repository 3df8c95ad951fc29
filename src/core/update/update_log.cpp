#include "update/update_log.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace orv {

namespace {
constexpr size_t kMaxLineBytes = 2000;

std::string Timestamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

// One line, whatever the message held: line breaks as spaces, cut on a character boundary.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    if (text.size() > kMaxLineBytes) {
        size_t cut = kMaxLineBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text.resize(cut);
        text += "…";
    }
    return text;
}
}  // namespace

std::string SecondsText(double seconds) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", seconds);
    std::string s = buf;
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

std::string InstalledLogLine(int number, size_t steps, double seconds, int preparations) {
    return "Пакет №" + std::to_string(number) + " установлен: " + std::to_string(steps) +
           " шагов за " + SecondsText(seconds) + " с; в базе " + std::to_string(preparations) +
           " препаратов";
}

std::string StoppedLogLine(int number) {
    return "Установка пакета №" + std::to_string(number) +
           " остановлена: записанные строки остаются, пакет не отмечен установленным.";
}

std::string WithoutCredentials(std::string text) {
    for (size_t at = text.find("://"); at != std::string::npos; at = text.find("://", at + 3)) {
        const size_t start = at + 3;
        const size_t end = text.find_first_of("/?# \t«»\"'", start);
        const size_t host = end == std::string::npos ? text.size() : end;
        const size_t atSign = text.rfind('@', host == 0 ? 0 : host - 1);
        if (atSign != std::string::npos && atSign >= start && atSign < host)
            text.erase(start, atSign + 1 - start);
    }
    return text;
}

UpdateLog::UpdateLog(const std::string& dir, size_t rotateBytes)
    : path_(dir + kUpdateLogName), rotateBytes_(rotateBytes) {}

void UpdateLog::Hide(const std::string& secret) {
    if (!secret.empty())
        secrets_.push_back(secret);
}

void UpdateLog::Write(const std::string& text) {
    std::string line = WithoutCredentials(text);
    for (const std::string& secret : secrets_) {
        for (size_t at = line.find(secret); at != std::string::npos;
             at = line.find(secret, at + 3)) {
            line.replace(at, secret.size(), "***");
        }
    }
    line = Timestamp() + " " + OneLine(std::move(line)) + "\n";
    std::error_code ec;
    const auto size = std::filesystem::file_size(path_, ec);
    if (!ec && size + line.size() > rotateBytes_)
        std::filesystem::rename(path_, path_ + ".1", ec);  // replaces the older one
    std::ofstream out(path_, std::ios::app | std::ios::binary);
    out << line;
    out.close();
    if (!out)
        failed_ = true;
}

}  // namespace orv
