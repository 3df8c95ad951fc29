#pragma once
// The update log beside source.bin: timestamped Russian lines that an administrator reads after
// an unattended run (start, the check, each download and install, every failure, the end and
// its exit code). The desktop program's background run and orvanta-cli update write the same
// lines; the scheduler's journal shows the same file.
#include <string>
#include <vector>

namespace orv {

inline constexpr const char* kUpdateLogName = "update.log";
inline constexpr size_t kUpdateLogRotateBytes = size_t{1} << 20;

class UpdateLog {
  public:
    // `dir` ends with a slash; the log is dir + "update.log", its predecessor "update.log.1".
    explicit UpdateLog(const std::string& dir, size_t rotateBytes = kUpdateLogRotateBytes);

    // A text that must never reach the file (the proxy password); shown as "***".
    void Hide(const std::string& secret);
    // Appends "YYYY-MM-DD HH:MM:SS text". A log that cannot be written does not stop the update:
    // the line is lost and Failed() tells so.
    void Write(const std::string& text);

    const std::string& Path() const { return path_; }
    bool Failed() const { return failed_; }

  private:
    std::string path_;
    size_t rotateBytes_;
    std::vector<std::string> secrets_;
    bool failed_ = false;
};

// The lines both unattended runs write for an installation.
// "Пакет №3 установлен: 120 шагов за 1,5 с; в базе 30 препаратов"
std::string InstalledLogLine(int number, size_t steps, double seconds, int preparations);
// "Установка пакета №3 остановлена: записанные строки остаются, пакет не отмечен установленным."
std::string StoppedLogLine(int number);

// Seconds with one decimal and the comma, as the log writes them: "1,5".
std::string SecondsText(double seconds);

// The text with the user and password of every URL in it ("http://u:p@host") taken out.
std::string WithoutCredentials(std::string text);

}  // namespace orv
