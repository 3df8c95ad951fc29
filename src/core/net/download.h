#pragma once
// The packet download: one GET through the proxy of the settings, read piece by piece by
// whoever drives it, written to a temporary file that gets the packet's name only when the
// transfer is complete.
//
// Nothing here blocks unless asked to. A window drives it from a QTimer (10 ms or so):
//
//   PacketDownload d(request);                // throws only for a bad proxy port
//   // each tick:
//   switch (d.Pump()) {                       // reads whatever has arrived, returns at once
//     case Running:   bar = d.Percent(); box = d.ProgressText(); break;
//     case Completed: timer.stop(); accept(); break;          // final file in place
//     case Failed:    timer.stop(); show d.Error(); break;    // final file untouched
//   }
//   // "Отмена": stop the timer, ask; No -> start it again (the transfer waits meanwhile);
//   // Yes -> d.Cancel(): handles closed, the temporary file stays as it is.
//
// Code without a window (command line, background run) calls Run(), which waits on the
// sockets and pumps until the end.
//
// Outcomes: status 200 and a body that is complete (its HTTP length or chunked end, as curl
// reports it) and a whole packet with the requested number -> Completed; 407 (from the proxy,
// also on CONNECT; or 401 when a proxy is used) -> kProxyUserRefused; 404 -> kFileNotFound +
// object; any other status, no connection or a time-out before the answer -> kProxyFailure; a
// body cut short, a stall, a floor-speed or overall time-out -> kTransferBroken; a body that is
// no whole packet N -> a damaged-packet error. Detail() then says why. A complete, sound body
// whose size differs from the list's is accepted; SizeNote() mentions it. Only Completed
// touches the final file. No local file is created unless the server answered 200.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "net/proxy.h"

namespace orv {

inline constexpr const char* kTransferBroken = "Загрузка прервана, файл получен не полностью.";

struct DownloadRequest {
    std::string url;                // server address + PacketRequestPath(...)
    std::string object;             // the request path, named in the 404 message
    std::string tempFile;           // D + "upd.pckt"
    std::string finalFile;          // D + N + ".pckt"
    std::int64_t expectedSize = 0;  // from the list; for the progress only
    int packet = 0;                 // the body must be this packet; 0: not checked
    ProxySettings proxy;
    NetTimeouts timeouts;
};

class PacketDownload {
  public:
    enum class State { Running, Completed, Failed, Cancelled };

    // Starts the request; returns at once.
    explicit PacketDownload(DownloadRequest request);
    ~PacketDownload();  // a running transfer is cancelled
    PacketDownload(const PacketDownload&) = delete;
    PacketDownload& operator=(const PacketDownload&) = delete;

    // One read step: takes what has arrived (waiting up to waitMs for something first) and
    // writes it to the temporary file.
    State Pump(int waitMs = 0);
    // Pumps until the end; onProgress after every step.
    State Run(const std::function<void(const PacketDownload&)>& onProgress = {});
    // Between pumps: closes the connection and the file; the temporary file stays.
    void Cancel();

    State CurrentState() const { return state_; }
    const std::string& Error() const { return error_; }    // the user's message when Failed
    const std::string& Detail() const { return detail_; }  // why, for the log; may be empty
    // After completion: a note when the body's size differs from the list's, else empty.
    const std::string& SizeNote() const { return sizeNote_; }
    // Seconds from the start to the end of the transfer.
    double Seconds() const { return seconds_; }
    std::int64_t Received() const { return received_; }
    std::int64_t Expected() const { return request_.expectedSize; }
    // For the progress bar: 0..100; -1 when the expected size is unknown.
    int Percent() const;
    // "Скачано: 3 kb из 4 kb (61%)"; without a known size only "Скачано: 3 kb".
    std::string ProgressText() const;
    const DownloadRequest& Request() const { return request_; }

  private:
    static size_t OnData(char* data, size_t size, size_t count, void* self);
    size_t Write(const char* data, size_t n);
    void Finish(int curlResult);
    void Fail(std::string message, std::string detail = {});
    void CloseHandles();
    bool CloseFile();

    DownloadRequest request_;
    State state_ = State::Running;
    std::string error_;
    std::string detail_;
    std::string sizeNote_;
    double seconds_ = 0;
    std::int64_t received_ = 0;
    void* multi_ = nullptr;
    void* easy_ = nullptr;
    std::FILE* file_ = nullptr;
    bool statusChecked_ = false;
    bool statusRefused_ = false;
    std::string fileError_;
    char curlError_[256] = {0};
};

// The progress text for any pair of figures.
std::string DownloadProgressText(std::int64_t received, std::int64_t expected);
int DownloadPercent(std::int64_t received, std::int64_t expected);
// The error of a body that is no whole packet N.
std::string DamagedDownloadText(int packet);
// The update log's line for a completed transfer:
// "Пакет №3 загружен: 10240 байт за 1,5 с" (and the size note when there is one).
std::string DownloadedNote(const PacketDownload& d);

}  // namespace orv
