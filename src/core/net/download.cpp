#include "net/download.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "net/curl_common.h"
#include "net/net_texts.h"
#include "update/packet_file.h"
#include "update/update_log.h"
#include "util/error.h"

namespace orv {
namespace {

using namespace net_detail;

CURL* Easy(void* p) {
    return static_cast<CURL*>(p);
}
CURLM* Multi(void* p) {
    return static_cast<CURLM*>(p);
}

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::string DownloadedNote(const PacketDownload& d) {
    return "Пакет №" + std::to_string(d.Request().packet) +
           " загружен: " + std::to_string(d.Received()) + " байт за " + SecondsText(d.Seconds()) +
           " с" + (d.SizeNote().empty() ? "" : "; " + d.SizeNote());
}

std::string DownloadProgressText(std::int64_t received, std::int64_t expected) {
    std::string text = "Скачано: " + std::to_string(received / 1024) + " kb";
    if (expected > 0) {
        text += " из " + std::to_string(expected / 1024) + " kb (" +
                std::to_string(received * 100 / expected) + "%)";
    }
    return text;
}

std::string DamagedDownloadText(int packet) {
    return "Пакет №" + std::to_string(packet) + " получен с сервера повреждённым.";
}

int DownloadPercent(std::int64_t received, std::int64_t expected) {
    if (expected <= 0)
        return -1;
    std::int64_t p = received * 100 / expected;
    return static_cast<int>(p > 100 ? 100 : p);
}

PacketDownload::PacketDownload(DownloadRequest request) : request_(std::move(request)) {
    static_assert(sizeof(curlError_) >= CURL_ERROR_SIZE);
    EnsureCurlInit();
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    easy_ = easy;
    multi_ = multi;
    if (easy == nullptr || multi == nullptr) {
        CloseHandles();
        throw orv::Error(kProxyFailure);
    }
    try {
        SetCommonOptions(easy, request_.timeouts);
        SetProxyOptions(easy, request_.proxy, ProxyUse::Download);
    } catch (const orv::Error&) {
        CloseHandles();
        throw orv::Error(kProxyFailure);
    }
    curl_easy_setopt(easy, CURLOPT_URL, request_.url.c_str());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, curlError_);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &PacketDownload::OnData);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 256L * 1024);
    curl_multi_add_handle(multi, easy);
}

PacketDownload::~PacketDownload() {
    CloseFile();
    CloseHandles();
}

void PacketDownload::CloseHandles() {
    if (multi_ != nullptr && easy_ != nullptr)
        curl_multi_remove_handle(Multi(multi_), Easy(easy_));
    if (easy_ != nullptr)
        curl_easy_cleanup(Easy(easy_));
    if (multi_ != nullptr)
        curl_multi_cleanup(Multi(multi_));
    easy_ = nullptr;
    multi_ = nullptr;
}

bool PacketDownload::CloseFile() {
    if (file_ == nullptr)
        return true;
    bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

size_t PacketDownload::OnData(char* data, size_t size, size_t count, void* self) {
    return static_cast<PacketDownload*>(self)->Write(data, size * count);
}

size_t PacketDownload::Write(const char* data, size_t n) {
    if (!statusChecked_) {
        statusChecked_ = true;
        long status = 0;
        curl_easy_getinfo(Easy(easy_), CURLINFO_RESPONSE_CODE, &status);
        if (status != 200) {
            // Finish() reports the status; the body of a refusal is not a packet.
            statusRefused_ = true;
            return CURL_WRITEFUNC_ERROR;
        }
        file_ = std::fopen(request_.tempFile.c_str(), "wb");
        if (file_ == nullptr) {
            fileError_ = SystemError("Не удалось создать файл", request_.tempFile);
            return CURL_WRITEFUNC_ERROR;
        }
    }
    if (file_ == nullptr)
        return CURL_WRITEFUNC_ERROR;
    if (std::fwrite(data, 1, n, file_) != n) {
        fileError_ = SystemError("Не удалось записать файл", request_.tempFile);
        return CURL_WRITEFUNC_ERROR;
    }
    received_ += static_cast<std::int64_t>(n);
    return n;
}

PacketDownload::State PacketDownload::Pump(int waitMs) {
    if (state_ != State::Running)
        return state_;
    if (waitMs > 0)
        curl_multi_poll(Multi(multi_), nullptr, 0, waitMs, nullptr);
    int running = 0;
    if (curl_multi_perform(Multi(multi_), &running) != CURLM_OK) {
        Fail(kProxyFailure);
        return state_;
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(Multi(multi_), &left)) {
        if (msg->msg == CURLMSG_DONE) {
            Finish(msg->data.result);
            break;
        }
    }
    return state_;
}

PacketDownload::State PacketDownload::Run(
    const std::function<void(const PacketDownload&)>& onProgress) {
    while (Pump(100) == State::Running) {
        if (onProgress)
            onProgress(*this);
    }
    if (onProgress)
        onProgress(*this);
    return state_;
}

void PacketDownload::Cancel() {
    if (state_ != State::Running)
        return;
    CloseFile();
    CloseHandles();
    state_ = State::Cancelled;
}

void PacketDownload::Fail(std::string message, std::string detail) {
    if (easy_ != nullptr) {
        curl_off_t total = 0;
        curl_easy_getinfo(Easy(easy_), CURLINFO_TOTAL_TIME_T, &total);
        seconds_ = static_cast<double>(total) / 1e6;
    }
    CloseFile();
    CloseHandles();
    error_ = std::move(message);
    detail_ = std::move(detail);
    state_ = State::Failed;
}

void PacketDownload::Finish(int curlResult) {
    CURLcode rc = static_cast<CURLcode>(curlResult);
    long status = 0, connectStatus = 0;
    curl_easy_getinfo(Easy(easy_), CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(Easy(easy_), CURLINFO_HTTP_CONNECTCODE, &connectStatus);
    if (!fileError_.empty())
        return Fail(fileError_);
    const std::string why = rc == CURLE_OK
                                ? std::string()
                                : TransferFailure(Easy(easy_), rc, curlError_, request_.timeouts);
    // Some proxies (tinyproxy) answer wrong credentials with 401; our server asks for none.
    bool refused = status == 407 || connectStatus == 407 ||
                   (request_.proxy.use && (status == 401 || connectStatus == 401));
    if (refused)
        return Fail(kProxyUserRefused);
    if (status == 404)
        return Fail(kFileNotFound + request_.object);
    if (status != 200)
        return Fail(kProxyFailure, status == 0 ? why : "HTTP " + std::to_string(status));
    // curl holds the body against its HTTP length or chunked end: a shorter one is an error.
    if (rc != CURLE_OK)
        return Fail(kTransferBroken, why);
    if (file_ == nullptr && !statusRefused_) {
        // An empty body never reached the write callback.
        file_ = std::fopen(request_.tempFile.c_str(), "wb");
        if (file_ == nullptr)
            return Fail(SystemError("Не удалось создать файл", request_.tempFile));
    }
    if (!CloseFile())
        return Fail(SystemError("Не удалось записать файл", request_.tempFile));
    {
        curl_off_t total = 0;
        curl_easy_getinfo(Easy(easy_), CURLINFO_TOTAL_TIME_T, &total);
        seconds_ = static_cast<double>(total) / 1e6;
    }
    CloseHandles();
    // A server without a length that closes early, or one that sends something else: only a
    // whole packet with the requested number may take the packet's name.
    if (request_.packet > 0) {
        const std::string damage = PacketFileDamage(request_.tempFile, request_.packet);
        if (!damage.empty()) {
            error_ = DamagedDownloadText(request_.packet);
            detail_ = damage;
            state_ = State::Failed;
            return;
        }
    }
    if (request_.expectedSize > 0 && received_ != request_.expectedSize) {
        sizeNote_ = "размер " + std::to_string(received_) + " байт, а в списке сервера " +
                    std::to_string(request_.expectedSize) + " байт; пакет цел и принят";
    }
    std::error_code ec;
    // rename() replaces an older file of that name in one step.
    std::filesystem::rename(request_.tempFile, request_.finalFile, ec);
    if (ec) {
        error_ = "Не удалось переименовать файл " + request_.tempFile + " в " + request_.finalFile +
                 ": " + ec.message();
        state_ = State::Failed;
        return;
    }
    state_ = State::Completed;
}

int PacketDownload::Percent() const {
    return DownloadPercent(received_, request_.expectedSize);
}

std::string PacketDownload::ProgressText() const {
    return DownloadProgressText(received_, request_.expectedSize);
}

}  // namespace orv
